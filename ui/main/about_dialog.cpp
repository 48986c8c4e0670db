#include "ui/main/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/common/dialog_fonts.h"

#ifndef QM_VERSION_TEXT
#define QM_VERSION_TEXT "0.0.0"
#endif

namespace qm {

QString ProgramVersion() { return QStringLiteral(QM_VERSION_TEXT); }

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quillmaker のバージョン情報"));
    setFont(DialogFont());
    setObjectName(QStringLiteral("aboutDialog"));

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icon/quillmaker-32.png")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(
        QStringLiteral("くいるめいかー (Quillmaker) Version %1").arg(ProgramVersion()), this);
    name->setObjectName(QStringLiteral("aboutName"));
    auto* purpose = new QLabel(
        QStringLiteral("題名と本文を書いて「Do It !!!」を押すと、テンプレートで日記に仕立てて\n"
                       "手作りの日記ページのいちばん上に書き込みます。"),
        this);
    purpose->setObjectName(QStringLiteral("aboutPurpose"));

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(purpose);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace qm
