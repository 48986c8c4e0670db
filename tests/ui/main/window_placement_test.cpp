// Where the main window opens: its frame, title bar included, at the corner of
// the screen's available area, also after a message box or the set manager
// came first, and never larger than that area. The screen is placed away from
// the origin so a window placed by its client area, or at (0, 0), shows.
#include <QMessageBox>
#include <QScreen>

#include "main_window_fixture.h"

namespace qm::test {

namespace {

// The offscreen platform's only screen, as main() configures it.
constexpr QRect kScreen(100, 50, 700, 560);

// Every message is a real box shown over its parent for a moment, as the
// roll-over message at start is: the main window exists before it is placed.
class ShowingInteraction : public ScriptedInteraction {
  public:
    Answer Message(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override {
        QMessageBox box(parent);
        box.show();
        QCoreApplication::processEvents();
        return ScriptedInteraction::Message(parent, text, caption, buttons, icon);
    }
};

// Shows the window and checks its frame: at the area's corner with `outer`
// as its size, the client area inside the frame.
void CheckPlaced(MainDialog& window, QSize outer) {
    window.show();
    QCoreApplication::processEvents();
    QCOMPARE(window.screen()->availableGeometry(), kScreen);
    QCOMPARE(window.frameGeometry(), QRect(kScreen.topLeft(), outer));
    QVERIFY(window.geometry().top() > kScreen.top());
    QVERIFY(kScreen.contains(window.geometry()));
}

}  // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT

  private slots:
    // A monthly set's first start shows the new-page message before the
    // window is placed; a stored size wider than the screen is shrunk, and
    // the size saved is the one the window really had.
    void AfterTheRollOverMessageTheTitleBarIsOnTheScreen() {
        for (const int width : {0, 2000}) {
            ProgramFolder folder;
            folder.WriteOneSet("EDIT=1\n");
            if (width) folder.WriteSystemIni("[INI]\n0=a\n[WINDOWSIZE]\nWidth=2000\nHeight=500\n");
            ShowingInteraction io;
            MainDialog window(io, folder.dir());
            QVERIFY(window.Initialise());
            QCOMPARE(io.messages.size(), std::size_t{1});
            QVERIFY(io.messages[0].text.contains(QStringLiteral("diary26-Dec.html")));
            CheckPlaced(window, width ? QSize(kScreen.width(), 500) : QSize(565, 499));
            window.done(QDialog::Rejected);
            QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), width ? kScreen.width() : 565);
        }
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
            ++managerRuns;
            return true;
        };
        QVERIFY(window.Initialise());
        QCOMPARE(managerRuns, 1);
        CheckPlaced(window, QSize(565, 499));
    }
};

}  // namespace qm::test

int main(int argc, char** argv) {
    // One screen away from the origin, described to the offscreen platform.
    qm::test::TempDir dir;
    qm::test::WriteBytes(dir / "screen.json",
                         R"({"screens":[{"name":"s","x":100,"y":50,"width":700,"height":560,)"
                         R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + (dir / "screen.json").c_str());
    QApplication app(argc, argv);
    qm::test::WindowPlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_placement_test.moc"
