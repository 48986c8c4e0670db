#include "ui/tags/image_tag_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/encoding.h"
#include "platform/path_text.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/common/web_image_summary.h"
#include "ui/tags/dialog_buttons.h"

namespace qm {

namespace {

QLineEdit* MakeEdit(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QCheckBox* MakePercentBox(const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(QStringLiteral("%"), parent);
    box->setObjectName(name);
    return box;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

QString Attribute(const char* name, const QString& value, bool percent = false) {
    QString text = QStringLiteral(" ") + QLatin1String(name) + QStringLiteral("=\"") + value;
    if (percent) text += '%';
    return text + '"';
}

}  // namespace

std::string ImageSourceName(std::string_view cp932Path) {
    std::string name = FileNamePart(cp932Path);
    // "C:a.jpg": a drive without a folder still is no part of the name.
    if (!HasSeparator(cp932Path) && name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == ':') {
        name.erase(0, 2);
    }
    return name;
}

std::optional<QString> BuildImageTag(const ImageTagFields& fields) {
    if (fields.path.empty() && fields.alt.isEmpty() && fields.width.isEmpty() &&
        fields.height.isEmpty() && fields.hspace.isEmpty() && fields.vspace.isEmpty() &&
        fields.border.isEmpty()) {
        return std::nullopt;
    }
    QString tag = QStringLiteral("<img");
    if (!fields.path.empty()) {
        tag += Attribute("src", FromCp932(fields.webImage ? fields.webImage->src
                                                          : ImageSourceName(fields.path)));
    }
    if (!fields.alt.isEmpty()) tag += Attribute("alt", fields.alt);
    if (!fields.height.isEmpty()) tag += Attribute("height", fields.height, fields.heightPercent);
    if (!fields.width.isEmpty()) tag += Attribute("width", fields.width, fields.widthPercent);
    if (!fields.hspace.isEmpty()) tag += Attribute("hspace", fields.hspace);
    if (!fields.vspace.isEmpty()) tag += Attribute("vspace", fields.vspace);
    if (!fields.border.isEmpty()) tag += Attribute("border", fields.border);
    return tag + '>';
}

QString ImageTagDialog::FileFilter() {
    // Upper-case patterns too: this file system, unlike the one the names
    // come from, tells "A.JPG" from "a.jpg".
    return QStringLiteral(
        "imagefiles(*.jpg)(*.jpeg)(*.png)(*.gif) "
        "(*.jpg *.jpeg *.png *.gif *.JPG *.JPEG *.PNG *.GIF);;"
        "すべてのファイル(*.*) (*)");
}

ImageTagDialog::ImageTagDialog(Interaction& io, QString startFolder, WebImagePreparer prepare,
                               QWidget* parent)
    : QDialog(parent), io_(io), startFolder_(std::move(startFolder)), prepare_(std::move(prepare)) {
    setWindowTitle(QStringLiteral("IMGタブ精製機"));
    setFont(DialogFont());

    // Made in the order the dialog reads, which is the order Tab visits them.
    path_ = MakeEdit(QStringLiteral("path"), this);
    path_->setMinimumWidth(280);
    auto* browse = new QPushButton(QStringLiteral("参照"), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    copyInfo_ = new QLabel(this);
    copyInfo_->setObjectName(QStringLiteral("copyInfo"));
    alt_ = MakeEdit(QStringLiteral("alt"), this);
    width_ = MakeEdit(QStringLiteral("width"), this);
    widthPercent_ = MakePercentBox(QStringLiteral("widthPercent"), this);
    height_ = MakeEdit(QStringLiteral("height"), this);
    heightPercent_ = MakePercentBox(QStringLiteral("heightPercent"), this);
    vspace_ = MakeEdit(QStringLiteral("vspace"), this);
    hspace_ = MakeEdit(QStringLiteral("hspace"), this);
    border_ = MakeEdit(QStringLiteral("border"), this);

    auto* positionBox = new QGroupBox(QStringLiteral("位置"), this);
    positionBox->setObjectName(QStringLiteral("positionGroup"));
    // The position is offered but takes no part in the tag.
    auto* position = new QButtonGroup(this);
    auto* positionLayout = new QGridLayout(positionBox);
    const QStringList positions = {QStringLiteral(" "),      QStringLiteral("top"),
                                   QStringLiteral("middle"), QStringLiteral("bottom"),
                                   QStringLiteral("left"),   QStringLiteral("right")};
    for (int i = 0; i < positions.size(); ++i) {
        auto* radio = new QRadioButton(positions[i], positionBox);
        radio->setObjectName(QStringLiteral("position%1").arg(i));
        position->addButton(radio, i);
        positionLayout->addWidget(radio, i / 3, i % 3);
    }

    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("画像ファイル名"), this), row, 0);
    grid->addWidget(path_, row, 1, 1, 3);
    grid->addWidget(browse, row++, 4);
    grid->addWidget(copyInfo_, row++, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("代わりに表示する文字（ALT）"), this), row, 0);
    grid->addWidget(alt_, row++, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("画像の幅、高さ"), this), row, 0);
    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(width_);
    widthRow->addWidget(widthPercent_);
    grid->addLayout(widthRow, row, 1, 1, 2);
    auto* heightRow = new QHBoxLayout;
    heightRow->addWidget(height_);
    heightRow->addWidget(heightPercent_);
    grid->addLayout(heightRow, row++, 3, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("テキストとの感覚縦、横"), this), row, 0);
    grid->addWidget(vspace_, row, 1, 1, 2);
    grid->addWidget(hspace_, row++, 3, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("枠線の幅"), this), row, 0);
    grid->addWidget(border_, row++, 1, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(positionBox);
    layout->addLayout(MakeOkCancelRow(*this));

    connect(browse, &QPushButton::clicked, this, &ImageTagDialog::Browse);
    connect(path_, &QLineEdit::editingFinished, this, [this] {
        if (const auto path = Utf8ToCp932(path_->text().toStdString()); path && !path->empty())
            PrepareCopy(*path, /*quiet=*/true);
    });
}

