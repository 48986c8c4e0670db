// Every text the engine shows or writes, in UTF-8 as the source is written;
// Sjis() turns one into the code page 932 bytes that go into files and boxes.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_result.h"
#include "platform/start_texts.h"

namespace qm {

// Converts a UTF-8 literal of this program to code page 932. The literals are
// all representable; anything else is a programming error and aborts.
std::string Sjis(std::string_view utf8);

// Sjis(utf8) followed, on a line of its own, by the file and the system's
// answer of a file function that failed.
std::string SjisWithFileProblem(std::string_view utf8, const FileProblem& problem);

// That line alone: "file: answer", code page 932.
std::string FileProblemLine(const FileProblem& problem);
// "file: reason" for a file refused for a reason of our own (UTF-8 literal).
std::string RefusalLine(std::string_view fileCp932, std::string_view reasonUtf8);

// The page without the insert marker: the old words, then a line naming the
// page (code page 932) and the marker to add to it.
std::string NoMarkerText(std::string_view pageCp932);

namespace msg {
inline constexpr std::string_view kInsertMarker = "<!-- ここに挿入 -->";
inline constexpr std::string_view kLogMarker = "<!-- ここにログ -->";
inline constexpr std::string_view kEntryHeaderSignature = " くいるめいかー -->\r\n";

// Entry composition.
inline constexpr std::string_view kTemplateOpenText = "テンプレート開けない";
inline constexpr std::string_view kTemplateOpenCaption = "テンプレート開けないよ？";
inline constexpr std::string_view kReadFailedText = "読み込み失敗しました";
inline constexpr std::string_view kReadFailedCaption = "読み込み失敗！！";
inline constexpr std::string_view kWriteFailedText = "書き込み失敗しました";
inline constexpr std::string_view kWriteFailedCaption = "書き込み失敗！！";

// Entry insertion.
inline constexpr std::string_view kPageOpenText = "日記ファイル開けない";
inline constexpr std::string_view kPageOpenCaption = "日記ファイル開けないよ？";
inline constexpr std::string_view kNoMarkerText = "埋め込む場所わかんないダス";
inline constexpr std::string_view kNoMarkerCaption = "埋め込む場所わかんねっす。";
inline constexpr std::string_view kPageWriteText = "日記書き込み失敗";
inline constexpr std::string_view kPageWriteCaption = "日記ファイル書けないよ？";

// Page selection.
inline constexpr std::string_view kNewPageCaption = "作りま～す♪";
inline constexpr std::string_view kNewMonthText =
    "\r\n今月から新しいファイルだよ～書き換えるものがったら書き換えてね♪";
inline constexpr std::string_view kNewWeekText =
    "\r\n今週から新しいファイルだよ～書き換えるものがったら書き換えてね♪";
inline constexpr std::string_view kNewHalfText =
    "\r\n今日から新しいファイルだよ～書き換えるものがったら書き換えてね♪";
inline constexpr std::string_view kRollOverFailedText =
    "\r\n日記の原型を写せないので、新しいファイルは作らず何も書き込まなかったよ。";
inline constexpr std::string_view kRollOverFailedCaption = "作れないよ？";
inline constexpr std::string_view kPrototypeText = "日記の原型の設定が変だよ。";
inline constexpr std::string_view kPrototypeCaption = "設定してね♪";

// Loading, when the host has no dialog to mend the settings with.
inline constexpr std::string_view kPathsEmptyText = "日記の原型かテンプレートが設定されてないよ。";
inline constexpr std::string_view kNoSetText = "設定セットがないよ。先にセットを作ってね。";
inline constexpr std::string_view kSettingsCaption = "設定してね♪";

// Log page.
inline constexpr std::string_view kLogOpenText = "ログファイル開けない";
inline constexpr std::string_view kLogOpenCaption = "ログファイル開けないよ？";
inline constexpr std::string_view kLogNoMarkerText = "ログ埋め込む場所わかんない";
inline constexpr std::string_view kLogNoMarkerCaption = "ログ埋め込む場所わかんねっす。";
inline constexpr std::string_view kLogLinkLaterText =
    "新しい日記ファイルへのリンクは、次に日記を書くときにログに追加します。";
inline constexpr std::string_view kLogLinkRepairedText =
    "\r\nこの日記ファイルへのリンクがログになかったので、追加しました。";
inline constexpr std::string_view kLogLinkRepairedCaption = "ログを直したよ";

// The take-back record.
inline constexpr std::string_view kRecordLostText =
    "日記は書き込みましたが、取り消し用の記録を残せなかったので、この日記は「取り消し」では"
    "取り消せません。";
inline constexpr std::string_view kRecordLostCaption = "取り消し用の記録を残せないよ";
inline constexpr std::string_view kRecordFolderForeignReason =
    "プログラムのフォルダの中のフォルダではありません（リンクか、フォルダ以外のもの）。"
    "中のものには触りません。";
inline constexpr std::string_view kRecordDamagedReason = "取り消し用の記録が壊れています。";
inline constexpr std::string_view kRecordSetUnknownReason =
    "取り消し用の記録の設定セットが、セットの一覧にありません。";
inline constexpr std::string_view kRecordOtherFileReason =
    "取り消し用の記録が、この設定セットの日記・ログ・最新コピーではないファイルを指しています。";
inline constexpr std::string_view kRecordBackupNotOwnReason =
    "取り消し用の記録の中のファイルではないか、リンクか、普通のファイルではありません。";
inline constexpr std::string_view kRecordBackupChangedReason =
    "取り消し用の記録のファイルが、記録した後に変わっています。";

// A settings file that could not be written; the text follows its path.
inline constexpr std::string_view kSettingsNotWrittenText =
    "\r\nこの設定ファイルに書き込めなかったので、変更は保存されていません。";
inline constexpr std::string_view kSettingsNotWrittenCaption = "設定を保存できないよ";

// One generate at a time per program folder.
inline constexpr std::string_view kBusyText =
    "ほかで日記を書き込んでいる最中です。\r\n終わってからもう一度どうぞ。";
inline constexpr std::string_view kBusyCaption = "書き込み中だよ";
inline constexpr std::string_view kLockFailedText = "順番待ちのためのファイルを作れません。";
inline constexpr std::string_view kLockFailedCaption = "ロックできないよ？";

// The set's files.
inline constexpr std::string_view kSettingsUnreadableText = "設定ファイルが読めません。";
inline constexpr std::string_view kSettingsUnreadableCaption = "設定ファイル読めないよ？";
inline constexpr std::string_view kSetNameUnusableText =
    "この設定セットの名前はファイル名に使えないので、このセットは使えません：";
inline constexpr std::string_view kSetNameUnusableCaption = "設定ファイル名が使えません";

// The current copy.
inline constexpr std::string_view kCurrentNameUnusableText =
    "最新コピーのファイル名が使えないので、コピーは作りませんでした：";
inline constexpr std::string_view kCurrentCopyWriteText = "最新コピーを書き込めませんでした。";
inline constexpr std::string_view kCurrentCopyCaption = "コピー作れないよ？";

// The feed.
inline constexpr std::string_view kFeedNameUnusableText =
    "フィードのファイル名が使えないので、フィードは書きませんでした：";
inline constexpr std::string_view kFeedWriteText =
    "フィードを書き込めませんでした。日記には書き込みました。";
inline constexpr std::string_view kFeedCaption = "フィード書けないよ？";
inline constexpr std::string_view kFeedNotOursReason =
    "くいるめいかーが書いたフィードとして読めないので、そのまま残しました。";
inline constexpr std::string_view kFeedNotCp932Reason =
    "題名か日記にShift-JISとして正しくない文字があり、フィードにできません。";
inline constexpr std::string_view kFeedSiteReason =
    "サイトのアドレスが http:// か https:// で始まり / で終わっていません。";
inline constexpr std::string_view kFeedCountReason = "残す数は1から1000までです。";
inline constexpr std::string_view kFeedSettingsCaption = "フィード設定";

// Why a name cannot be a file name (a line of its own under the messages above).
inline constexpr std::string_view kNameEmptyReason = "名前が空です。";
inline constexpr std::string_view kNameNotCp932Reason =
    "Shift-JISとして正しくない文字が入っています。";
inline constexpr std::string_view kNameControlReason = "制御文字（タブや改行など）が入っています。";
inline constexpr std::string_view kNameSeparatorReason =
    "「/」や「\\」が入っていて、別のフォルダを指します。";
inline constexpr std::string_view kNameDotsReason = "「.」や「..」だけの名前です。";
inline constexpr std::string_view kNameBlankEdgeReason = "最初か最後に空白があります。";
inline constexpr std::string_view kNameTooLongReason = "長すぎます。";
inline constexpr std::string_view kNamePathTooLongReason =
    "フォルダのパスと合わせると長すぎて、ファイルを作れません。";
inline constexpr std::string_view kNameProgramFileReason =
    "くいるめいかー自身のファイル（QMsys.ini、設定ファイル、temp.tmp）の名前です。";
inline constexpr std::string_view kNameUserFileReason =
    "日記、日記の原型、ログ、テンプレート、最新コピー、フィードのどれかと同じファイルです。";
inline constexpr std::string_view kNameOutsideReason =
    "日記のフォルダの外のファイルを指しています。";

// A program that did not start (the upload tool, the editor): the texts of
// platform/start_texts.h.
// Only the upload tool's path can be empty.
inline constexpr std::string_view kNoUploaderText = "tavmoの場所を指定していません。";
inline constexpr std::string_view kNotSetCaption = "設定してないよ";

// Web copies of images.
inline constexpr std::string_view kImageLeftOutText =
    "この画像はページにもアップロードにも入れられませんでした。";
inline constexpr std::string_view kImageLeftOutCaption = "画像が使えないよ？";
inline constexpr std::string_view kImageUndecodableReason = "JPEG・PNG・GIFの画像として読めません";
inline constexpr std::string_view kImageNameTakenReason = "同じ名前の別の画像があります";
}  // namespace msg

}  // namespace qm
