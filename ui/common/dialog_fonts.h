// The fonts of the program's windows and the dialog units measured in them.
#pragma once

#include <QFont>
#include <QRect>

namespace qm {

// The main window: "ＭＳ ゴシック" 10 pt, or the nearest fixed-pitch Japanese font.
QFont MainWindowFont();

// Every other dialog: "ＭＳ Ｐゴシック" 9 pt, or the nearest proportional one.
QFont DialogFont();

// Dialog units of a font: a quarter of its average character width across,
// an eighth of its height down, as dialog layouts are written in.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;

    int baseWidth() const { return baseWidth_; }
    int baseHeight() const { return baseHeight_; }

  private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace qm
