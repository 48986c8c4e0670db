#include "ui/main/entry_preview.h"

#include <QDir>
#include <QFileInfo>

#include "engine/preview.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"
#include "ui/common/manual_help.h"
#include "ui/main/window_host.h"

namespace qm {

namespace {

constexpr std::string_view kCaption = "プレビュー";
constexpr std::string_view kNoFolderText = "プレビューを置く一時フォルダを作れませんでした。";
constexpr std::string_view kWriteFailedFormat = "プレビューを書き込めませんでした。\n%1";
constexpr OpenerTexts kBrowserTexts{
    "ブラウザを開くプログラム（%1）がみつかりません。\n"
    "プレビューはここにあります。ブラウザで開いてください。\n%2",
    "ブラウザを開くプログラム（%1）でプレビューを開けませんでした。\n"
    "プレビューはここにあります。ブラウザで開いてください。\n%2",
    kCaption};

}  // namespace

EntryPreview::EntryPreview() = default;
EntryPreview::~EntryPreview() = default;

bool EntryPreview::Show(QWidget* parent, const ActiveConfig& config, const RunState& run,
                        const EntryInput& input, WindowHost& host, Interaction& io) {
    const auto preview = PreviewEntry(config, run, input, host);
    if (!preview) return false;

    if (!folder_)
        folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/quillmaker-XXXXXX");
    if (!folder_->isValid()) {
        folder_.reset();
        io.Message(parent, Ui(kNoFolderText), Ui(kCaption));
        return false;
    }
    // The page's own name, so the browser shows which page this is.
    QString name = FromCp932(FileNamePart(preview->pagePath));
    if (name.isEmpty() || name.contains(QChar::ReplacementCharacter)) name = "preview.html";
    filePath_ = QDir(folder_->path()).filePath(name);
    if (!ReplaceFileContents(NativePath(filePath_.toStdString()), preview->text)) {
        io.Message(parent, Ui(kWriteFailedFormat).arg(filePath_), Ui(kCaption));
        return false;
    }

    return OpenWithDesktop(parent, filePath_, io, host.programStarter, kBrowserTexts);
}

}  // namespace qm
