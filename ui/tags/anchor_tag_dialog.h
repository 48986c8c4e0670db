// "アンカー精製機": the href, target and name of a link.
#pragma once

#include <QDialog>
#include <optional>

#include "ui/tags/tag_builders.h"

class QComboBox;
class QLineEdit;

namespace qm {

// The full texts of the three boxes when OK was pressed.
struct AnchorTagFields {
    QString href;
    QString target;
    QString name;
};

// std::nullopt when all three are empty: then nothing goes into the body.
// Attributes in the order href, name, target.
std::optional<TagWrap> BuildAnchorTag(const AnchorTagFields& fields);

class AnchorTagDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AnchorTagDialog(QWidget* parent = nullptr);

    // Valid after OK.
    const AnchorTagFields& Fields() const { return fields_; }

    // OK: takes the three texts, then closes.
    void accept() override;

  private:
    QLineEdit* href_;
    QComboBox* target_;
    QLineEdit* name_;
    AnchorTagFields fields_;
};

}  // namespace qm
