// "Fontタグ精製機": size, colour, face and the four styles of a font tag.
#pragma once

#include <QColor>
#include <QDialog>
#include <QStringList>

#include "ui/tags/tag_builders.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace qm {

class Interaction;

// What the dialog read when OK was pressed; texts already cut to the sizes
// the tag allows (size 7 bytes, colour and face 31 bytes of code page 932).
struct FontTagFields {
    QString size;
    QString color;
    QString face;
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool underline = false;
};

inline constexpr std::size_t kFontSizeBytes = 7;
inline constexpr std::size_t kFontColorBytes = 31;
inline constexpr std::size_t kFontFaceBytes = 31;

// The font element outermost, then s, u, b, i; closed in reverse order.
TagWrap BuildFontTag(const FontTagFields& fields);

// "#RRGGBB" with upper-case hexadecimal digits.
QString ColorText(const QColor& color);

class FontTagDialog : public QDialog {
    Q_OBJECT

  public:
    explicit FontTagDialog(Interaction& io, QWidget* parent = nullptr);

    static const QStringList& SizeItems();
    static const QStringList& ColorItems();

    // Valid after OK.
    const FontTagFields& Fields() const { return fields_; }

    // OK: reads the fields, then closes.
    void accept() override;

    void ChooseColor();
    void ChooseFont();

  private:
    Interaction& io_;
    QComboBox* size_;
    QComboBox* color_;
    QLineEdit* face_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* strikeOut_;
    QCheckBox* underline_;
    FontTagFields fields_;
};

}  // namespace qm
