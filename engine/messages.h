// Every text the engine shows or writes, in UTF-8 as the source is written;
// Sjis() turns one into the code page 932 bytes that go into files and boxes.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// Converts a UTF-8 literal of this program to code page 932. The literals are
// all representable; anything else is a programming error and aborts.
std::string Sjis(std::string_view utf8);

// A message about one file: its path on the first line, then the text, so the
// user learns which file to mend.
std::string AboutFile(std::string_view cp932Path, std::string_view utf8Text);

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
inline constexpr std::string_view kSettingsReadText = "設定ファイル読めない";
inline constexpr std::string_view kSettingsReadCaption = "設定ファイル読めないよ？";

// Log page.
inline constexpr std::string_view kLogOpenText = "ログファイル開けない";
inline constexpr std::string_view kLogOpenCaption = "ログファイル開けないよ？";
inline constexpr std::string_view kLogNoMarkerText = "ログ埋め込む場所わかんない";
inline constexpr std::string_view kLogNoMarkerCaption = "ログ埋め込む場所わかんねっす。";

// Upload launch.
inline constexpr std::string_view kNotFoundSuffix = "がみつかりません。";
inline constexpr std::string_view kNotFoundCaption = "パスが違うよ";
}  // namespace msg

}  // namespace qm
