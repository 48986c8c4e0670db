// The tag list editor: every add, edit and delete goes straight to the
// system settings file, and the main window's list follows after it closes.
#include "ui/tags/tag_list_editor_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;

namespace {

constexpr std::string_view kThreeTags =
    "[TAG]\n0=<HR>\n1=太字\n2=斜体\n[TAG_PREFIX]\n0=<HR>\n1=<b>\n2=<i>\n[TAG_SUFFIX]\n0=\n1=</b>\n"
    "2=</i>\n";

// The editor on a system settings file holding `tags`.
struct Editing {
    ProgramFolder folder;
    std::unique_ptr<TagListEditorDialog> editor;

    explicit Editing(std::string_view tags = kThreeTags) {
        folder.WriteSystemIni(tags);
        ActiveConfig config;
        config.systemIniPath = folder.systemIni();
        editor = std::make_unique<TagListEditorDialog>(config);
    }
    void Type(const QString& name, const QString& prefix, const QString& suffix) {
        editor->nameEdit()->setText(name);
        editor->prefixEdit()->setText(prefix);
        editor->suffixEdit()->setText(suffix);
    }
    void SelectRow(int row) {
        editor->tagView()->setCurrentItem(editor->tagView()->topLevelItem(row));
        editor->tagView()->topLevelItem(row)->setSelected(true);
    }
    QStringList Row(int row) const {
        const QTreeWidgetItem* item = editor->tagView()->topLevelItem(row);
        return {item->text(0), item->text(1), item->text(2)};
    }
    // The entry `n` as stored: name, prefix, suffix.
    std::vector<std::string> Stored(const char* n) const {
        return {folder.ReadText("TAG", n), folder.ReadText("TAG_PREFIX", n),
                folder.ReadText("TAG_SUFFIX", n)};
    }
    bool BoxesEmpty() const {
        return editor->nameEdit()->text().isEmpty() && editor->prefixEdit()->text().isEmpty() &&
               editor->suffixEdit()->text().isEmpty();
    }
};

using Texts = std::vector<std::string>;

}  // namespace

class TagListEditorDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void AddingWritesTheNextNumberAndClearsTheBoxes() {
        Editing e;
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 3);
        QCOMPARE(e.Row(1), QStringList({"太字", "<b>", "</b>"}));
        e.Type(QStringLiteral("下線"), QStringLiteral("<u>"), QStringLiteral("</u>"));

        QTest::mouseClick(e.editor->addButton(), Qt::LeftButton);

        QVERIFY(e.Stored("3") == Texts({Sjis("下線"), "<u>", "</u>"}));
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 4);
        QVERIFY(e.BoxesEmpty());

        // 100 double-byte characters are 200 bytes; 127 would split one.
        e.Type(QString(100, QChar(0x3042)), QStringLiteral("<p>"), QString());
        e.editor->AddEntry();
        QCOMPARE(e.folder.ReadText("TAG", "4"), Sjis(QString(63, QChar(0x3042)).toStdString()));
    }

    void EditingNeedsASelectedRow() {
        Editing e;
        const std::string before = e.folder.ReadFile("QMsys.ini");
        e.Type(QStringLiteral("x"), QStringLiteral("<x>"), QStringLiteral("</x>"));
        QTest::mouseClick(e.editor->applyEditButton(), Qt::LeftButton);
        QCOMPARE(e.folder.ReadFile("QMsys.ini"), before);
        QCOMPARE(e.editor->nameEdit()->text(), QStringLiteral("x"));

        e.SelectRow(1);
        QTest::mouseClick(e.editor->applyEditButton(), Qt::LeftButton);
        QVERIFY(e.Stored("1") == Texts({"x", "<x>", "</x>"}));
        QCOMPARE(e.Row(1), QStringList({"x", "<x>", "</x>"}));
        QVERIFY(e.BoxesEmpty());
    }

    void DeletingMovesTheLaterEntriesDown() {
        Editing e;
        QTest::mouseClick(e.editor->deleteButton(), Qt::LeftButton);  // nothing selected
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 3);

        e.SelectRow(1);
        QTest::mouseClick(e.editor->deleteButton(), Qt::LeftButton);
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 2);
        QVERIFY(e.Stored("1") == Texts({Sjis("斜体"), "<i>", "</i>"}));
        QVERIFY(e.Stored("2") == Texts(3, "<absent>"));

        // Deleting the only entry brings back the rule.
        Editing one("[TAG]\n0=太字\n[TAG_PREFIX]\n0=<b>\n[TAG_SUFFIX]\n0=</b>\n");
        one.SelectRow(0);
        one.editor->DeleteSelected();
        QCOMPARE(one.editor->tagView()->topLevelItemCount(), 1);
        QCOMPARE(one.Row(0), QStringList({"<HR>", "<HR>", ""}));
    }

    void DoubleClickingARowFillsTheBoxes() {
        Editing e;
        e.editor->show();
        QTreeWidget& view = *e.editor->tagView();
        const QRect rect = view.visualItemRect(view.topLevelItem(2));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(e.editor->nameEdit()->text(), QStringLiteral("斜体"));
        QCOMPARE(e.editor->prefixEdit()->text(), QStringLiteral("<i>"));
        QCOMPARE(e.editor->suffixEdit()->text(), QStringLiteral("</i>"));
    }

    void TheMainWindowReloadsItsListAfterTheEditor() {
        ProgramFolder folder;
        folder.WriteOneSet();
        ScriptedInteraction io;
        auto window = OpenWindow(folder, io);
        QVERIFY(window);
        io.dialogs.push_back([](QDialog& dialog) {
            auto& editor = dynamic_cast<TagListEditorDialog&>(dialog);
            editor.nameEdit()->setText(QStringLiteral("中央"));
            editor.AddEntry();
            return int(QDialog::Rejected);  // closed by Escape: what was added stays
        });

        QTest::mouseClick(window->button(kIdEditTags), Qt::LeftButton);

        QCOMPARE(io.dialogTitles, QStringList({"TAG編集"}));
        QCOMPARE(window->tagList()->count(), 2);
        QCOMPARE(window->tagList()->item(1)->text(), QStringLiteral("中央"));
    }
};

QTEST_MAIN(TagListEditorDialogTest)
#include "tag_list_editor_dialog_test.moc"
