// Where the main window's controls sit: first in dialog units of the window's
// font (the layout as drawn), then in pixels as the window grows or shrinks.
#pragma once

namespace qm::layout {

struct Placement {
    int x, y, width, height;
};

// The window's client size before the stored size is applied.
inline constexpr Placement kInitialClient{0, 0, 318, 286};

// The layout as drawn, in dialog units.
inline constexpr Placement kTitle{21, 0, 237, 13};
inline constexpr Placement kBrowseImage{126, 15, 21, 12};
inline constexpr Placement kAltText{162, 15, 96, 12};
inline constexpr Placement kImageName{42, 15, 87, 12};
inline constexpr Placement kBody{0, 27, 258, 231};
inline constexpr Placement kGenerate{255, 262, 63, 24};
inline constexpr Placement kAnchorBuilder{260, 24, 58, 12};
inline constexpr Placement kImageBuilder{260, 36, 58, 12};
inline constexpr Placement kFontBuilder{260, 48, 58, 12};
inline constexpr Placement kUpload{0, 261, 36, 12};
inline constexpr Placement kFtpSettings{0, 274, 36, 12};
inline constexpr Placement kPathSettings{39, 274, 72, 12};
inline constexpr Placement kAddSet{112, 262, 42, 12};
inline constexpr Placement kEditPage{177, 261, 69, 12};
inline constexpr Placement kEditTemplate{177, 274, 69, 12};
inline constexpr Placement kEditTags{260, 12, 58, 12};
inline constexpr Placement kManual{260, 0, 58, 12};
inline constexpr Placement kSetList{39, 261, 72, 12};
inline constexpr Placement kTagList{260, 60, 58, 189};
// "プレビュー": the last of the right column, between the tag list and "Do It !!!".
inline constexpr Placement kPreview{260, 249, 58, 12};
inline constexpr Placement kTitleLabel{0, 0, 18, 12};
inline constexpr Placement kBodyLabel{0, 15, 18, 12};
inline constexpr Placement kImageLabel{21, 15, 18, 12};
inline constexpr Placement kAltLabel{147, 15, 15, 12};
inline constexpr Placement kEnterToBody{112, 274, 54, 12};

// The layout after a resize, in pixels of the client area.
// Right column: five buttons of one height, the tag list, and the preview
// button, as high as the others, right above "Do It !!!".
inline constexpr int kRightColumnButtons = 5;
inline constexpr int kRightColumnGap = 1;  // between the body and the column
inline constexpr int kTagListBottomGap = 40;
// "Do It !!!" in the bottom right corner.
inline constexpr int kGenerateWidth = 110;
inline constexpr int kGenerateHeight = 39;
inline constexpr int kGenerateBottomGap = 40;
// The two editor buttons, left of "Do It !!!".
inline constexpr int kEditButtonsRightGap = 120;
// Bottom left block, two rows of controls side by side.
inline constexpr int kBottomBlockGap = 3;
// The title box and the alt text box keep their left edges; the body starts
// below the image row.
inline constexpr int kTitleLeft = 40;
inline constexpr int kAltTextLeft = 288;
inline constexpr int kAltTextTop = 24;
inline constexpr int kBodyTop = 44;

}  // namespace qm::layout
