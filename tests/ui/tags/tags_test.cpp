// The tag builders (an image path and its web copy, how a built tag wraps
// the body) and the tag list editor, whose every add, change and delete goes
// straight to the settings file.
#include <QLabel>
#include <QTreeWidget>

#include "engine/diary_page.h"
#include "support/write_limit.h"
#include "ui/main/main_window_fixture.h"
#include "ui/tags/anchor_tag_dialog.h"
#include "ui/tags/image_tag_dialog.h"
#include "ui/tags/tag_list.h"
#include "ui/tags/tag_list_editor_dialog.h"

namespace qm::test {

namespace {

using Texts = std::vector<std::string>;

void Select(QPlainTextEdit& body, int from, int to) {
    QTextCursor cursor = body.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    body.setTextCursor(cursor);
}

// The editor on a system settings file holding three tags, a fourth typed in.
struct Editing : ProgramFolder {
    ScriptedInteraction io;
    std::unique_ptr<TagListEditorDialog> editor;

    Editing() {
        WriteSystemIni(
            "[TAG]\n0=<HR>\n1=太字\n2=斜体\n[TAG_PREFIX]\n0=<HR>\n1=<b>\n2=<i>\n"
            "[TAG_SUFFIX]\n0=\n1=</b>\n2=</i>\n");
        ActiveConfig config;
        config.systemIniPath = systemIni();
        editor = std::make_unique<TagListEditorDialog>(config, io);
        editor->nameEdit()->setText(QStringLiteral("下線"));
        editor->prefixEdit()->setText(QStringLiteral("<u>"));
        editor->suffixEdit()->setText(QStringLiteral("</u>"));
    }
    Texts Stored(const char* n) const {
        return {ReadText("TAG", n), ReadText("TAG_PREFIX", n), ReadText("TAG_SUFFIX", n)};
    }
    void AddThenDeleteTheSecond() {
        QTest::mouseClick(editor->addButton(), Qt::LeftButton);
        editor->tagView()->topLevelItem(1)->setSelected(true);
        QTest::mouseClick(editor->deleteButton(), Qt::LeftButton);
    }
};

}  // namespace

class TagsTest : public QObject {
    Q_OBJECT
  private slots:
    // A path, even a Windows one in Japanese, gives its file name only.
    void TagTexts() {
        ImageTagFields image;
        image.path = Sjis("C:\\十\\十.jpg");
        QCOMPARE(BuildImageTag(image).value(), QStringLiteral("<img src=\"十.jpg\">"));
    }

    // The builder shows the web copy of the chosen file and fills in its size;
    // a file that is no image is named and the dialog stays open.
    void TheImageBuilderShowsTheCopyAndRefusesWhatIsNoImage() {
        OneSet folder;
        folder.WriteFile("pic.gif", kTinyGif);
        folder.WriteFile("notes.jpg", "text");
        ActiveConfig config;
        config.diaryFolder = folder.dir();
        RunState run;
        ScriptedInteraction io;
        const auto prepare = [&](const std::string& path, std::string& problem) {
            return PrepareWebImage(config, run, path, problem);
        };
        ImageTagDialog dialog(io, QString(), prepare);
        io.fileNames.push_back(QString::fromStdString(folder.path("pic.gif")));
        dialog.Browse();
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("copyInfo"))->text(),
                 QStringLiteral("images/pic.gif　1×1ピクセル　12バイト"));
        dialog.accept();
        QCOMPARE(BuildImageTag(dialog.Fields()).value(),
                 QStringLiteral("<img src=\"images/pic.gif\" height=\"1\" width=\"1\">"));

        ImageTagDialog refusing(io, QString(), prepare);
        refusing.findChild<QLineEdit*>(QStringLiteral("path"))
            ->setText(QString::fromStdString(folder.path("notes.jpg")));
        refusing.accept();
        QCOMPARE(io.messages.size(), std::size_t{1});
        QVERIFY(io.messages[0].text.contains(QStringLiteral("notes.jpg")));
        QVERIFY(refusing.result() != QDialog::Accepted);
    }

    // The selection stays on the wrapped text; a close text's CR LF is one
    // position; each wrap is one undo step.
    void WrappingIsOneUndoStepAndKeepsTheSelection() {
        QPlainTextEdit body;
        body.show();
        body.setFocus();
        QTest::keyClicks(&body, QStringLiteral("one two"));
        body.appendPlainText(QString::fromUtf8("😀一\n二\n三"));
        Select(body, 10, 14);  // from after the emoji to the start of the last line
        WrapBodySelection(body, QStringLiteral("<i>"), QStringLiteral("\r\n</i>"));
        QCOMPARE(body.toPlainText(), QString::fromUtf8("one two\n😀<i>一\n二\n\n</i>三"));
        QCOMPARE(body.textCursor().selectionStart(), 10);
        QCOMPARE(body.textCursor().selectionEnd(), 10 + 3 + 4 + 5);
        Select(body, 4, 7);
        WrapBodySelection(body, QStringLiteral("<b>"), QStringLiteral("</b>"));
        QVERIFY(body.toPlainText().startsWith(QStringLiteral("one <b>two</b>\n")));
        QTest::keyClick(&body, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(body.toPlainText().startsWith(QStringLiteral("one two\n")));
        body.undo();
        QCOMPARE(body.toPlainText(), QString::fromUtf8("one two\n😀一\n二\n三"));
    }

    // Bytes with no character of their own (0x80, 0xFD, a second code for 纊,
    // a damaged byte) survive an edit that leaves their box alone.
    void UntouchedBoxesKeepTheirBytes() {
        Editing e;
        const std::string name = "\x80\xFD\xED\x40";
        const std::string prefix = "<p title=\"\x82\">";
        QVERIFY(WriteTagEntry(e.systemIni(), 1, {name, prefix, "</p>"}));
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
        QCOMPARE(e.io.messages[0].text, UnwritableText(e.systemIni()));
        QCOMPARE(e.editor->nameEdit()->text(), QStringLiteral("下線"));
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 3);
        QVERIFY(e.Stored("1") == Texts({Sjis("太字"), "<b>", "</b>"}));

        // Once it can: adding writes the next number and clears the boxes;
        // deleting moves the later entries down.
        e.AddThenDeleteTheSecond();
        QVERIFY(e.editor->nameEdit()->text().isEmpty());
        QCOMPARE(e.editor->tagView()->topLevelItemCount(), 3);
        QVERIFY(e.Stored("1") == Texts({Sjis("斜体"), "<i>", "</i>"}));
        QVERIFY(e.Stored("2") == Texts({Sjis("下線"), "<u>", "</u>"}));
        QVERIFY(e.Stored("3") == Texts(3, "<absent>"));
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::TagsTest)
#include "tags_test.moc"
