#include "ui/tags/font_tag_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/tags/dialog_buttons.h"

namespace qm {

namespace {

// An editable drop-down that keeps its list exactly as filled: typing neither
// completes from the list nor adds to it, and nothing starts selected.
QComboBox* MakeFreeTextCombo(const QStringList& items, const QString& name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    return combo;
}

QCheckBox* MakeStyleBox(const QString& caption, const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

bool IsBlack(const QColor& color) {
    return color.red() == 0 && color.green() == 0 && color.blue() == 0;
}

}  // namespace

TagWrap BuildFontTag(const FontTagFields& fields) {
    TagWrap wrap;
    const bool hasFont =
        !fields.size.isEmpty() || !fields.color.isEmpty() || !fields.face.isEmpty();
    if (hasFont) {
        wrap.open += QStringLiteral("<font");
        if (!fields.size.isEmpty()) wrap.open += QStringLiteral(" size=\"") + fields.size + '"';
        if (!fields.color.isEmpty()) wrap.open += QStringLiteral(" color=\"") + fields.color + '"';
        if (!fields.face.isEmpty()) wrap.open += QStringLiteral(" face=\"") + fields.face + '"';
        wrap.open += '>';
    }
    if (fields.strikeOut) wrap.open += QStringLiteral("<s>");
    if (fields.underline) wrap.open += QStringLiteral("<u>");
    if (fields.bold) wrap.open += QStringLiteral("<b>");
    if (fields.italic) wrap.open += QStringLiteral("<i>");

    if (fields.italic) wrap.close += QStringLiteral("</i>");
    if (fields.bold) wrap.close += QStringLiteral("</b>");
    if (fields.underline) wrap.close += QStringLiteral("</u>");
    if (fields.strikeOut) wrap.close += QStringLiteral("</s>");
    if (hasFont) wrap.close += QStringLiteral("</font>");
    return wrap;
}

QString ColorText(const QColor& color) {
    return QStringLiteral("#%1%2%3")
        .arg(color.red(), 2, 16, QLatin1Char('0'))
        .arg(color.green(), 2, 16, QLatin1Char('0'))
        .arg(color.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

const QStringList& FontTagDialog::SizeItems() {
    static const QStringList items = {"1",  "2",  "3",  "4",  "5",  "6",  "7",  "+1", "+2", "+3",
                                      "+4", "+5", "+6", "-1", "-2", "-3", "-4", "-5", "-6"};
    return items;
}

const QStringList& FontTagDialog::ColorItems() {
    static const QStringList items = {
        "red",       "green",      "blue",         "black",     "gray",         "white",
        "brown",     "yellow",     "orange",       "pink",      "violet",       "gold",
        "silver",    "aliceblue",  "antiquewhite", "aqua",      "aquamarine",   "azure",
        "beige",     "crimson",    "floralwhite",  "ivory",     "lavender",     "lightblue",
        "lightcyan", "lightgreen", "lightgrey",    "lightpink", "lightskyblue", "olive",
        "plum",      "snow",       "steelblue"};
    return items;
}

FontTagDialog::FontTagDialog(Interaction& io, QWidget* parent) : QDialog(parent), io_(io) {
    setWindowTitle(QStringLiteral("Fontタグ精製機"));
    setFont(DialogFont());

    // Made in the order the dialog reads, which is the order Tab visits them.
    size_ = MakeFreeTextCombo(SizeItems(), QStringLiteral("fontSize"), this);
    color_ = MakeFreeTextCombo(ColorItems(), QStringLiteral("fontColor"), this);
    auto* chooseColor = new QPushButton(QStringLiteral("色選択"), this);
    chooseColor->setObjectName(QStringLiteral("chooseColor"));
    chooseColor->setAutoDefault(false);
    face_ = new QLineEdit(this);
    face_->setObjectName(QStringLiteral("fontFace"));
    auto* chooseFont = new QPushButton(QStringLiteral("フォント選択"), this);
    chooseFont->setObjectName(QStringLiteral("chooseFont"));
    chooseFont->setAutoDefault(false);

    bold_ = MakeStyleBox(QStringLiteral("Bold"), QStringLiteral("bold"), this);
    italic_ = MakeStyleBox(QStringLiteral("Italic"), QStringLiteral("italic"), this);
    strikeOut_ = MakeStyleBox(QStringLiteral("StrikeOut"), QStringLiteral("strikeOut"), this);
    underline_ = MakeStyleBox(QStringLiteral("Underline"), QStringLiteral("underline"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("FontSize"), this), 0, 0);
    grid->addWidget(size_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("FontColor"), this), 1, 0);
    grid->addWidget(color_, 1, 1);
    grid->addWidget(chooseColor, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("FontFace"), this), 2, 0);
    grid->addWidget(face_, 2, 1);
    grid->addWidget(chooseFont, 2, 2);

    auto* styles = new QHBoxLayout;
    for (QCheckBox* box : {bold_, italic_, strikeOut_, underline_}) styles->addWidget(box);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(styles);
    layout->addLayout(MakeOkCancelRow(*this));

    connect(chooseColor, &QPushButton::clicked, this, &FontTagDialog::ChooseColor);
    connect(chooseFont, &QPushButton::clicked, this, &FontTagDialog::ChooseFont);
}

void FontTagDialog::accept() {
    fields_.size = CutToCp932Bytes(size_->currentText(), kFontSizeBytes);
    fields_.color = CutToCp932Bytes(color_->currentText(), kFontColorBytes);
    fields_.face = CutToCp932Bytes(face_->text(), kFontFaceBytes);
    fields_.bold = bold_->isChecked();
    fields_.italic = italic_->isChecked();
    fields_.strikeOut = strikeOut_->isChecked();
    fields_.underline = underline_->isChecked();
    QDialog::accept();
}

void FontTagDialog::ChooseColor() {
    // Every use starts from black; the box's current text is not parsed.
    const std::optional<QColor> chosen = io_.ChooseColor(this, QColor(0, 0, 0));
    if (!chosen) return;
    color_->setEditText(ColorText(*chosen));
}

void FontTagDialog::ChooseFont() {
    // The chooser starts from the default font, not from the face box.
    const std::optional<Interaction::FontChoice> chosen = io_.ChooseFont(this, QFont());
    if (!chosen) return;
    const QFont& font = chosen->font;
    face_->setText(CutToCp932Bytes(font.family(), kFontFaceBytes));
    bold_->setChecked(font.weight() >= QFont::Bold);
    italic_->setChecked(font.italic());
    strikeOut_->setChecked(font.strikeOut());
    underline_->setChecked(font.underline());
    // Black is what the chooser offers when no colour was picked, so it
    // never overwrites a colour typed or chosen before.
    if (!IsBlack(chosen->color)) color_->setEditText(ColorText(chosen->color));
}

}  // namespace qm
