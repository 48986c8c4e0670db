// Where the main window starts, how big it may be dragged, and where the
// layout pass puts the controls.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <map>

#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

std::map<int, QRect> Geometries(const MainDialog& window) {
    std::map<int, QRect> all;
    for (int id : {1000, 1001, 1002, 1003, 1004, 1006, 1007, 1010, 1013, 1017,
                   1023, 1028, 1029, 1032, 1033, 1034, 1035, 1041, 1042, 1058}) {
        all[id] = window.control(id)->geometry();
    }
    return all;
}

}  // namespace

class MainDialogLayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void FirstStartUsesTheDefaultSizeAtTheTopLeft() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);

        QCOMPARE(window->frameGeometry().size(), QSize(565, 499));
        QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
        QCOMPARE(window->windowWidth(), 565);
        QCOMPARE(window->windowHeight(), 499);
    }

    void AStoredNarrowWidthIsHonouredUntilTheUserDrags() {
        ProgramFolder folder;
        folder.WriteOneSet();
        folder.WriteSystemIni("[INI]\n0=a\n[WINDOWSIZE]\nWidth=300\nHeight=520\n");
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        QCOMPARE(window->frameGeometry().size(), QSize(300, 520));

        // The user's first drag brings it to the minimum width at once.
        window->resize(window->width() + 10, window->height());
        QCOMPARE(window->frameGeometry().width(), 565);
        QCOMPARE(window->frameGeometry().height(), 520);
        QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
    }

    void DraggingBelowTheMinimumStopsAtIt() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->resize(700, 600);

        window->resize(400, 300);

        QCOMPARE(window->frameGeometry().size(), QSize(565, 499));
    }

    void GrowingMovesTheAnchoredControlsAndStretchesTheBoxes() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        const std::map<int, QRect> before = Geometries(*window);
        std::vector<QRect> labelsBefore;
        for (QLabel* label : window->labels()) labelsBefore.push_back(label->geometry());

        window->resize(window->width() + 100, window->height() + 100);
        const std::map<int, QRect> after = Geometries(*window);

        for (int id : {1007, 1013, 1041, 1058, 1042}) {
            QCOMPARE(after.at(id), before.at(id).translated(100, 0));
        }
        QCOMPARE(after.at(1023), before.at(1023).translated(100, 0).adjusted(0, 0, 0, 100));
        for (int id : {1006, 1017, 1004}) {
            QCOMPARE(after.at(id), before.at(id).translated(100, 100));
        }
        for (int id : {1010, 1002, 1028, 1003, 1029, 1035}) {
            QCOMPARE(after.at(id), before.at(id).translated(0, 100));
        }
        for (int id : {1000, 1033}) QCOMPARE(after.at(id), before.at(id).adjusted(0, 0, 100, 0));
        QCOMPARE(after.at(1001), before.at(1001).adjusted(0, 0, 100, 100));
        for (int id : {1032, 1034}) QCOMPARE(after.at(id), before.at(id));
        for (std::size_t i = 0; i < labelsBefore.size(); ++i) {
            QCOMPARE(window->labels()[i]->geometry(), labelsBefore[i]);
        }
    }

    void TheLayoutPassPlacesByTheClientSize() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->resize(800, 640);
        const int cw = window->width();
        const int ch = window->height();
        const QSize column = window->control(kIdManual)->size();
        const int h3 = window->control(kIdUpload)->height();
        const int w3 = window->control(kIdUpload)->width();
        const int w4 = window->control(kIdSetList)->width();
        const int xr = cw - column.width() - 1;

        QCOMPARE(window->control(kIdManual)->pos(), QPoint(cw - column.width(), 0));
        QCOMPARE(window->control(kIdTagList)->geometry(),
                 QRect(cw - column.width(), 5 * column.height(), column.width(),
                       ch - 5 * column.height() - 40));
        QCOMPARE(window->control(kIdGenerate)->geometry(), QRect(cw - 110, ch - 40, 110, 39));
        QCOMPARE(window->control(kIdSetList)->geometry(), QRect(w3 + 3, ch - 2 * h3, w4, h3));
        QCOMPARE(window->control(kIdEnterToBody)->pos(), QPoint(w3 + w4 + 6, ch - h3));
        QCOMPARE(window->control(kIdTitle)->geometry().topLeft(), QPoint(40, 0));
        QCOMPARE(window->control(kIdTitle)->width(), xr - 40);
        QCOMPARE(window->control(kIdAltText)->geometry().topLeft(), QPoint(288, 24));
        QCOMPARE(window->control(kIdBody)->geometry(), QRect(0, 44, xr, ch - 2 * h3 - 1 - 44));
        QCOMPARE(window->windowWidth(), window->frameGeometry().width());
        QCOMPARE(window->windowHeight(), window->frameGeometry().height());
    }

    void ASetChangeTakesTheStoredSizeAgain() {
        ProgramFolder folder;
        folder.WriteSystemIni("[INI]\n0=a\n1=b\n[WINDOWSIZE]\nWidth=600\nHeight=520\n");
        folder.WriteSet("a", "page.html", "templet.txt");
        folder.WriteSet("b", "page.html", "templet.txt");
        folder.WriteFile("page.html", kPageText);
        folder.WriteFile("templet.txt", kTemplateText);
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        window->resize(750, 620);
        QVERIFY(window->windowWidth() > 750);

        QTest::keyClick(window->setList(), Qt::Key_Down);
        QCOMPARE(window->runState().currentSetIndex, 1);
        QTest::keyClick(window->titleEdit(), Qt::Key_Escape);

        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Width"), 600);
        QCOMPARE(folder.ReadInt("WINDOWSIZE", "Height"), 520);
    }
};

QTEST_MAIN(MainDialogLayoutTest)
#include "main_dialog_layout_test.moc"
