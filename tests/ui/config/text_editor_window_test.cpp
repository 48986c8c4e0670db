#include "ui/common/text_editor_window.h"

#include <QPlainTextEdit>
#include <QtTest>
#include <filesystem>

#include "platform/encoding.h"
#include "support/temp_dir.h"
#include "ui/support/scripted_interaction.h"

namespace qm::test {
namespace {

QString U(std::string_view utf8) { return QString::fromUtf8(utf8.data(), utf8.size()); }
std::string Sj(std::string_view utf8) { return *Utf8ToCp932(utf8); }

void Type(TextEditorWindow& window, const QString& text) {
    QPlainTextEdit* editor = window.editor();
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText(text);
}

}  // namespace

class TextEditorWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void shiftJisPageRoundTripsWithItsLineEndsAndNul() {
        TempDir dir;
        const std::string path = dir / "page.html";
        WriteBytes(path,
                   Sj("<p>日記</p>\r\n<!-- ここに挿入 -->\r\n") + std::string("\0old tail", 9));
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        QCOMPARE(window.editor()->toPlainText(), U("<p>日記</p>\n<!-- ここに挿入 -->\n"));
        Type(window, U("表示\n"));
        QVERIFY(window.Save());
        QVERIFY(ReadBytes(path) ==
                Sj("<p>日記</p>\r\n<!-- ここに挿入 -->\r\n表示\r\n") + std::string(1, '\0'));
        QVERIFY(io.messages.empty());
    }

    void fileWithUnixLineEndsKeepsThem() {
        TempDir dir;
        const std::string path = dir / "templet.txt";
        WriteBytes(path, Sj("*T\n本文\n"));
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        Type(window, "x");
        QVERIFY(window.Save());
        QVERIFY(ReadBytes(path) == Sj("*T\n本文\nx"));
    }

    void missingFileStartsEmptyAndIsCreatedOnSaving() {
        TempDir dir;
        const std::string path = dir / "new.txt";
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        QCOMPARE(window.editor()->toPlainText(), QString());
        Type(window, U("一行目\n二行目"));
        QVERIFY(window.Save());
        QVERIFY(ReadBytes(path) == Sj("一行目\r\n二行目"));
    }

    void bytesThatAreNotShiftJisAreNotOpened() {
        TempDir dir;
        const std::string path = dir / "broken.txt";
        WriteBytes(path, "ok \x82");  // a lead byte with nothing after it
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(!window.Load());
        QCOMPARE(io.messages.size(), std::size_t(1));
        QVERIFY(ReadBytes(path) == "ok \x82");
    }

    void fileChangedElsewhereIsNotOverwrittenUnasked() {
        TempDir dir;
        const std::string path = dir / "page.html";
        WriteBytes(path, "old\r\n");
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        WriteBytes(path, "old\r\nnew entry\r\n");  // a generate meanwhile
        Type(window, "mine");
        io.answers.push_back(Interaction::Answer::No);
        QVERIFY(!window.Save());
        QCOMPARE(io.messages.size(), std::size_t(1));
        QVERIFY(ReadBytes(path) == "old\r\nnew entry\r\n");
        io.answers.push_back(Interaction::Answer::Yes);
        QVERIFY(window.Save());
        QVERIFY(ReadBytes(path) == "old\r\nmine");
    }

    void charactersShiftJisLacksBecomeReferencesOnlyWhenAgreed() {
        TempDir dir;
        const std::string path = dir / "page.html";
        WriteBytes(path, "a\r\n");
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        Type(window, U("\xF0\x9F\x98\x80"));
        io.answers.push_back(Interaction::Answer::No);
        QVERIFY(!window.Save());
        QVERIFY(ReadBytes(path) == "a\r\n");
        io.answers.push_back(Interaction::Answer::Yes);
        QVERIFY(window.Save());
        QVERIFY(ReadBytes(path) == "a\r\n&#x1F600;");
    }

    void closingWithUnsavedChangesAsks() {
        TempDir dir;
        const std::string path = dir / "t.txt";
        WriteBytes(path, "keep");
        ScriptedInteraction io;
        TextEditorWindow window(path, io);
        QVERIFY(window.Load());
        window.show();
        QVERIFY(window.close());  // unchanged: closes without a question
        QVERIFY(io.messages.empty());

        window.show();
        Type(window, "!");
        io.answers.push_back(Interaction::Answer::Cancel);
        QVERIFY(!window.close());
        QCOMPARE(io.messages.size(), std::size_t(1));
        QVERIFY(window.isVisible());

        io.answers.push_back(Interaction::Answer::No);
        QVERIFY(window.close());
        QVERIFY(ReadBytes(path) == "keep");

        window.show();
        io.answers.push_back(Interaction::Answer::Yes);
        QVERIFY(window.close());
        QVERIFY(ReadBytes(path) == "keep!");
    }
};

}  // namespace qm::test

QTEST_MAIN(qm::test::TextEditorWindowTest)
#include "text_editor_window_test.moc"
