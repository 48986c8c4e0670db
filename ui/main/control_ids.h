// The main window's control ids, so that every handler can be found by the id
// of the control it serves. Each control's objectName is "id" + its number.
#pragma once

namespace qm {

inline constexpr int kIdTitle = 1000;          // entry title
inline constexpr int kIdBody = 1001;           // entry body
inline constexpr int kIdFtpSettings = 1002;    // "FTP設定"
inline constexpr int kIdPathSettings = 1003;   // "ファイルパス指定"
inline constexpr int kIdEditTemplate = 1004;   // "テンプレート編集"
inline constexpr int kIdGenerate = 1006;       // "Do It !!!"
inline constexpr int kIdManual = 1007;         // "ＱＭとりせつ"
inline constexpr int kIdUpload = 1010;         // "UPする"
inline constexpr int kIdEditTags = 1013;       // "TAG編集"
inline constexpr int kIdEditPage = 1017;       // "ＨＴＭＬ原型編集"
inline constexpr int kIdTagList = 1023;        // the user's tags
inline constexpr int kIdSetList = 1028;        // configuration sets
inline constexpr int kIdAddSet = 1029;         // "セット追加"
inline constexpr int kIdImageName = 1032;      // chosen image's file name
inline constexpr int kIdAltText = 1033;        // the image's alt text
inline constexpr int kIdBrowseImage = 1034;    // "参照"
inline constexpr int kIdEnterToBody = 1035;    // hidden default button
inline constexpr int kIdAnchorBuilder = 1041;  // "リンク"
inline constexpr int kIdFontBuilder = 1042;    // "Font"
inline constexpr int kIdImageBuilder = 1058;   // "IMAGE"
inline constexpr int kIdPreview = 1060;        // "プレビュー"

}  // namespace qm
