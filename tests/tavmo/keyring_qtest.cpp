// The upload password and a real desktop keyring. Run by with_keyring.sh in
// a private session with its own keyring daemon; with --no-keyring it runs
// where no Secret Service answers and with --no-bus where the session has no
// message bus at all: then the owner-only file keeps the password.
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

class KeyringTest : public QObject {
    Q_OBJECT

    qm::test::TempDir dir_;
    const std::string ini_ = dir_ / "tavmo.ini";

    std::string FilePassword() {
        return qm::ReadProfileString(ini_, "TAVMO", "PASSWORD", "-", 100);
    }
    // Types `password` into a fresh settings window and saves, or reads the shown one.
    QString ThroughTheWindow(PasswordKeyring* keyring, const QString* password = nullptr) {
        qm::test::ScriptedInteraction io;
        SettingsWindow window(io, ini_, keyring);
        if (!password) return window.passwordEdit()->text();
        window.destinationEdit()->setText(QStringLiteral("ftp://example.jp/diary/"));
        window.passwordEdit()->setText(*password);
        window.accept();
        return window.result() == QDialog::Accepted && io.messages.empty() ? *password : "failed";
    }

  private slots:
    void TheWindowPutsThePasswordIntoTheKeyringAndNotTheFile() {
        const QString password = QStringLiteral("秘密 pass"), none;
        DesktopKeyring keyring, nextRun;  // another keyring object, as the next run has
        QCOMPARE(ThroughTheWindow(&keyring, &password), password);
        QCOMPARE(FilePassword(), std::string());
        QCOMPARE(ThroughTheWindow(&keyring), password);
        QCOMPARE(LoadSettings(ini_, &nextRun)->password, password.toStdString());
        QCOMPARE(ThroughTheWindow(&keyring, &none), none);
        QCOMPARE(keyring.Read(ini_), std::nullopt);
    }

    void WithoutAKeyringTheOwnerOnlyFileKeepsThePassword() {
        const QString password = QStringLiteral("in-the-file");
        qm::test::TempDir home;
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {  // --no-bus
            qputenv("HOME", QByteArray::fromStdString(home.dir()));
            qunsetenv("XDG_RUNTIME_DIR");
        }
        DesktopKeyring keyring;
        QCOMPARE(ThroughTheWindow(&keyring, &password), password);
        QCOMPARE(FilePassword(), password.toStdString());
        QCOMPARE(std::filesystem::status(ini_).permissions(), std::filesystem::perms(0600));
        QCOMPARE(ThroughTheWindow(&keyring), password);
        QVERIFY(std::filesystem::is_empty(home.dir()));  // the keyring was not asked
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--no-bus") qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    const bool withKeyring = mode != "--no-keyring" && mode != "--no-bus";
    if (withKeyring) {
        QKeychain::WritePasswordJob probe(QStringLiteral("tavmo keyring test"));  // one answers?
        probe.setAutoDelete(false);
        probe.setKey(QStringLiteral("probe"));
        probe.setTextData(QStringLiteral("probe"));
        QEventLoop loop;
        QObject::connect(&probe, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
        probe.start();
        loop.exec();
        if (probe.error() != QKeychain::NoError) {
            std::printf("SKIP: no Secret Service answers: %s\n", qPrintable(probe.errorString()));
            return 77;
        }
    }
    char* args[] = {argv[0], const_cast<char*>(
                                 withKeyring ? "TheWindowPutsThePasswordIntoTheKeyringAndNotTheFile"
                                             : "WithoutAKeyringTheOwnerOnlyFileKeepsThePassword")};
    KeyringTest test;
    return QTest::qExec(&test, 2, args);
}

#include "keyring_qtest.moc"
