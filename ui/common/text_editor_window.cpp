#include "ui/common/text_editor_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextDocument>
#include <cstdio>
#include <filesystem>

#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/utf8_path.h"
#include "ui/common/interaction.h"
#include "ui/common/manual_help.h"
#include "ui/common/qt_translations.h"
#include "ui/common/window_system.h"

namespace qm {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr const char* kReadFailedCaption = "読み込み失敗！！";

const char* const kCaption = "くいるめいかー";

// Only a regular file, never waiting on a FIFO nor reading a device for ever.
std::optional<std::string> ReadWholeFile(const std::string& fsPath) {
    auto bytes = ReadRegularFile(NativePath(fsPath));
    if (!bytes) return std::nullopt;
    return std::move(*bytes);
}

}  // namespace

TextEditorWindow::TextEditorWindow(std::string fsPathUtf8, Interaction& io, QWidget* parent)
    : QMainWindow(parent), fsPath_(std::move(fsPathUtf8)), io_(io) {
    editor_ = new QPlainTextEdit(this);
    editor_->setObjectName("editor");
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setCentralWidget(editor_);

    QMenu* file = menuBar()->addMenu(U("ファイル(&F)"));
    QAction* save = file->addAction(U("上書き保存(&S)"), this, [this] { Save(); });
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    QAction* quit = file->addAction(U("閉じる(&X)"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Close);

    const QString name = QFileInfo(QString::fromStdString(fsPath_)).fileName();
    setWindowTitle(name + U("[*] - テキスト編集"));
    connect(editor_->document(), &QTextDocument::modificationChanged, this,
            &QWidget::setWindowModified);
    resize(720, 560);
}

bool TextEditorWindow::Load() {
    const QString shown = QString::fromStdString(fsPath_);
    std::error_code ec;
    if (!std::filesystem::exists(PathOfUtf8(fsPath_), ec) && !ec) {
        loadedBytes_.reset();
        crlf_ = true;
        editor_->clear();
        editor_->document()->setModified(false);
        statusBar()->showMessage(U("新しいファイルです。保存すると作られます。"));
        return true;
    }
    const auto bytes = ReadWholeFile(fsPath_);
    if (!bytes || std::filesystem::is_directory(PathOfUtf8(fsPath_), ec)) {
        io_.Message(this, shown + U("\nを読み込めませんでした。"), U(kReadFailedCaption));
        return false;
    }
    // A page's text ends at its first NUL byte; what follows is not the page
    // and is not saved back.
    const std::string_view text = TextUpToNul(*bytes);
    const auto utf8 = Cp932ToUtf8(text);
    if (!utf8) {
        io_.Message(this, shown + U("\nはShift-JISのテキストとして読めないので開けません。"),
                    U(kReadFailedCaption));
        return false;
    }
    loadedBytes_ = *bytes;
    crlf_ =
        text.find("\r\n") != std::string_view::npos || text.find('\n') == std::string_view::npos;
    QString content = QString::fromStdString(*utf8);
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    editor_->setPlainText(content);
    editor_->document()->setModified(false);
    return true;
}

std::optional<std::string> TextEditorWindow::EncodeForSaving() {
    QString text = editor_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    if (crlf_) text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const std::string utf8 = text.toStdString();
    auto bytes = Utf8ToCp932(utf8);
    if (!bytes) {
        const auto answer =
            io_.Message(this,
                        U("Shift-JISで表せない文字が入っています。\n"
                          "その文字をHTMLの文字参照（&#x…;）に置き換えて保存しますか？"),
                        U(kCaption), Interaction::Buttons::YesNo);
        if (answer != Interaction::Answer::Yes) return std::nullopt;
        bytes = Utf8ToCp932WithReferences(utf8);
        if (!bytes) return std::nullopt;
    }
    return bytes;
}

// The diary may have written into the file since it was opened here (a
// generate while the page is open); saving blindly would throw that away.
bool TextEditorWindow::ConfirmOverwriteIfChanged() {
    std::error_code ec;
    const bool existsNow = std::filesystem::exists(PathOfUtf8(fsPath_), ec);
    bool changed = false;
    if (loadedBytes_) {
        const auto now = ReadWholeFile(fsPath_);
        changed = !existsNow || !now || *now != *loadedBytes_;
    } else {
        changed = existsNow;
    }
    if (!changed) return true;
    return io_.Message(this,
                       QString::fromStdString(fsPath_) +
                           U("\nはここで開いた後にほかで変更されています。\n上書きしますか？"),
                       U("ファイルが変更されています"),
                       Interaction::Buttons::YesNo) == Interaction::Answer::Yes;
}

bool TextEditorWindow::Save() {
    const auto bytes = EncodeForSaving();
    if (!bytes) return false;
    if (!ConfirmOverwriteIfChanged()) return false;
    if (!ReplaceFileContents(NativePath(fsPath_), *bytes)) {
        io_.Message(this, QString::fromStdString(fsPath_) + U("\nに書き込めませんでした。"),
                    U("書き込み失敗！！"));
        return false;
    }
    loadedBytes_ = *bytes;
    editor_->document()->setModified(false);
    statusBar()->clearMessage();
    return true;
}

void TextEditorWindow::closeEvent(QCloseEvent* event) {
    if (!editor_->document()->isModified()) {
        event->accept();
        return;
    }
    const auto answer = io_.Message(
        this,
        QFileInfo(QString::fromStdString(fsPath_)).fileName() + U(" への変更を保存しますか？"),
        U(kCaption), Interaction::Buttons::YesNoCancel);
    if (answer == Interaction::Answer::No || (answer == Interaction::Answer::Yes && Save())) {
        event->accept();
    } else {
        event->ignore();
    }
}

int RunTextEditor(const std::string& fsPathUtf8) {
    if (fsPathUtf8.empty()) {
        std::fputs("usage: quillmaker edit FILE\n", stderr);
        return 2;
    }
    static int argc = 1;
    static char name[] = "quillmaker";
    static char* argv[] = {name, nullptr};
    std::optional<QApplication> ownApp;
    if (QApplication::instance() == nullptr) {
        StartApplication(ownApp, argc, argv);
        LoadQtTranslations(*ownApp);
    }
    DesktopInteraction io;
    const HelpKey help(io, StartProgram);
    TextEditorWindow window(fsPathUtf8, io);
    if (!window.Load()) return 1;
    window.show();
    return QApplication::exec();
}

}  // namespace qm
