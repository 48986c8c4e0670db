#include "ui/config/config_commands.h"

#include <QFileInfo>
#include <QLineEdit>
#include <filesystem>
#include <system_error>

#include "engine/diary_page.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "engine/program_folder_lock.h"
#include "engine/program_start.h"
#include "engine/web_images.h"
#include "platform/encoding.h"
#include "platform/native_path.h"
#include "platform/process.h"
#include "platform/utf8_path.h"
#include "settings/active_config.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"
#include "ui/common/web_image_summary.h"
#include "ui/config/config_dialogs.h"
#include "ui/config/config_messages.h"

namespace qm {

namespace {

constexpr std::string_view kImageFilter =
    "画像イメージファイル(*.jpg)(*.jpeg)(*.gif)(*.png) (*.jpg *.jpeg *.gif *.png);;"
    "すべてのファイル(*.*) (*)";

// The editor runs in its own process, perhaps in another folder: a relative
// path is made absolute against this program's working directory first.
std::optional<std::string> AbsoluteNativePath(std::string_view fileCp932) {
    const auto native = NativePathOf(fileCp932);
    if (!native) return std::nullopt;
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(PathOfUtf8(native->str()), ec);
    return ec ? native->str() : Utf8OfPath(absolute);
}

// This program's own path (code page 932), for a message about it.
std::string SelfProgramName() {
    const std::string self = SelfProgramCp932();
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(self, ec);
    const auto name = ec ? std::nullopt : Utf8ToCp932(Utf8OfPath(target));
    return name.value_or(self);
}

}  // namespace

void StartUploaderSetup(const ActiveConfig& config, Host& host) {
    StartOrTell(config.uploaderPath, {"/set"}, host);
}

void EditFilePaths(QWidget* parent, ActiveConfig& config, RunState& run, Interaction& io,
                   Host& host) {
    RunPathSettingsDialog(parent, config, io);
    NoteNativeSetPaths(config);  // as the user typed them
    // Selecting may make a new page: not while another run writes.
    const auto lock = LockProgramFolder(config, host);
    std::optional<FileLock> diaryLock;
    if (lock && LockDiaryFolder(config, host, diaryLock)) SelectDiaryPage(config, run, host);
}

void OpenInTextEditor(QWidget* parent, std::string_view fileCp932, Interaction& io, Host& host) {
    if (fileCp932.empty()) {
        io.Message(parent, Ui(cfgmsg::kNoFileToEditText), Ui(msg::kNotSetCaption));
        return;
    }
    const auto file = AbsoluteNativePath(fileCp932);
    const QString chosen = qEnvironmentVariable(kEditorVariable);
    if (chosen.isEmpty()) {
        // Started by its link, so a program updated meanwhile is still this one.
        const StartResult started =
            file ? host.StartProgram(SelfProgramCp932(), {"edit", *file}, StartWait::None)
                 : StartResult::Failed;
        TellIfNotStarted(started, SelfProgramName(), host);
    } else if (const auto program = TryToCp932(chosen)) {
        if (file) {
            StartOrTell(*program, {*file}, host);
        } else {
            TellIfNotStarted(StartResult::Failed, *program, host);
        }
    } else {
        io.Message(parent, chosen + Ui(msg::kNotFoundSuffix), Ui(msg::kNotFoundCaption));
    }
}

void EditTemplate(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host) {
    OpenInTextEditor(parent, config.templatePath, io, host);
}

void EditDiaryPage(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host) {
    OpenInTextEditor(parent, config.diaryPage, io, host);
}

bool ChooseEntryImage(QWidget* parent, const ActiveConfig& config, RunState& run,
                      QLineEdit& imageBox, QWidget& altBox, Interaction& io) {
    // Images usually lie near the page that shows them.
    const auto chosen =
        io.OpenFileName(parent, QString(), ChooserStartFolder(config.diaryPage), Ui(kImageFilter));
    if (!chosen) return false;
    const auto path = TryToCp932(*chosen);
    if (!path) {
        // The upload tool is handed the list as Shift-JIS; this path would not survive.
        io.Message(parent, Ui(cfgmsg::kImageNotCp932Text).arg(*chosen),
                   Ui(cfgmsg::kImageNotCp932Caption));
        return false;
    }
    std::string problem;
    auto image = PrepareWebImage(config, run, *path, problem);
    if (!image) {
        io.Message(parent, FromCp932(Sjis(msg::kImageLeftOutText) + "\r\n" + problem),
                   FromCp932(Sjis(msg::kImageLeftOutCaption)));
        return false;
    }
    run.imageUploadList.push_back(*path);
    imageBox.setText(FromCp932(image->src));
    imageBox.setToolTip(WebImageSummary(*image));
    run.webImages.push_back(std::move(*image));
    altBox.setEnabled(true);
    return true;
}

}  // namespace qm
