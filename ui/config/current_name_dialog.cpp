#include "ui/config/current_name_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/current_copy.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/common/settings_report.h"
#include "ui/config/config_messages.h"

namespace qm {

CurrentNameDialog::CurrentNameDialog(const ActiveConfig& config, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Ui(cfgmsg::kCurrentNameCaption));
    setFont(DialogFont());
    auto* explanation = new QLabel(Ui(cfgmsg::kCurrentNameExplanation), this);
    auto* currentBox = new QLineEdit(FromCp932(config.currentName), this);
    currentBox->setObjectName("id1081");
    currentBox->setReadOnly(true);
    newNameBox_ = new QLineEdit(newName_, this);
    newNameBox_->setObjectName("id1082");
    auto* cancel = new QPushButton(Ui("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName("id2");
    cancel->setAutoDefault(false);
    auto* ok = new QPushButton(Ui("OK"), this);
    ok->setObjectName("id1");
    ok->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &CurrentNameDialog::accept);

    auto* names = new QGridLayout;
    names->addWidget(new QLabel(Ui("現在の名前"), this), 0, 0);
    names->addWidget(currentBox, 0, 1);
    names->addWidget(new QLabel(Ui("変更後の名前"), this), 1, 0);
    names->addWidget(newNameBox_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(names);
    layout->addLayout(buttons);
    newNameBox_->setFocus();
}

void CurrentNameDialog::accept() {
    newName_ = newNameBox_->text();
    QDialog::accept();
}

bool RenameCurrentCopy(QWidget* parent, ActiveConfig& config, Interaction& io) {
    const QString caption = Ui(cfgmsg::kAppName);
    for (;;) {
        CurrentNameDialog dialog(config, parent);
        if (io.RunDialog(dialog) != QDialog::Accepted) return false;
        const auto name = TryToCp932(dialog.newName());
        if (!name) {
            io.Message(parent, Ui(cfgmsg::kNameNotCp932Text).arg(dialog.newName()), caption);
            continue;
        }
        if (name->size() > kMaxCurrentNameBytes) {
            io.Message(parent, Ui(cfgmsg::kNameTooLongText), caption);
            continue;
        }
        if (name->empty()) {
            io.Message(parent, Ui(cfgmsg::kNoInputText), caption);
            return false;
        }
        // Only a plain file name in the diary folder that is no one else's file.
        const CurrentNameCheck check = CheckCurrentName(config, *name);
        if (!check.usable()) {
            io.Message(parent,
                       Ui(cfgmsg::kCurrentNameRefusedText).arg(Ui(CurrentNameReason(check))),
                       caption);
            continue;
        }
        config.currentName = *name;
        ReportIfNotWritten(
            WriteKey(config.configIniPath, setkeys::kCurrentName, config.currentName),
            config.configIniPath, parent, io);
        return true;
    }
}

}  // namespace qm
