// The tag list editor: every add and delete goes straight to the system
// settings file.
#include "ui/tags/tag_list_editor_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "support/write_limit.h"
#include "ui/main/main_window_fixture.h"

using namespace qm;
using namespace qm::test;

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
    }
    // The entry `n` as stored: name, prefix, suffix.
    std::vector<std::string> Stored(const char* n) const {
        return {folder.ReadText("TAG", n), folder.ReadText("TAG_PREFIX", n),
                folder.ReadText("TAG_SUFFIX", n)};
    }
};

using Texts = std::vector<std::string>;

}  // namespace

class TagListEditorDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void AddingWritesTheNextNumberAndClearsTheBoxes() {
        Editing e;
        e.editor->nameEdit()->setText(QStringLiteral("下線"));
        e.editor->prefixEdit()->setText(QStringLiteral("<u>"));
        e.editor->suffixEdit()->setText(QStringLiteral("</u>"));

        QTest::mouseClick(e.editor->addButton(), Qt::LeftButton);

        QVERIFY(e.Stored("3") == Texts({Sjis("下線"), "<u>", "</u>"}));
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 4);
        QVERIFY(e.editor->nameEdit()->text().isEmpty());
    }

    void DeletingMovesTheLaterEntriesDown() {
        Editing e;
        QTreeWidget& view = *e.editor->tagView();
        view.setCurrentItem(view.topLevelItem(1));
        view.topLevelItem(1)->setSelected(true);
        QTest::mouseClick(e.editor->deleteButton(), Qt::LeftButton);
        QCOMPARE(view.topLevelItemCount(), 2);
        QVERIFY(e.Stored("1") == Texts({Sjis("斜体"), "<i>", "</i>"}));
        QVERIFY(e.Stored("2") == Texts(3, "<absent>"));
    }

    // Bytes with no character of their own (0x80, 0xFD, a second code for 纊,
    // a damaged byte) survive an edit that leaves their box alone.
    void UntouchedBoxesKeepTheirBytes() {
        Editing e;
        const std::string name = "\x80\xFD\xED\x40";
        const std::string prefix = "<p title=\"\x82\">";
        QVERIFY(WriteTagEntry(e.folder.systemIni(), 1, {name, prefix, "</p>"}));
        e.editor->FillTagListView();
        QTreeWidget& view = *e.editor->tagView();
        view.topLevelItem(1)->setSelected(true);
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
        e.editor->nameEdit()->setText(QStringLiteral("下線"));
        e.editor->prefixEdit()->setText(QStringLiteral("<u>"));
        {
            const FileSizeLimit full(1);
            QTest::mouseClick(e.editor->addButton(), Qt::LeftButton);
            QTreeWidget& view = *e.editor->tagView();
            view.topLevelItem(1)->setSelected(true);
            QTest::mouseClick(e.editor->deleteButton(), Qt::LeftButton);
        }
        QCOMPARE(e.io.messages.size(), std::size_t{2});
        QCOMPARE(e.io.messages[0].text,
                 QString::fromStdString(e.folder.systemIni()) +
                     QStringLiteral(
                         "\nこの設定ファイルに書き込めなかったので、変更は保存されていません。"));
        QCOMPARE(e.editor->nameEdit()->text(), QStringLiteral("下線"));
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 3);
        QVERIFY(e.Stored("3") == Texts(3, "<absent>"));
        QVERIFY(e.Stored("1") == Texts({Sjis("太字"), "<b>", "</b>"}));
    }
};

QTEST_MAIN(TagListEditorDialogTest)
#include "tag_list_editor_dialog_test.moc"
