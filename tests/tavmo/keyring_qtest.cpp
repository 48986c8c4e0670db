// The upload password and a real desktop keyring. Run by with_keyring.sh in
// a private session with its own keyring daemon; with --no-keyring it runs
// where no Secret Service answers and checks that the file keeps the password,
// with --no-bus where the session has no message bus at all.
#include <qt6keychain/keychain.h>

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QtTest>
#include <cstdio>
#include <filesystem>

#include "settings/profile.h"
#include "support/temp_dir.h"
#include "tavmo/desktop_keyring.h"
#include "tavmo/settings_window.h"
#include "ui/support/scripted_interaction.h"

using namespace qm::tavmo;
using qm::test::TempDir;

namespace {

std::string FilePassword(const std::string& ini) {
    return qm::ReadProfileString(ini, "TAVMO", "PASSWORD", "<absent>", 100);
}

// Types `password` into a fresh settings window on `ini` and saves.
void SaveThroughTheWindow(const std::string& ini, PasswordKeyring* keyring,
                          const QString& password) {
    qm::test::ScriptedInteraction io;
    SettingsWindow window(io, ini, keyring);
    window.destinationEdit()->setText(QStringLiteral("ftp://example.jp/diary/"));
    window.passwordEdit()->setText(password);
    window.accept();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(io.messages.empty());
}

QString ShownPassword(const std::string& ini, PasswordKeyring* keyring) {
    qm::test::ScriptedInteraction io;
    SettingsWindow window(io, ini, keyring);
    return window.passwordEdit()->text();
}

// Why no Secret Service answers, or nothing when one does.
QString SecretServiceProblem() {
    QKeychain::WritePasswordJob probe(QStringLiteral("tavmo keyring test"));
    probe.setAutoDelete(false);
    probe.setKey(QStringLiteral("probe"));
    probe.setTextData(QStringLiteral("probe"));
    QEventLoop loop;
    QObject::connect(&probe, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    probe.start();
    loop.exec();
    return probe.error() == QKeychain::NoError ? QString() : probe.errorString();
}

}  // namespace

class KeyringTest : public QObject {
    Q_OBJECT

  private slots:
    void TheWindowPutsThePasswordIntoTheKeyringAndNotTheFile() {
        TempDir dir;
        const std::string ini = dir / "tavmo.ini";
        DesktopKeyring keyring;
        SaveThroughTheWindow(ini, &keyring, QStringLiteral("秘密 pass"));
        QCOMPARE(FilePassword(ini), std::string());
        QCOMPARE(ShownPassword(ini, &keyring), QStringLiteral("秘密 pass"));
        // Another keyring object, as the next run has, finds it too.
        DesktopKeyring nextRun;
        QCOMPARE(LoadSettings(ini, &nextRun)->password, std::string("秘密 pass"));

        SaveThroughTheWindow(ini, &keyring, QString());
        QCOMPARE(keyring.Read(ini), std::nullopt);
    }

    void APasswordFoundInTheFileMovesIntoTheKeyringOnTheNextSave() {
        TempDir dir;
        const std::string ini = dir / "tavmo.ini";
        SaveThroughTheWindow(ini, nullptr, QStringLiteral("from-the-file"));
        QCOMPARE(FilePassword(ini), std::string("from-the-file"));

        DesktopKeyring keyring;
        QCOMPARE(ShownPassword(ini, &keyring), QStringLiteral("from-the-file"));
        auto loaded = LoadSettings(ini, &keyring);
        QVERIFY(loaded.has_value());
        QCOMPARE(SaveSettings(ini, *loaded, &keyring), std::string());
        QCOMPARE(FilePassword(ini), std::string());
        QCOMPARE(keyring.Read(ini), std::optional<std::string>("from-the-file"));
        QVERIFY(keyring.Remove(ini));
    }

    // With --no-bus only, first in its process: no session bus to ask, so the
    // keyring is not asked and nothing appears in the home folder.
    void WithoutASessionBusNothingIsMadeInTheHomeFolder() {
        TempDir home, dir;
        qputenv("HOME", QByteArray::fromStdString(home.dir()));
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("XDG_RUNTIME_DIR");
        const std::string ini = dir / "tavmo.ini";
        DesktopKeyring keyring;
        SaveThroughTheWindow(ini, &keyring, QStringLiteral("in-the-file"));
        QCOMPARE(FilePassword(ini), std::string("in-the-file"));
        QVERIFY(std::filesystem::is_empty(home.dir()));
    }

    // With --no-keyring only: the bus leads nowhere.
    void WithoutASecretServiceTheOwnerOnlyFileKeepsThePassword() {
        TempDir dir;
        const std::string ini = dir / "tavmo.ini";
        DesktopKeyring keyring;
        SaveThroughTheWindow(ini, &keyring, QStringLiteral("in-the-file"));
        QCOMPARE(FilePassword(ini), std::string("in-the-file"));
        QCOMPARE(std::filesystem::status(ini).permissions(), std::filesystem::perms(0600));
        QCOMPARE(ShownPassword(ini, &keyring), QStringLiteral("in-the-file"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    KeyringTest test;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--no-keyring" || mode == "--no-bus") {
        char* args[] = {
            argv[0],
            const_cast<char*>(mode == "--no-bus"
                                  ? "WithoutASessionBusNothingIsMadeInTheHomeFolder"
                                  : "WithoutASecretServiceTheOwnerOnlyFileKeepsThePassword")};
        return QTest::qExec(&test, 2, args);
    }
    const QString problem = SecretServiceProblem();
    if (!problem.isEmpty()) {
        std::printf("SKIP: no Secret Service answers: %s\n", qPrintable(problem));
        return 77;
    }
    char* args[] = {argv[0],
                    const_cast<char*>("TheWindowPutsThePasswordIntoTheKeyringAndNotTheFile"),
                    const_cast<char*>("APasswordFoundInTheFileMovesIntoTheKeyringOnTheNextSave")};
    return QTest::qExec(&test, 3, args);
}

#include "keyring_qtest.moc"
