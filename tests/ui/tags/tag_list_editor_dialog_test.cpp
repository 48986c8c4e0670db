// The tag list editor: every add, edit and delete goes straight to the
// system settings file, and the main window's list follows after it closes.
#include "ui/tags/tag_list_editor_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "settings/numbered_list.h"
#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

constexpr std::string_view kThreeTags =
    "[TAG]\n0=<HR>\n1=太字\n2=斜体\n[TAG_PREFIX]\n0=<HR>\n1=<b>\n2=<i>\n[TAG_SUFFIX]\n0=\n1=</b>\n"
    "2=</i>\n";

ActiveConfig ConfigFor(const ProgramFolder& folder) {
    ActiveConfig config;
    config.systemIniPath = folder.systemIni();
    return config;
}

QStringList Row(const QTreeWidget& view, int row) {
    const QTreeWidgetItem* item = view.topLevelItem(row);
    return {item->text(0), item->text(1), item->text(2)};
}

void SelectRow(QTreeWidget& view, int row) {
    view.setCurrentItem(view.topLevelItem(row));
    view.topLevelItem(row)->setSelected(true);
}

void Type(TagListEditorDialog& editor, const QString& name, const QString& prefix,
          const QString& suffix) {
    editor.nameEdit()->setText(name);
    editor.prefixEdit()->setText(prefix);
    editor.suffixEdit()->setText(suffix);
}

}  // namespace

class TagListEditorDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void ShowsEveryTagInThreeColumns() {
        ProgramFolder folder;
        folder.WriteSystemIni(kThreeTags);
        TagListEditorDialog editor(ConfigFor(folder));

