// Where the main window's controls sit: first in dialog units of the window's
// font (the layout as drawn, in main_controls.cpp), then in pixels as the
// window grows or shrinks.
#pragma once

namespace qm::layout {

struct Placement {
    int x, y, width, height;
};

// The window's client size before the stored size is applied.
inline constexpr Placement kInitialClient{0, 0, 318, 286};

// The layout after a resize, in pixels of the client area.
inline constexpr int kRightColumnGap = 1;  // between the body and the right column
// The right column's foot sits this far above the bottom edge.
inline constexpr int kTagListBottomGap = 40;
// "Do It !!!" in the bottom right corner.
inline constexpr int kGenerateWidth = 110;
inline constexpr int kGenerateHeight = 39;
inline constexpr int kGenerateBottomGap = 40;
// The two editor buttons, left of "Do It !!!".
inline constexpr int kEditButtonsRightGap = 120;
// Bottom left block, two rows of controls side by side.
inline constexpr int kBottomBlockGap = 3;

}  // namespace qm::layout
