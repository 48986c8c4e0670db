#include "ui/main/take_back_command.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextDocument>

#include "engine/last_entry.h"
#include "engine/program_start.h"
#include "engine/take_back.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"
#include "ui/main/draft.h"
#include "ui/main/main_dialog.h"

namespace qm {

namespace {

constexpr std::string_view kCaption = "取り消し";
constexpr std::string_view kRefusedCaption = "取り消せないよ";
constexpr std::string_view kQuestion =
    "最後に書いた日記を取り消して、日記ページ・ログページ・最新コピーを書く前に戻しますか？";
constexpr std::string_view kNothingText = "取り消せる日記がありません。";
constexpr std::string_view kDoneText = "最後に書いた日記を取り消しました。";
constexpr std::string_view kTextBackText = "\n書いた題名と本文はウィンドウに戻しました。";
constexpr std::string_view kTextKeptText = "\n書いた題名と本文は次のファイルに残っています：\n%1";
constexpr std::string_view kRestoredHeading = "書く前に戻したファイル：";
constexpr std::string_view kRemovedHeading = "消したファイル（その日記で作ったもの）：";
constexpr std::string_view kChangedText =
    "%1\nこのファイルは日記を書いた後に変更されているので、取り消しませんでした。"
    "どのファイルも変更していません。";
constexpr std::string_view kUnreadableText =
    "%1\nを読めなかったので、取り消しませんでした。どのファイルも変更していません。";
constexpr std::string_view kStoppedText =
    "%1\nを元に戻せなかったので、取り消しは途中で止まっています。"
    "もう一度「取り消し」を選ぶと、残りを戻します。";

QString PathList(std::string_view heading, const std::vector<std::string>& paths) {
    if (paths.empty()) return QString();
    QStringList lines{Ui(heading)};
    for (const std::string& path : paths) lines << FromCp932(path);
    return QStringLiteral("\n\n") + lines.join(QChar('\n'));
}

// The entry taken back returns to the boxes (and so to the draft), to be
// mended and written again; what the message adds about it. A window with
// text of its own keeps it, and the message names the file instead.
QString ReturnEntryText(MainDialog& window) {
    const auto entry = ReadLastEntry(window.config().native.programDir);
    if (!entry) return QString();
    if (!window.titleEdit()->text().isEmpty() || !window.bodyEdit()->document()->isEmpty()) {
        return Ui(kTextKeptText).arg(FromCp932(LastEntryPath(window.config().programDir)));
    }
    window.titleEdit()->setText(FromCp932(entry->title));
    window.bodyEdit()->setPlainText(
        FromCp932(entry->body).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    window.imageNameEdit()->setText(FromCp932(entry->imageName));
    window.altTextEdit()->setText(FromCp932(entry->altText));
    if (!entry->imageUploadList.empty()) {
        auto& images = window.runState().imageUploadList;
        if (images.empty()) images = entry->imageUploadList;
        window.altTextEdit()->setEnabled(true);
    }
    window.draft().NoteChange();
    return Ui(kTextBackText);
}

}  // namespace

void TakeBackLastEntryCommand(MainDialog& window) {
    Interaction& io = window.interaction();
    const auto say = [&](const QString& text, std::string_view caption) {
        io.Message(&window, text, Ui(caption), Interaction::Buttons::Ok, Interaction::Icon::None);
    };
    if (!TakeBackRecorded(window.config().programDir)) {
        say(Ui(kNothingText), kCaption);
        return;
    }
    if (io.Message(&window, Ui(kQuestion), Ui(kCaption), Interaction::Buttons::YesNo,
                   Interaction::Icon::None) != Interaction::Answer::Yes) {
        return;
    }
    const bool upload = window.uploadCheckBox()->checkState() != Qt::Unchecked;
    const TakeBackOutcome outcome =
        TakeBackLastEntry(window.config().programDir, upload, window.host());
    const QString file = FromCp932(outcome.file);
    switch (outcome.status) {
        case TakeBackStatus::Busy:
            return;  // the engine has said so
        case TakeBackStatus::NothingToTake:
            say(Ui(kNothingText), kCaption);
            return;
        case TakeBackStatus::ChangedSince:
            say(Ui(kChangedText).arg(file), kRefusedCaption);
            return;
        case TakeBackStatus::Failed: {
            const bool midway = !outcome.restored.empty() || !outcome.removed.empty();
            say(Ui(midway ? kStoppedText : kUnreadableText).arg(file) + QChar('\n') +
                    FromCp932(outcome.problem),
                kRefusedCaption);
            return;
        }
        case TakeBackStatus::TakenBack:
            break;
    }
    say(Ui(kDoneText) + ReturnEntryText(window) + PathList(kRestoredHeading, outcome.restored) +
            PathList(kRemovedHeading, outcome.removed),
        kCaption);
    if (outcome.uploadStarted) {
        TellIfNotStarted(outcome.upload, outcome.uploaderPath, window.host());
    }
}

}  // namespace qm
