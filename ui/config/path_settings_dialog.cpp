#include "ui/config/path_settings_dialog.h"

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

#include "engine/diary_page.h"
#include "engine/split_mode.h"
#include "platform/native_path.h"
#include "platform/path_text.h"
#include "settings/active_config.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/common/settings_report.h"
#include "ui/config/config_messages.h"
#include "ui/config/current_name_dialog.h"
#include "ui/config/feed_settings_dialog.h"
#include "ui/config/log_format_dialog.h"
#include "ui/config/web_image_settings_dialog.h"

namespace qm {

namespace {

// The choosers' filters, in the order the user sees them. "All files" is "*":
// on this system "*.*" would hide every name without a dot.
constexpr std::string_view kPageFilter =
    "ＨＴＭＬファイル(*.html) (*.html *.htm);;テキストファイル(*.txt) (*.txt);;"
    "すべてのファイル(*.*) (*)";
constexpr std::string_view kTemplateFilter =
    "テキストファイル(*.txt) (*.txt);;ＨＴＭＬファイル(*.html) (*.html *.htm);;"
    "すべてのファイル(*.*) (*)";
constexpr std::string_view kProgramFilter =
    "実行ファイル(*.exe) (*.exe);;すべてのファイル(*.*) (*)";

QLineEdit* MakePathBox(const char* id, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(id);
    box->setReadOnly(true);
    box->setMinimumWidth(320);
    return box;
}

QPushButton* MakeButton(const char* id, std::string_view caption, QWidget* parent) {
    auto* button = new QPushButton(Ui(caption), parent);
    button->setObjectName(id);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

PathSettingsDialog::PathSettingsDialog(ActiveConfig& config, Interaction& io, QWidget* parent)
    : QDialog(parent), config_(config), io_(io) {
    // No close box: Escape closes the dialog, OK checks and closes it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(Ui(cfgmsg::kPathCaption));
    setFont(DialogFont());
    BuildControls();
    InitializeControls();
}

void PathSettingsDialog::BuildControls() {
    auto* modeBox = new QGroupBox(Ui("新しいファイルにするタイミング"), this);
    modeBox->setObjectName("id1080");
    monthly_ = new QRadioButton(Ui("毎月"), modeBox);
    monthly_->setObjectName("id2001");
    halfMonthly_ = new QRadioButton(Ui("半月"), modeBox);
    halfMonthly_->setObjectName("id2003");
    weekly_ = new QRadioButton(Ui("毎週"), modeBox);
    weekly_->setObjectName("id2002");
    asIs_ = new QRadioButton(Ui("そのまま編集"), modeBox);
    asIs_->setObjectName("id2000");
    auto* modes = new QButtonGroup(this);
    auto* modeLayout = new QHBoxLayout(modeBox);
    for (auto* radio : {monthly_, halfMonthly_, weekly_, asIs_}) {
        modes->addButton(radio);
        modeLayout->addWidget(radio);
    }
    connect(monthly_, &QRadioButton::clicked, this, [this] { ChangeMode(SplitMode::Monthly); });
    connect(weekly_, &QRadioButton::clicked, this, [this] { ChangeMode(SplitMode::Weekly); });
    connect(halfMonthly_, &QRadioButton::clicked, this,
            [this] { ChangeMode(SplitMode::HalfMonthly); });
    connect(asIs_, &QRadioButton::clicked, this, [this] { ChangeMode(SplitMode::Unchanged); });

    makeCopy_ = new QCheckBox(Ui("ファイル名不変ファイルを作る"), this);
    makeCopy_->setObjectName("id1027");
    renameCopy_ = MakeButton("id1075", "ファイル名変更", this);
    copyName_ = new QLabel(Ui(cfgmsg::kDefaultCurrentName), this);
    copyName_->setObjectName("id1090");
    alwaysOne_ = new QCheckBox(Ui("常に一回分の日記のみ表示"), this);
    alwaysOne_->setObjectName("id1086");
    alwaysOneNote_ = new QLabel(Ui("（ログの範囲は←の設定に依存）"), this);
    alwaysOneNote_->setObjectName("id1089");
    connect(makeCopy_, &QCheckBox::clicked, this, [this] {
        SetCopyOption(makeCopy_, setkeys::kCurrent, config_.makeCurrentCopy);
        UpdateCopyOptions();
    });
    connect(alwaysOne_, &QCheckBox::clicked, this,
            [this] { SetCopyOption(alwaysOne_, setkeys::kAlways1, config_.alwaysOne); });
    connect(renameCopy_, &QPushButton::clicked, this,
            &PathSettingsDialog::RenameCurrentCopyClicked);

    prototype_ = MakePathBox("id1024", this);
    auto* browsePrototype = MakeButton("id1005", "参照", this);
    diaryPage_ = MakePathBox("id1014", this);
    diaryPage_->setFrame(false);
    auto* logFormat = MakeButton("id1036", "ログ書式", this);
    log_ = MakePathBox("id1025", this);
    auto* clearLog = MakeButton("id1037", "廃止", this);
    browseLog_ = MakeButton("id1026", "参照", this);
    template_ = MakePathBox("id1015", this);
    auto* browseTemplate = MakeButton("id1008", "参照", this);
    uploader_ = MakePathBox("id1016", this);
    auto* browseUploader = MakeButton("id1009", "参照", this);
    auto* ok = new QPushButton(Ui("OK"), this);
    ok->setObjectName("id1");
    ok->setDefault(true);

    connect(browsePrototype, &QPushButton::clicked, this, [this] {
        BrowsePath(config_.prototypePath, setkeys::kOriginal, Ui(kPageFilter), true);
    });
    connect(browseLog_, &QPushButton::clicked, this,
            [this] { BrowsePath(config_.logPath, setkeys::kLog, Ui(kPageFilter), false); });
    connect(browseTemplate, &QPushButton::clicked, this, [this] {
        BrowsePath(config_.templatePath, setkeys::kTemplet, Ui(kTemplateFilter), false);
    });
    connect(browseUploader, &QPushButton::clicked, this,
            [this] { BrowsePath(config_.uploaderPath, setkeys::kFtp, Ui(kProgramFilter), false); });
    connect(clearLog, &QPushButton::clicked, this, &PathSettingsDialog::ClearLogPage);
    connect(logFormat, &QPushButton::clicked, this, &PathSettingsDialog::OpenLogFormat);
    auto* feed = MakeButton("idFeed", "フィード設定", this);
    connect(feed, &QPushButton::clicked, this, [this] {
        FeedSettingsDialog dialog(config_, io_, this);
        io_.RunDialog(dialog);
    });
    auto* images = MakeButton("idWebImages", "画像の設定", this);
    connect(images, &QPushButton::clicked, this, [this] {
        WebImageSettingsDialog dialog(config_, io_, this);
        io_.RunDialog(dialog);
    });
    connect(ok, &QPushButton::clicked, this, &PathSettingsDialog::accept);

    auto* copyRow = new QHBoxLayout;
    copyRow->addWidget(makeCopy_);
    copyRow->addWidget(renameCopy_);
    copyRow->addWidget(copyName_, 1);
    auto* alwaysRow = new QHBoxLayout;
    alwaysRow->addWidget(alwaysOne_);
    alwaysRow->addWidget(alwaysOneNote_, 1);

    auto* paths = new QGridLayout;
    int row = 0;
    paths->addWidget(new QLabel(Ui("日記原型"), this), row, 0);
    paths->addWidget(prototype_, row, 1);
    paths->addWidget(browsePrototype, row++, 3);
    paths->addWidget(new QLabel(Ui("作成ファイル"), this), row, 0);
    paths->addWidget(diaryPage_, row++, 1, 1, 3);
    paths->addWidget(new QLabel(Ui("ログ書き出しファイル"), this), row, 0);
    paths->addWidget(logFormat, row++, 2);
    paths->addWidget(log_, row, 1);
    paths->addWidget(clearLog, row, 2);
    paths->addWidget(browseLog_, row++, 3);
    paths->addWidget(new QLabel(Ui("テンプレートファイル"), this), row, 0);
    paths->addWidget(template_, row, 1);
    paths->addWidget(browseTemplate, row++, 3);
    paths->addWidget(new QLabel(Ui("tavmo.exe"), this), row, 0);
    paths->addWidget(uploader_, row, 1);
    paths->addWidget(browseUploader, row++, 3);
    paths->setColumnStretch(1, 1);

    auto* okRow = new QHBoxLayout;
    okRow->addWidget(feed);
    okRow->addWidget(images);
    okRow->addStretch(1);
    okRow->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(modeBox);
    layout->addLayout(copyRow);
    layout->addLayout(alwaysRow);
    layout->addLayout(paths);
    layout->addLayout(okRow);
}

void PathSettingsDialog::InitializeControls() {
    setWindowTitle(FromCp932(FileNamePart(config_.configIniPath)));
    ShowPaths();
    copyName_->setText(FromCp932(config_.currentName));
    switch (config_.splitMode) {
        case SplitMode::Monthly:
            monthly_->setChecked(true);
            break;
        case SplitMode::Weekly:
            weekly_->setChecked(true);
            break;
        case SplitMode::HalfMonthly:
            halfMonthly_->setChecked(true);
            break;
        case SplitMode::Unchanged:
            asIs_->setChecked(true);
            break;
    }
    RefreshDiaryPage();
    makeCopy_->setChecked(config_.makeCurrentCopy == 1);
    alwaysOne_->setChecked(config_.alwaysOne == 1);
}

void PathSettingsDialog::ShowPaths() {
    prototype_->setText(FromCp932(config_.prototypePath));
    template_->setText(FromCp932(config_.templatePath));
    diaryPage_->setText(FromCp932(config_.diaryPage));
    log_->setText(FromCp932(config_.logPath));
    uploader_->setText(FromCp932(config_.uploaderPath));
}

// Names the page for the chosen mode without creating it: the user sees where
// the next entry would go.
void PathSettingsDialog::RefreshDiaryPage() {
    config_.diaryFolder = DiaryFolderFor(config_.prototypePath, config_.programDir);
    config_.diaryPage = TodaysDiaryPage(config_, config_.splitMode);
    ReportIfNotWritten(RecordDiaryPage(config_), config_.configIniPath, this, io_);
    const bool rolling = RollsOver(config_.splitMode);
    log_->setEnabled(rolling);
    browseLog_->setEnabled(rolling);
    diaryPage_->setEnabled(rolling);
    UpdateCopyOptions();
    diaryPage_->setText(FromCp932(config_.diaryPage));
}

void PathSettingsDialog::UpdateCopyOptions() {
    if (!RollsOver(config_.splitMode)) {
        for (QWidget* w : std::initializer_list<QWidget*>{makeCopy_, alwaysOne_, alwaysOneNote_,
                                                          renameCopy_, copyName_}) {
            w->setEnabled(false);
        }
        return;
    }
    makeCopy_->setEnabled(true);
    renameCopy_->setEnabled(true);
    copyName_->setEnabled(true);
    const bool copying = config_.makeCurrentCopy == 1;
    alwaysOne_->setEnabled(copying);
    alwaysOneNote_->setEnabled(copying);
}

void PathSettingsDialog::ChangeMode(SplitMode mode) {
    config_.splitMode = mode;
    RefreshDiaryPage();
    ReportIfNotWritten(WriteKey(config_.configIniPath, setkeys::kEdit, static_cast<int>(mode)),
                       config_.configIniPath, this, io_);
}

void PathSettingsDialog::BrowsePath(std::string& field, const TextKey& key, const QString& filter,
                                    bool isPrototype) {
    if (auto chosen = io_.OpenFileName(this, QString(), ChooserStartFolder(field), filter)) {
        if (auto bytes = TryToCp932(*chosen)) {
            field = *bytes;
        } else {
            // A path the settings file cannot hold would be stored broken.
            io_.Message(this, Ui(cfgmsg::kPathNotCp932Text).arg(*chosen),
                        Ui(cfgmsg::kPathNotCp932Caption));
        }
    }
    // Written even when cancelled: the key then holds what the box shows.
    ReportIfNotWritten(WriteKey(config_.configIniPath, key, field), config_.configIniPath, this,
                       io_);
    if (isPrototype) RefreshDiaryPage();
    ShowPaths();
}

void PathSettingsDialog::ClearLogPage() {
    config_.logPath.clear();
    ReportIfNotWritten(WriteKey(config_.configIniPath, setkeys::kLog, ""), config_.configIniPath,
                       this, io_);
    ShowPaths();
}

void PathSettingsDialog::SetCopyOption(QCheckBox* box, const IntKey& key, int& field) {
    field = box->checkState() == Qt::Unchecked ? 0 : 1;
    ReportIfNotWritten(WriteKey(config_.configIniPath, key, field), config_.configIniPath, this,
                       io_);
}

void PathSettingsDialog::RenameCurrentCopyClicked() {
    if (RenameCurrentCopy(this, config_, io_)) copyName_->setText(FromCp932(config_.currentName));
}

void PathSettingsDialog::OpenLogFormat() {
    LogFormatDialog dialog(config_, io_, this);
    io_.RunDialog(dialog);
}

void PathSettingsDialog::accept() {
    const std::string& ini = config_.configIniPath;
    const bool written = WriteKey(ini, setkeys::kOriginal, config_.prototypePath) &&
                         WriteKey(ini, setkeys::kLog, config_.logPath) &&
                         WriteKey(ini, setkeys::kTemplet, config_.templatePath) &&
                         WriteKey(ini, setkeys::kFtp, config_.uploaderPath) &&
                         WriteKey(ini, setkeys::kEdit, static_cast<int>(config_.splitMode));
    // The dialog stays open so nothing chosen is lost without the user knowing.
    if (!ReportIfNotWritten(written, ini, this, io_)) return;
    if (config_.prototypePath.empty() || config_.templatePath.empty()) {
        io_.Message(this, Ui(cfgmsg::kNeedPrototypeText), Ui(cfgmsg::kNeedPrototypeCaption));
        return;
    }
    InitializeControls();
    QDialog::accept();
}

}  // namespace qm
