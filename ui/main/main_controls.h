// The main window's controls, declared once: id, kind, text, placement as
// drawn, place in the tab walk, how the control follows a resize, and the
// command a click runs. Creation, layout and tab order all read this table.
// Each control's objectName is "id" + its number.
#pragma once

#include <span>

#include "ui/main/main_layout.h"

namespace qm {

class MainDialog;

// The ids the window's code names; a control nobody names by id needs none.
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

enum class ControlKind {
    Line,  // one-line text box
    Text,  // the body
    Button,
    FlatButton,     // framed only while it has the focus
    DefaultButton,  // hidden; takes Enter
    CheckBox,
    DropList,  // the set list
    List,      // the tag list
    Label,
};

// Where a control goes as the window is resized, in pixels of the client area.
enum class Dock {
    Stays,       // where it was drawn
    RightStack,  // right column, `row` buttons from the top
    RightFill,   // the rest of the right column, down to the foot
    RightFoot,   // right column, right above "Do It !!!"'s row
    Corner,      // bottom right
    Editors,     // left of the corner, `row` rows from the bottom
    BottomLeft,  // bottom left block, `column` from the left, `row` from the bottom
    Widen,       // keeps its corner as drawn; as wide as the right column allows
    Grow,        // as Widen, and as high as the bottom block allows
};

struct Resize {
    Dock dock = Dock::Stays;
    int column = 0;
    int row = 0;
};

struct ControlSpec {
    int id;  // 0 for a label
    ControlKind kind;
    const char* text;      // UTF-8
    layout::Placement at;  // in dialog units of the window's font
    int tab;               // place in the tab walk, from 1; 0 keeps it out
    Resize resize;
    void (*command)(MainDialog&);  // run by a click; nullptr when the window handles it
};

// In creation order: later controls lie above earlier ones.
std::span<const ControlSpec> MainControls();

}  // namespace qm
