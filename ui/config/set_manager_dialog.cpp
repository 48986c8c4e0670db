#include "ui/config/set_manager_dialog.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>

#include "engine/current_copy.h"
#include "engine/example_diary.h"
#include "platform/files.h"
#include "platform/program_dir.h"
#include "settings/active_config.h"
#include "settings/file_name_rules.h"
#include "settings/keys.h"
#include "settings/numbered_list.h"
#include "settings/profile.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/common/settings_report.h"
#include "ui/config/config_messages.h"
#include "ui/config/manuals.h"
#include "ui/config/path_settings_dialog.h"

namespace qm {

SetManagerDialog::SetManagerDialog(ActiveConfig& config, SetManagerMemory& memory, Interaction& io,
                                   Host& host, QWidget* parent)
    : QDialog(parent), config_(config), memory_(memory), io_(io), host_(host) {
    // No close box: Escape and OK both just close it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(Ui(cfgmsg::kSetManagerCaption));
    setFont(DialogFont());
    if (const auto example = FindExampleFolder(ExecutableFolder())) {
        exampleFolder_ = TryToCp932(QString::fromStdString(*example));
    }
    BuildControls();
    FillSetList();
}

void SetManagerDialog::UseExampleFolder(std::optional<std::string> folderCp932) {
    exampleFolder_ = std::move(folderCp932);
    ShowFirstSetView(memory_.firstSetPending);
}

void SetManagerDialog::BuildControls() {
    list_ = new QListWidget(this);
    list_->setObjectName("id1020");
    list_->setSortingEnabled(false);
    explanation_ = new QLabel(Ui(cfgmsg::kFirstSetExplanation), this);
    explanation_->setObjectName("id1057");
    explanation_->setWordWrap(true);
    explanation_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    newName_ = new QLineEdit(this);
    newName_->setObjectName("id1030");
    auto* create = new QPushButton(Ui("新規作成"), this);
    create->setObjectName("id1029");
    create->setAutoDefault(false);
    delete_ = new QPushButton(Ui("選択削除"), this);
    delete_->setObjectName("id1031");
    delete_->setAutoDefault(false);
    textManual_ = new QPushButton(Ui(cfgmsg::kTextManualButton), this);
    textManual_->setObjectName("id1055");
    textManual_->setAutoDefault(false);
    htmlManual_ = new QPushButton(Ui(cfgmsg::kHtmlManualButton), this);
    htmlManual_->setObjectName("id1056");
    htmlManual_->setAutoDefault(false);
    fromExample_ = new QPushButton(Ui(cfgmsg::kFromExampleButton), this);
    fromExample_->setObjectName("fromExample");
    fromExample_->setAutoDefault(false);
    ok_ = new QPushButton(Ui("OK"), this);
    ok_->setObjectName("id1");
    ok_->setDefault(true);

    connect(create, &QPushButton::clicked, this, &SetManagerDialog::CreateSet);
    connect(delete_, &QPushButton::clicked, this, &SetManagerDialog::DeleteSet);
    connect(textManual_, &QPushButton::clicked, this, [this] { OpenTextManual(this, io_, host_); });
    connect(htmlManual_, &QPushButton::clicked, this, [this] { OpenHtmlManual(this, io_, host_); });
    connect(fromExample_, &QPushButton::clicked, this, &SetManagerDialog::StartFromExample);
    connect(ok_, &QPushButton::clicked, this, &SetManagerDialog::accept);

    // The first-set controls share the cells of the normal ones.
    auto* layout = new QGridLayout(this);
    layout->addWidget(list_, 0, 0, 1, 2);
    layout->addWidget(explanation_, 0, 0, 1, 2);
    layout->addWidget(newName_, 1, 0);
    layout->addWidget(create, 1, 1);
    layout->addWidget(delete_, 2, 0);
    layout->addWidget(textManual_, 2, 0);
    layout->addWidget(ok_, 2, 1);
    layout->addWidget(htmlManual_, 2, 1);
    layout->addWidget(fromExample_, 3, 0, 1, 2);
    layout->setRowStretch(0, 1);
    setMinimumSize(360, 240);
}

void SetManagerDialog::FillSetList() {
    list_->clear();
    names_.clear();
    memory_.knownSetCount = ReadSetNames();
    names_ = ReadListEntries(config_.systemIniPath, syskeys::kSetListSection, memory_.knownSetCount,
                             syskeys::kSetNameCapacity);
    for (const std::string& name : names_) list_->addItem(FromCp932(name));
}

int SetManagerDialog::ReadSetNames() {
    const int count = CountListEntries(config_.systemIniPath, syskeys::kSetListSection);
    if (count == 0 && !memory_.firstSetPending) {
        io_.Message(this, Ui(cfgmsg::kNoSetText), Ui(cfgmsg::kNoSetCaption));
        memory_.firstSetPending = true;
        config_.currentName = std::string(cfgmsg::kDefaultCurrentName);
        // The first set starts from the defaults, not from a set deleted before.
        config_.uploaderPath = std::string(setkeys::kFtp.defaultValue);
    }
    ShowFirstSetView(memory_.firstSetPending);
    if (memory_.firstSetPending) newName_->setText(Ui(cfgmsg::kProposedSetName));
    return count;
}

void SetManagerDialog::ShowFirstSetView(bool firstSet) {
    ok_->setVisible(!firstSet);
    delete_->setVisible(!firstSet);
    list_->setVisible(!firstSet);
    explanation_->setVisible(firstSet);
    textManual_->setVisible(firstSet);
    htmlManual_->setVisible(firstSet);
    fromExample_->setVisible(firstSet && exampleFolder_);
}

SetManagerDialog::Added SetManagerDialog::AddSetName(const std::string& name) {
    memory_.knownSetCount = ReadSetNames();
    for (const std::string& known :
         ReadListEntries(config_.systemIniPath, syskeys::kSetListSection, memory_.knownSetCount,
                         syskeys::kSetNameCapacity)) {
        if (known == name) return Added::Duplicate;
    }
    const bool written = WriteProfileString(config_.systemIniPath, syskeys::kSetListSection,
                                            std::to_string(memory_.knownSetCount), name);
    FillSetList();
    return ReportIfNotWritten(written, config_.systemIniPath, this, io_) ? Added::Yes
                                                                         : Added::NotWritten;
}

// Shows why a name cannot be a set's file name; false when it can.
bool SetManagerDialog::RefuseUnusableName(const std::string& name) {
    const FileNameVerdict verdict = CheckSetName(name, config_.programDir);
    if (verdict == FileNameVerdict::Usable || verdict == FileNameVerdict::Empty ||
        verdict == FileNameVerdict::Reserved) {
        return false;
    }
    TellBadSetName(FromCp932(name), verdict);
    return true;
}

void SetManagerDialog::TellBadSetName(const QString& name, FileNameVerdict verdict) {
    io_.Message(this, Ui(cfgmsg::kBadSetNameFormat).arg(name, Ui(FileNameReason(verdict))),
                Ui(cfgmsg::kBadSetNameCaption));
}

void SetManagerDialog::CreateSet() {
    const QString typed = newName_->text();
    const auto name = TryToCp932(typed);
    if (!name) {
        TellBadSetName(typed, FileNameVerdict::NotCp932);
    } else if (name->empty()) {
        // Nothing typed: nothing to do.
    } else if (CheckSetName(*name, config_.programDir) == FileNameVerdict::Reserved) {
        io_.Message(this, Ui(cfgmsg::kReservedText), Ui(cfgmsg::kReservedCaption));
    } else if (RefuseUnusableName(*name)) {
        // Refused with its reason.
    } else if (const Added added = AddSetName(*name); added == Added::Duplicate) {
        io_.Message(this, Ui(cfgmsg::kDuplicateText), Ui(cfgmsg::kDuplicateCaption));
    } else if (added == Added::NotWritten) {
        // Reported; there is no new set to fill in.
    } else {
        config_.configIniPath = SetIniPath(config_.programDir, *name);
        memory_.firstSetPending = false;
        PathSettingsDialog paths(config_, io_, this);
        io_.RunDialog(paths);
        FillSetList();
    }
    newName_->clear();
}

// The example diary's files come beside the settings and its set is listed;
// the dialog closes so that the window loads it at once.
void SetManagerDialog::StartFromExample() {
    if (!exampleFolder_) return;
    const ExampleCopy copy = CopyExampleDiary(*exampleFolder_, config_.programDir);
    const std::string_view problem =
        copy.outcome == ExampleCopy::Outcome::Missing  ? cfgmsg::kExampleMissingFormat
        : copy.outcome == ExampleCopy::Outcome::Exists ? cfgmsg::kExampleExistsFormat
                                                       : cfgmsg::kExampleNotCopiedFormat;
    if (copy.outcome != ExampleCopy::Outcome::Copied) {
        io_.Message(this, Ui(problem).arg(FromCp932(copy.path)), Ui(cfgmsg::kExampleCaption));
        return;
    }
    const std::string name(kExampleSetName);
    if (AddSetName(name) == Added::NotWritten) return;
    config_.configIniPath = SetIniPath(config_.programDir, name);
    memory_.firstSetPending = false;
    accept();
}

void SetManagerDialog::DeleteSet() {
    const int k = list_->currentRow();
    if (k < 0 || k >= static_cast<int>(names_.size()) || list_->selectedItems().isEmpty()) return;
    const std::string name = names_[static_cast<std::size_t>(k)];
    // A hand-edited list may hold a name such as "qmsys" or "../x"; its entry
    // goes, but no file outside the set files is ever removed.
    if (!ReportIfNotWritten(RemoveListEntry(config_.systemIniPath, syskeys::kSetListSection, k),
                            config_.systemIniPath, this, io_)) {
        return;  // the set stays listed, so its file stays too
    }
    if (CheckSetName(name, config_.programDir) == FileNameVerdict::Usable) {
        MoveSetFileToTrash(name);
    }
    FillSetList();
}

namespace {

// A fresh account may lack the desktop's data folder; without a trash folder
// the move would put the file into the working folder instead. Windows
// moves it to the Recycle Bin through the shell, which is always there.
bool TrashFolderReady() {
#ifdef _WIN32
    return true;
#else
    const QString trash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    return QDir().mkpath(trash + "/files") && QDir().mkpath(trash + "/info");
#endif
}

}  // namespace

// The set's file goes to the desktop's trash, where the user can fetch it
// back, and the user is told where; when there is no trash to take it, it
// stays where it is.
bool SetManagerDialog::MoveSetFileToTrash(const std::string& name) {
    const std::string path = SetIniPath(config_.programDir, name);
    const auto native = NativePathOf(path);
    if (!native || !FileExists(*native)) return true;  // nothing to keep
    QFile file(QString::fromStdString(native->str()));
    if (TrashFolderReady() && file.moveToTrash()) {
        // Where it went, so the user can fetch it back.
        io_.Message(this, Ui(cfgmsg::kTrashedFormat).arg(FromCp932(path), file.fileName()),
                    Ui(cfgmsg::kTrashedCaption));
        return true;
    }
    io_.Message(this, Ui(cfgmsg::kNotTrashedFormat).arg(FromCp932(path)),
                Ui(cfgmsg::kNotTrashedCaption));
    return false;
}

void SetManagerDialog::accept() {
    FillSetList();
    QDialog::accept();
}

}  // namespace qm
