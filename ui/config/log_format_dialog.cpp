#include "ui/config/log_format_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/encoding.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/settings_report.h"
#include "ui/config/config_messages.h"

namespace qm {

LogFormatDialog::LogFormatDialog(ActiveConfig& config, Interaction& io, QWidget* parent)
    : QDialog(parent), config_(config), io_(io) {
    setWindowTitle(Ui(cfgmsg::kLogFormatCaption));
    setFont(DialogFont());
    pattern_ = new QLineEdit(this);
    pattern_->setObjectName("id1038");
    // Description and token side by side, two pairs a row, each in its own column.
    auto* tokens = new QWidget(this);
    tokens->setObjectName("id1040");
    auto* grid = new QGridLayout(tokens);
    grid->setHorizontalSpacing(12);
    const QStringList rows = Ui(cfgmsg::kTokenList).split(QStringLiteral("\r\n"));
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList cells = rows[row].split(QChar('\t'), Qt::SkipEmptyParts);
        for (int column = 0; column < cells.size(); ++column) {
            auto* cell = new QLabel(cells[column].trimmed(), tokens);
            cell->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(cell, row, column);
        }
    }
    auto* example = new QLabel(Ui(cfgmsg::kTokenExample), this);
    example->setAlignment(Qt::AlignCenter);
    auto* reset = new QPushButton(Ui("リセット"), this);
    reset->setObjectName("id1039");
    reset->setAutoDefault(false);
    auto* ok = new QPushButton(Ui("OK"), this);
    ok->setObjectName("id1");
    ok->setDefault(true);
    connect(reset, &QPushButton::clicked, this, &LogFormatDialog::Reset);
    connect(ok, &QPushButton::clicked, this, &LogFormatDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pattern_);
    layout->addWidget(new QLabel(Ui(cfgmsg::kTokenHeading), this));
    layout->addWidget(tokens);
    layout->addWidget(example);
    layout->addLayout(buttons);

    stored_ = ReadKey(config_.systemIniPath, syskeys::kLogTitle);
    pattern_->setText(FromCp932(stored_));
}

void LogFormatDialog::Reset() { pattern_->setText(Ui(cfgmsg::kLogDefaultTitle)); }

void LogFormatDialog::accept() {
    // The pattern becomes HTML link text, so a character Shift-JIS lacks is
    // kept as a character reference instead of being lost.
    std::string pattern = FieldTextToCp932(pattern_->text(), stored_);
    pattern.resize(Cp932PrefixLength(pattern, syskeys::kLogTitle.capacity - 1));
    if (!ReportIfNotWritten(WriteKey(config_.systemIniPath, syskeys::kLogTitle, pattern),
                            config_.systemIniPath, this, io_)) {
        return;
    }
    config_.logTitle = pattern;
    QDialog::accept();
}

}  // namespace qm
