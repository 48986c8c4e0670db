// The tag list editor: every add, change and delete goes straight to the
// system settings file.
#include "ui/tags/tag_list_editor_dialog.h"

#include <QTreeWidget>

#include "support/write_limit.h"
#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;
using Texts = std::vector<std::string>;

namespace {

// The editor on a system settings file holding three tags.
struct Editing {
    ProgramFolder folder;
    ScriptedInteraction io;
    std::unique_ptr<TagListEditorDialog> editor;

    Editing() {
        folder.WriteSystemIni(
            "[TAG]\n0=<HR>\n1=太字\n2=斜体\n[TAG_PREFIX]\n0=<HR>\n1=<b>\n2=<i>\n"
            "[TAG_SUFFIX]\n0=\n1=</b>\n2=</i>\n");
        ActiveConfig config;
        config.systemIniPath = folder.systemIni();
        editor = std::make_unique<TagListEditorDialog>(config, io);
        editor->nameEdit()->setText(QStringLiteral("下線"));
        editor->prefixEdit()->setText(QStringLiteral("<u>"));
        editor->suffixEdit()->setText(QStringLiteral("</u>"));
    }
    // The entry `n` as stored: name, prefix, suffix.
    Texts Stored(const char* n) const {
        return {folder.ReadText("TAG", n), folder.ReadText("TAG_PREFIX", n),
                folder.ReadText("TAG_SUFFIX", n)};
    }
    void AddThenDeleteTheSecond() {
        QTest::mouseClick(editor->addButton(), Qt::LeftButton);
        editor->tagView()->topLevelItem(1)->setSelected(true);
        QTest::mouseClick(editor->deleteButton(), Qt::LeftButton);
    }
};

}  // namespace

class TagListEditorDialogTest : public QObject {
    Q_OBJECT
  private slots:
    // Adding writes the next number and clears the boxes; deleting moves the
    // later entries down.
    void AddingAndDeletingRenumberTheStoredList() {
        Editing e;
        e.AddThenDeleteTheSecond();
        QVERIFY(e.editor->nameEdit()->text().isEmpty());
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 3);
        QVERIFY(e.Stored("1") == Texts({Sjis("斜体"), "<i>", "</i>"}));
        QVERIFY(e.Stored("2") == Texts({Sjis("下線"), "<u>", "</u>"}));
        QVERIFY(e.Stored("3") == Texts(3, "<absent>"));
    }

    // Bytes with no character of their own (0x80, 0xFD, a second code for 纊,
    // a damaged byte) survive an edit that leaves their box alone.
    void UntouchedBoxesKeepTheirBytes() {
        Editing e;
        const std::string name = "\x80\xFD\xED\x40";
        const std::string prefix = "<p title=\"\x82\">";
        QVERIFY(WriteTagEntry(e.folder.systemIni(), 1, {name, prefix, "</p>"}));
        e.editor->FillTagListView();
        e.editor->tagView()->topLevelItem(1)->setSelected(true);
        e.editor->LoadSelectedIntoEdits();
        QCOMPARE(e.editor->nameEdit()->text(), QStringLiteral("\u0080\uF8F1纊"));
        e.editor->suffixEdit()->setText(QStringLiteral("¥</p>"));
        QTest::mouseClick(e.editor->applyEditButton(), Qt::LeftButton);
        QVERIFY(e.Stored("1") == Texts({name, prefix, "&#xA5;</p>"}));
        QVERIFY(e.io.messages.empty());
    }

    // Nothing typed is thrown away when the settings file cannot take it.
    void AFailedWriteIsNamedAndKeepsTheBoxes() {
        Editing e;
        {
            const FileSizeLimit full(1);
            e.AddThenDeleteTheSecond();
        }
        QCOMPARE(e.io.messages.size(), std::size_t{2});
        QCOMPARE(e.io.messages[0].text, UnwritableText(e.folder.systemIni()));
        QCOMPARE(e.editor->nameEdit()->text(), QStringLiteral("下線"));
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 3);
        QVERIFY(e.Stored("3") == Texts(3, "<absent>"));
        QVERIFY(e.Stored("1") == Texts({Sjis("太字"), "<b>", "</b>"}));
    }
};

QTEST_MAIN(TagListEditorDialogTest)
#include "tag_list_editor_dialog_test.moc"
