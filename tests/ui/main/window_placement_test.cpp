// Where the main window opens: its frame, title bar included, at the corner of
// the screen's available area, also after a message box or the set manager
// came first, and never larger than that area. The screen is placed away from
// the origin so a window placed by its client area, or at (0, 0), shows.
#include <QDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "main_window_fixture.h"

namespace qm::test {

namespace {

// The offscreen platform's only screen, as the test's main configures it.
constexpr QRect kScreen(100, 50, 700, 560);

// Every message is a real box shown over its parent for a moment, as the
// roll-over message at start is: the main window exists before it is placed.
class ShowingInteraction : public ScriptedInteraction {
  public:
    Answer Message(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override {
        QMessageBox box(parent);
        box.setText(text);
        box.show();
        QCoreApplication::processEvents();
        box.close();
        return ScriptedInteraction::Message(parent, text, caption, buttons, icon);
    }
};

// A set "a" whose pages roll over monthly: the first start of a month shows
// the new-page message before the window is placed.
void WriteMonthlySet(const ProgramFolder& folder, std::string_view systemIni) {
    folder.WriteSystemIni(systemIni);
    folder.WriteFile("original.html", kPageText);
    folder.WriteFile("templet.txt", kTemplateText);
    WriteBytes(folder.path("a.ini"), "[FILEPATH]\r\nORIGINAL=" + folder.path("original.html") +
                                         "\r\nTEMPLET=" + folder.path("templet.txt") +
                                         "\r\nEDIT=1\r\n");
}

}  // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT

  private:
    // Shows the initialised window and checks its frame: at the area's
    // corner with `outer` as its size, the client area inside the frame.
    static void CheckPlaced(MainDialog& window, QSize outer) {
        window.show();
        QCoreApplication::processEvents();
        QCOMPARE(window.screen()->availableGeometry(), kScreen);
        QCOMPARE(window.frameGeometry(), QRect(kScreen.topLeft(), outer));
        QVERIFY(window.geometry().top() > kScreen.top());
        QVERIFY(kScreen.contains(window.geometry()));
    }

  private slots:
    void AfterTheRollOverMessageTheTitleBarIsOnTheScreen() {
        ProgramFolder folder;
        WriteMonthlySet(folder, "[INI]\n0=a\n");
        ShowingInteraction io;
        MainDialog window(io, folder.dir());
        QVERIFY(window.Initialise());
        QCOMPARE(io.messages.size(), std::size_t{1});
        QVERIFY(io.messages[0].text.contains(QStringLiteral("diary26-Dec.html")));
        CheckPlaced(window, QSize(565, 499));
    }

    void AfterTheFirstSetManagerTheTitleBarIsOnTheScreen() {
        ProgramFolder folder;  // no settings yet: a first start
        ScriptedInteraction io;
        MainDialog window(io, folder.dir());
        int managerRuns = 0;
        window.host().setManagerOpener = [&](ActiveConfig&) {
            QDialog manager(&window);
            manager.show();
            QCoreApplication::processEvents();
            folder.WriteOneSet();
            manager.accept();
            ++managerRuns;
            return true;
        };
        QVERIFY(window.Initialise());
        QCOMPARE(managerRuns, 1);
        CheckPlaced(window, QSize(565, 499));
    }

    void AStoredSizeLargerThanTheScreenIsShrunkToIt() {
        ProgramFolder folder;
        WriteMonthlySet(folder, "[INI]\n0=a\n[WINDOWSIZE]\nWidth=2000\nHeight=500\n");
        ShowingInteraction io;
        MainDialog window(io, folder.dir());
        QVERIFY(window.Initialise());
        CheckPlaced(window, QSize(kScreen.width(), 500));

        // What is saved is the size the window really had.
        window.done(QDialog::Rejected);
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), kScreen.width());
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Height"), 500);
    }
};

}  // namespace qm::test

int main(int argc, char** argv) {
    // One screen away from the origin, described to the offscreen platform.
    qm::test::TempDir dir;
    const std::string config = dir / "screen.json";
    const QRect s = qm::test::kScreen;
    char json[256];
    std::snprintf(json, sizeof json,
                  R"({"screens":[{"name":"s","x":%d,"y":%d,"width":%d,"height":%d,)"
                  R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})",
                  s.x(), s.y(), s.width(), s.height());
    qm::test::WriteBytes(config, json);
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.c_str());
    QApplication app(argc, argv);
    qm::test::WindowPlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_placement_test.moc"
