// The builders together with the body's wrap, as the main window uses them:
// after OK the body's selection (or caret) is wrapped and the result selected.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "ui/support/scripted_interaction.h"
#include "ui/tags/tag_builders.h"
#include "ui/tags/tag_list.h"

using qm::TagWrap;
using qm::test::ScriptedInteraction;

namespace {

void Click(QDialog& d, const char* name) { d.findChild<QPushButton*>(name)->click(); }

// What the main window does with a builder's answer.
void ApplyToBody(QPlainTextEdit& body, const std::optional<TagWrap>& wrap) {
    if (wrap) qm::WrapBodySelection(body, wrap->open, wrap->close);
}

void Select(QPlainTextEdit& body, int start, int end) {
    QTextCursor cursor = body.textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    body.setTextCursor(cursor);
}

int SelectionStart(const QPlainTextEdit& body) { return body.textCursor().selectionStart(); }
int SelectionEnd(const QPlainTextEdit& body) { return body.textCursor().selectionEnd(); }

std::function<int(QDialog&)> PressOk() {
    return [](QDialog& d) {
        Click(d, "ok");
        return d.result();
    };
}

}  // namespace

class TagBuildersBodyTest : public QObject {
    Q_OBJECT

  private slots:
    void FontWrapsTheSelectionAndSelectsIt() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            d.findChild<QLineEdit*>("fontFace")->setText("IPAGothic");
            d.findChild<QCheckBox*>("bold")->setChecked(true);
            Click(d, "ok");
            return d.result();
        });
        QPlainTextEdit body(QStringLiteral("前の文 選択 後の文"));
        Select(body, 4, 6);
        ApplyToBody(body, qm::RunFontTagDialog(nullptr, io));
        const QString inserted = QStringLiteral("<font face=\"IPAGothic\"><b>選択</b></font>");
        QCOMPARE(body.toPlainText(),
                 QStringLiteral("前の文 ") + inserted + QStringLiteral(" 後の文"));
        QCOMPARE(SelectionStart(body), 4);
        QCOMPARE(SelectionEnd(body), 4 + int(inserted.size()));
    }

    void FontWithNothingChosenReselectsTheSelection() {
        ScriptedInteraction io;
        io.dialogs.push_back(PressOk());
        QPlainTextEdit body(QStringLiteral("abcdef"));
        Select(body, 1, 4);
        ApplyToBody(body, qm::RunFontTagDialog(nullptr, io));
        QCOMPARE(body.toPlainText(), QStringLiteral("abcdef"));
        QCOMPARE(SelectionStart(body), 1);
        QCOMPARE(SelectionEnd(body), 4);
    }

    void FontWithNothingChosenLeavesACaretACaret() {
        ScriptedInteraction io;
        io.dialogs.push_back(PressOk());
        QPlainTextEdit body(QStringLiteral("abcdef"));
        Select(body, 3, 3);
        ApplyToBody(body, qm::RunFontTagDialog(nullptr, io));
        QCOMPARE(body.toPlainText(), QStringLiteral("abcdef"));
        QCOMPARE(SelectionStart(body), 3);
        QCOMPARE(SelectionEnd(body), 3);
    }

    void AnchorAtACaretIsInsertedAndSelected() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            d.findChild<QLineEdit*>("href")->setText("a.html");
            Click(d, "ok");
            return d.result();
        });
        QPlainTextEdit body(QStringLiteral("xy"));
        Select(body, 1, 1);
        ApplyToBody(body, qm::RunAnchorTagDialog(nullptr, io));
        const QString inserted = QStringLiteral("<a href=\"a.html\"></a>");
        QCOMPARE(body.toPlainText(), "x" + inserted + "y");
        QCOMPARE(SelectionStart(body), 1);
        QCOMPARE(SelectionEnd(body), 1 + int(inserted.size()));
    }

    void EmptyAnchorLeavesBodyAndSelectionAlone() {
        ScriptedInteraction io;
        io.dialogs.push_back(PressOk());
        QPlainTextEdit body(QStringLiteral("abcdef"));
        Select(body, 4, 2);
        ApplyToBody(body, qm::RunAnchorTagDialog(nullptr, io));
        QCOMPARE(body.toPlainText(), QStringLiteral("abcdef"));
        QCOMPARE(body.textCursor().anchor(), 4);
        QCOMPARE(body.textCursor().position(), 2);
    }

    void ImageGoesInFrontOfTheSelection() {
        ScriptedInteraction io;
        io.dialogs.push_back([](QDialog& d) {
            d.findChild<QLineEdit*>("path")->setText("C:\\img\\a.jpg");
            Click(d, "ok");
            return d.result();
        });
        std::string list;
        QPlainTextEdit body(QStringLiteral("写真です"));
        Select(body, 0, 2);
        ApplyToBody(body, qm::RunImageTagDialog(nullptr, io, list));
        QCOMPARE(body.toPlainText(), QStringLiteral("<img src=\"a.jpg\">写真です"));
        QCOMPARE(SelectionStart(body), 0);
        QCOMPARE(SelectionEnd(body), int(QStringLiteral("<img src=\"a.jpg\">写真").size()));
        QCOMPARE(list, std::string("C:\\img\\a.jpg"));
    }

    void CancelLeavesTheBodyUntouched() {
        ScriptedInteraction io;
        for (int i = 0; i < 3; ++i) {
            io.dialogs.push_back([](QDialog& d) {
                for (auto* edit : d.findChildren<QLineEdit*>()) edit->setText("v");
                Click(d, "cancel");
                return d.result();
            });
        }
        std::string list;
        QPlainTextEdit body(QStringLiteral("abc"));
        Select(body, 0, 3);
        ApplyToBody(body, qm::RunFontTagDialog(nullptr, io));
        ApplyToBody(body, qm::RunAnchorTagDialog(nullptr, io));
        ApplyToBody(body, qm::RunImageTagDialog(nullptr, io, list));
        QCOMPARE(body.toPlainText(), QStringLiteral("abc"));
        QCOMPARE(SelectionStart(body), 0);
        QCOMPARE(SelectionEnd(body), 3);
        QVERIFY(list.empty());
        QCOMPARE(io.dialogTitles.size(), 3);
    }
};

QTEST_MAIN(TagBuildersBodyTest)
#include "tag_builders_body_test.moc"
