// The texts the configuration windows and the main window's commands show,
// in UTF-8 as written here.
#pragma once

#include <string_view>

namespace qm::cfgmsg {

// Message boxes without a caption of their own show the product name.
inline constexpr std::string_view kAppName = "くいるめいかー";

// File path settings.
inline constexpr std::string_view kPathCaption = "ファイルパス設定";
inline constexpr std::string_view kNeedPrototypeText = "せめて原型とテンプレートだけでも入れてよ";
inline constexpr std::string_view kNeedPrototypeCaption = "これじゃ日記かけないポヨ";
inline constexpr std::string_view kPathNotCp932Text =
    "%1\nこのパスにはShift-JISで表せない文字が入っているので設定できません。";
inline constexpr std::string_view kPathNotCp932Caption = "パスが使えないよ";

// Current-copy name.
inline constexpr std::string_view kCurrentNameCaption = "diary-current.htmlファイル名変更";
inline constexpr std::string_view kCurrentNameExplanation =
    "常に最新の日記のコピーとなるファイルの名前を変更します。\n標準はdiary-current.htmlです。";
inline constexpr std::string_view kNameTooLongText =
    "このファイル名長すぎない？\nもうちょっと短くしようよ";
inline constexpr std::string_view kNoInputText = "入力なかったから変更しないね";
inline constexpr std::string_view kNameNotCp932Text =
    "%1\nこのファイル名にはShift-JISで表せない文字が入っています。\n別の名前にしようよ";
inline constexpr std::string_view kCurrentNameRefusedText =
    "このファイル名は使えません。\n%1\n別の名前にしようよ";

// Log title format.
inline constexpr std::string_view kLogFormatCaption = "ログ書式変更";
inline constexpr std::string_view kLogDefaultTitle = "*m月*d日以降の日記";
inline constexpr std::string_view kTokenHeading = "差し替え可能な文字列は以下の通りです";
inline constexpr std::string_view kTokenList =
    "西暦（2XXX）\t*Y\t西暦（XX）\t\t*y\r\n月の正式名(January)\t*B\t月の省略形(Jan)\t*b\r\n10 "
    "進数で表す月(1)\t*m\t漢字で表す月(一)\t*k\r\n漢字で表す月(壱)\t*K\t雅名で表す月(睦月)\t*g\r\n"
    "月の日付(01～31) \t*d\t漢字で表す日(一)\t*n\r\n漢字で表す日(壱)\t*N\t月の前半、後半\t*S\r\n"
    "文字としての*\t**";
inline constexpr std::string_view kTokenExample = "（例）　*m月*d日以降の日記　⇒　1月1日以降の日記";

// Set manager.
inline constexpr std::string_view kSetManagerCaption = "設定ファイル編集";
inline constexpr std::string_view kFirstSetExplanation =
    "新規設定ファイルを作成します。\nわかりやすい設定ファイル名で新規作成してください。\n"
    "よくわからない方はとりせつをご覧ください。\nＨＴＭＬ番のほうがわかりやすいと思います。";
inline constexpr std::string_view kProposedSetName = "マイだいありぃ";
inline constexpr std::string_view kDefaultCurrentName = "diary-current.html";
inline constexpr std::string_view kNoSetText = "１つは設定ファイルを作ってくださいね";
inline constexpr std::string_view kFromExampleButton = "見本の日記ではじめる";
inline constexpr std::string_view kExampleCaption = "見本の日記";
inline constexpr std::string_view kExampleMissingFormat = "見本の日記の%1がみつかりません。";
inline constexpr std::string_view kExampleExistsFormat =
    "%1がもうあるので、見本の日記はコピーしませんでした。";
inline constexpr std::string_view kExampleNotCopiedFormat =
    "%1に書き込めなかったので、見本の日記はコピーしませんでした。";
inline constexpr std::string_view kNoSetCaption = "設定ファイルないよ";
inline constexpr std::string_view kReservedText = "そのファイル名は勘弁してください（´Д｀；）";
inline constexpr std::string_view kReservedCaption = "システム設定ファイル名重複";
inline constexpr std::string_view kDuplicateText = "すでに同名の設定ファイルがあります";
inline constexpr std::string_view kDuplicateCaption = "設定ファイル名重複";
inline constexpr std::string_view kBadSetNameCaption = "設定ファイル名が使えません";
// %1 the typed name, %2 why it cannot name a file (the engine's reasons).
inline constexpr std::string_view kBadSetNameFormat = "%1\n%2\n別の名前にしてください。";
inline constexpr std::string_view kNotTrashedFormat =
    "%1\nをごみ箱に移せなかったので、そのまま残してあります。";
inline constexpr std::string_view kNotTrashedCaption = "ごみ箱に移せないよ";
inline constexpr std::string_view kTrashedFormat =
    "%1\nをごみ箱に移しました。元に戻すときは、次のファイルを元の場所に戻してください。\n%2";
inline constexpr std::string_view kTrashedCaption = "ごみ箱に移したよ";

// Manuals.
inline constexpr std::string_view kTextManualButton = "TEXT版とりせつを見る。";
inline constexpr std::string_view kHtmlManualButton = "HTML版とりせつを見る";
inline constexpr std::string_view kNoHtmlManualText = "すいません、TEXT版見てください";
inline constexpr std::string_view kNoHtmlManualCaption = "HTML版見れない";

// Main window commands.
inline constexpr std::string_view kNoFileToEditText = "開くファイルが設定されていません。";
inline constexpr std::string_view kImageNotCp932Text =
    "%1\nこの画像のパスにはShift-JISで表せない文字が入っているので使えません。";
inline constexpr std::string_view kImageNotCp932Caption = "画像が使えないよ";

}  // namespace qm::cfgmsg
