#include "ui/config/web_image_settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/web_images.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/common/settings_report.h"

namespace qm {

namespace {

constexpr const char* kCaption = "画像の設定";

QSpinBox* MakeNumber(const char* id, int low, int high, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(id);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

}  // namespace

WebImageSettingsDialog::WebImageSettingsDialog(ActiveConfig& config, Interaction& io,
                                               QWidget* parent)
    : QDialog(parent), config_(config), io_(io) {
    setWindowTitle(Ui(kCaption));
    setFont(DialogFont());
    const WebImageSettings now = WebImageSettingsOf(config_);
    copies_ =
        new QCheckBox(Ui("Web用の写しを images フォルダに作る（位置情報などを消します）"), this);
    copies_->setObjectName("webCopies");
    copies_->setChecked(now.enabled);
    longestSide_ = MakeNumber("longestSide", 16, 20000, now.longestSide, this);
    quality_ = MakeNumber("quality", 1, 100, now.quality, this);
    auto* form = new QFormLayout;
    form->addRow(copies_);
    form->addRow(Ui("長い辺の最大（ピクセル）"), longestSide_);
    form->addRow(Ui("JPEGの画質"), quality_);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(Ui("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("id1");
    ok->setDefault(true);
    buttons->addButton(Ui("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName("id2");
    connect(buttons, &QDialogButtonBox::accepted, this, &WebImageSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WebImageSettingsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void WebImageSettingsDialog::accept() {
    // Every key is tried, so one that fails leaves the others written.
    const bool copies = WriteKey(config_.configIniPath, imagekeys::kCopy, copies_->isChecked());
    const bool side =
        WriteKey(config_.configIniPath, imagekeys::kLongestSide, longestSide_->value());
    const bool quality = WriteKey(config_.configIniPath, imagekeys::kQuality, quality_->value());
    if (!ReportIfNotWritten(copies && side && quality, config_.configIniPath, this, io_)) return;
    config_.webCopies = copies_->isChecked();
    config_.imageLongestSide = longestSide_->value();
    config_.imageQuality = quality_->value();
    QDialog::accept();
}

}  // namespace qm