        QCOMPARE(editor.windowTitle(), QStringLiteral("TAG編集"));
        QTreeWidget& view = *editor.tagView();
        QCOMPARE(view.headerItem()->text(0), QStringLiteral("Index"));
        QCOMPARE(view.headerItem()->text(1), QStringLiteral("Prefix"));
        QCOMPARE(view.headerItem()->text(2), QStringLiteral("Suffix"));
        QCOMPARE(view.columnWidth(0), 70);
        QCOMPARE(view.columnWidth(1), 130);
        QCOMPARE(view.topLevelItemCount(), 3);
        QCOMPARE(Row(view, 1), QStringList({"太字", "<b>", "</b>"}));
    }

    void AddingWritesTheNextNumberAndClearsTheBoxes() {
        ProgramFolder folder;
        folder.WriteSystemIni(kThreeTags);
        TagListEditorDialog editor(ConfigFor(folder));
        Type(editor, QStringLiteral("下線"), QStringLiteral("<u>"), QStringLiteral("</u>"));

        QTest::mouseClick(editor.addButton(), Qt::LeftButton);

        QCOMPARE(folder.ReadText("TAG", "3"), Sjis("下線"));
        QCOMPARE(folder.ReadText("TAG_PREFIX", "3"), std::string("<u>"));
        QCOMPARE(folder.ReadText("TAG_SUFFIX", "3"), std::string("</u>"));
        QCOMPARE(editor.tagView()->topLevelItemCount(), 4);
        QVERIFY(editor.nameEdit()->text().isEmpty());
        QVERIFY(editor.prefixEdit()->text().isEmpty());
        QVERIFY(editor.suffixEdit()->text().isEmpty());

        // Nothing is required: empty boxes make an entry with an empty name.
        QTest::mouseClick(editor.addButton(), Qt::LeftButton);
        QCOMPARE(folder.ReadText("TAG", "4"), std::string());
        QCOMPARE(editor.tagView()->topLevelItemCount(), 5);
    }

    void ALongNameIsStoredAsItsFirst127Bytes() {
        ProgramFolder folder;
        folder.WriteSystemIni(kThreeTags);
        TagListEditorDialog editor(ConfigFor(folder));
        Type(editor, QString(100, QChar(0x3042)), QStringLiteral("<p>"), QString());

        editor.AddEntry();

        // 100 double-byte characters are 200 bytes; 127 would split one.
        QCOMPARE(folder.ReadText("TAG", "3"), Sjis(QString(63, QChar(0x3042)).toStdString()));
    }

    void EditingNeedsASelectedRow() {
        ProgramFolder folder;
        folder.WriteSystemIni(kThreeTags);
        const std::string before = folder.ReadFile("QMsys.ini");
        TagListEditorDialog editor(ConfigFor(folder));
        Type(editor, QStringLiteral("x"), QStringLiteral("<x>"), QStringLiteral("</x>"));

        QTest::mouseClick(editor.applyEditButton(), Qt::LeftButton);
        QCOMPARE(folder.ReadFile("QMsys.ini"), before);
        QCOMPARE(editor.nameEdit()->text(), QStringLiteral("x"));

        SelectRow(*editor.tagView(), 1);
        QTest::mouseClick(editor.applyEditButton(), Qt::LeftButton);
        QCOMPARE(folder.ReadText("TAG", "1"), std::string("x"));
        QCOMPARE(folder.ReadText("TAG_PREFIX", "1"), std::string("<x>"));
        QCOMPARE(folder.ReadText("TAG_SUFFIX", "1"), std::string("</x>"));
        QCOMPARE(Row(*editor.tagView(), 1), QStringList({"x", "<x>", "</x>"}));
        QVERIFY(editor.nameEdit()->text().isEmpty());
    }

    void DeletingMovesTheLaterEntriesDown() {
        ProgramFolder folder;
        folder.WriteSystemIni(kThreeTags);
        TagListEditorDialog editor(ConfigFor(folder));

        QTest::mouseClick(editor.deleteButton(), Qt::LeftButton);  // nothing selected
        QCOMPARE(editor.tagView()->topLevelItemCount(), 3);

        SelectRow(*editor.tagView(), 1);
        QTest::mouseClick(editor.deleteButton(), Qt::LeftButton);

        QCOMPARE(editor.tagView()->topLevelItemCount(), 2);
        QCOMPARE(folder.ReadText("TAG", "1"), Sjis("斜体"));
        QCOMPARE(folder.ReadText("TAG_PREFIX", "1"), std::string("<i>"));
        QCOMPARE(folder.ReadText("TAG_SUFFIX", "1"), std::string("</i>"));
        QCOMPARE(folder.ReadText("TAG", "2"), std::string("<absent>"));
        QCOMPARE(folder.ReadText("TAG_PREFIX", "2"), std::string("<absent>"));
        QCOMPARE(folder.ReadText("TAG_SUFFIX", "2"), std::string("<absent>"));
    }

    void DeletingTheOnlyEntryBringsBackTheRule() {
        ProgramFolder folder;
        folder.WriteSystemIni("[TAG]\n0=太字\n[TAG_PREFIX]\n0=<b>\n[TAG_SUFFIX]\n0=</b>\n");
        TagListEditorDialog editor(ConfigFor(folder));
        SelectRow(*editor.tagView(), 0);

        editor.DeleteSelected();

        QCOMPARE(editor.tagView()->topLevelItemCount(), 1);
        QCOMPARE(Row(*editor.tagView(), 0), QStringList({"<HR>", "<HR>", ""}));
    }

    void DoubleClickingARowFillsTheBoxes() {
        ProgramFolder folder;
        folder.WriteSystemIni(kThreeTags);
        TagListEditorDialog editor(ConfigFor(folder));
        editor.show();
        QTreeWidget& view = *editor.tagView();
        const QRect rect = view.visualItemRect(view.topLevelItem(2));

        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, rect.center());

        QCOMPARE(editor.nameEdit()->text(), QStringLiteral("斜体"));
        QCOMPARE(editor.prefixEdit()->text(), QStringLiteral("<i>"));
        QCOMPARE(editor.suffixEdit()->text(), QStringLiteral("</i>"));
    }

    void TheMainWindowReloadsItsListAfterTheEditor() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        QCOMPARE(window->tagList()->count(), 1);
        io.dialogs.push_back([](QDialog& dialog) {
            auto& editor = dynamic_cast<TagListEditorDialog&>(dialog);
            Type(editor, QStringLiteral("中央"), QStringLiteral("<center>"),
                 QStringLiteral("</center>"));
            editor.AddEntry();
            // Closed by Escape: what was added stays.
            return int(QDialog::Rejected);
        });

        QTest::mouseClick(window->button(kIdEditTags), Qt::LeftButton);

        QCOMPARE(io.dialogTitles, QStringList({"TAG編集"}));
        QCOMPARE(window->tagList()->count(), 2);
        QCOMPARE(window->tagList()->item(1)->text(), QStringLiteral("中央"));
    }
};

QTEST_MAIN(TagListEditorDialogTest)
#include "tag_list_editor_dialog_test.moc"
