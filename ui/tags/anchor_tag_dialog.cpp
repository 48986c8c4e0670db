#include "ui/tags/anchor_tag_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/dialog_fonts.h"
#include "ui/tags/dialog_buttons.h"

namespace qm {

std::optional<TagWrap> BuildAnchorTag(const AnchorTagFields& fields) {
    if (fields.href.isEmpty() && fields.name.isEmpty() && fields.target.isEmpty()) {
        return std::nullopt;
    }
    TagWrap wrap;
    wrap.open = QStringLiteral("<a");
    if (!fields.href.isEmpty()) wrap.open += QStringLiteral(" href=\"") + fields.href + '"';
    if (!fields.name.isEmpty()) wrap.open += QStringLiteral(" name=\"") + fields.name + '"';
    if (!fields.target.isEmpty()) wrap.open += QStringLiteral(" target=\"") + fields.target + '"';
    wrap.open += '>';
    wrap.close = QStringLiteral("</a>");
    return wrap;
}

AnchorTagDialog::AnchorTagDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("アンカー精製機"));
    setFont(DialogFont());

    href_ = new QLineEdit(this);
    href_->setObjectName(QStringLiteral("href"));
    href_->setMinimumWidth(320);

    // Any target may be typed; the list only offers the common one, kept
    // sorted, and typing neither completes from it nor adds to it.
    target_ = new QComboBox(this);
    target_->setObjectName(QStringLiteral("target"));
    target_->setEditable(true);
    target_->setInsertPolicy(QComboBox::NoInsert);
    target_->setCompleter(nullptr);
    target_->addItem(QStringLiteral("_blank"));
    target_->model()->sort(0);
    target_->setCurrentIndex(-1);
    target_->setEditText(QString());

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("name"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("href（URL）"), this), 0, 0, 1, 4);
    grid->addWidget(href_, 1, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("target"), this), 2, 0);
    grid->addWidget(target_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("name"), this), 2, 2);
    grid->addWidget(name_, 2, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(MakeOkCancelRow(*this));
}

void AnchorTagDialog::accept() {
    fields_.href = href_->text();
    fields_.target = target_->currentText();
    fields_.name = name_->text();
    QDialog::accept();
}

}  // namespace qm