bool ImageTagDialog::PrepareCopy(const std::string& path, bool quiet) {
    if (copy_ && copy_->original == path) return true;
    const std::optional<WebImage> previous = std::move(copy_);
    std::string problem;
    copy_ = prepare_(path, problem);
    copyInfo_->setText(copy_ ? WebImageSummary(*copy_) : FromCp932(problem));
    if (!copy_) {
        if (!quiet) io_.Message(this, FromCp932(problem), windowTitle());
        return false;
    }
    // The copy's size goes where the box is empty or still holds the last copy's.
    const auto fill = [](QLineEdit* box, int was, int now) {
        if (now > 0 && (box->text().isEmpty() || box->text() == QString::number(was)))
            box->setText(QString::number(now));
    };
    fill(width_, previous ? previous->width : 0, copy_->width);
    fill(height_, previous ? previous->height : 0, copy_->height);
    return true;
}

void ImageTagDialog::accept() {
    const std::optional<std::string> path = Utf8ToCp932(path_->text().toStdString());
    if (!path) {
        // The path goes to the upload tool as it is; a path turned into
        // references or question marks would name another file.
        io_.Message(
            this,
            path_->text() + QStringLiteral("\n画像ファイル名にShift-JISで表せない文字があります。"),
            windowTitle());
        return;
    }
    if (!path->empty() && !PrepareCopy(*path, /*quiet=*/false)) return;
    fields_.path = *path;
    fields_.webImage = path->empty() ? std::nullopt : copy_;
    fields_.alt = alt_->text();
    fields_.width = width_->text();
    fields_.height = height_->text();
    fields_.hspace = hspace_->text();
    fields_.vspace = vspace_->text();
    fields_.border = border_->text();
    fields_.widthPercent = widthPercent_->isChecked();
    fields_.heightPercent = heightPercent_->isChecked();
    QDialog::accept();
}

void ImageTagDialog::Browse() {
    const std::optional<QString> chosen =
        io_.OpenFileName(this, QString(), startFolder_, FileFilter());
    if (!chosen) return;
    path_->setText(*chosen);
    if (const auto path = Utf8ToCp932(chosen->toStdString())) PrepareCopy(*path, /*quiet=*/true);
}

}  // namespace qm
