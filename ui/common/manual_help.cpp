#include "ui/common/manual_help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStringList>
#include <QWidget>
#include <filesystem>
#include <system_error>

#include "platform/program_dir.h"
#include "platform/start_texts.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"

namespace qm {

namespace {

constexpr std::string_view kNoManualCaption = "取説ないよ？";
constexpr OpenerTexts kManualOpenerTexts{
    "ファイルを開くプログラム（%1）がみつかりません。\n"
    "とりせつはここにあります。ブラウザやテキストエディタで開いてください。\n%2",
    "ファイルを開くプログラム（%1）でとりせつを開けませんでした。\n"
    "とりせつはここにあります。ブラウザやテキストエディタで開いてください。\n%2",
    "取説開けないよ？"};

std::optional<std::string>& ChosenProgramFolder() {
    static std::optional<std::string> folder;
    return folder;
}

bool IsFile(const std::string& pathUtf8) {
    std::error_code ec;
    return std::filesystem::is_regular_file(pathUtf8, ec);
}

}  // namespace

std::string ManualProgramFolder() { return ChosenProgramFolder().value_or(ExecutableFolder()); }

void SetManualProgramFolder(std::optional<std::string> folderUtf8) {
    ChosenProgramFolder() =
        folderUtf8 ? std::optional<std::string>(NormalizeFolder(*folderUtf8)) : std::nullopt;
}

std::vector<std::string> ManualFolders(const std::string& programFolderUtf8) {
    const std::string folder = NormalizeFolder(programFolderUtf8);
    // The upload tool's folder lies one level deeper than the program's.
    return {folder, InstalledManualFolder(folder), InstalledManualFolder(folder + "../")};
}

QString ManualPlacesLookedAt(std::string_view fileNameUtf8) {
    const std::vector<std::string> folders = ManualFolders(ManualProgramFolder());
    QStringList places;
    for (const std::string& folder : folders) {
        std::error_code ec;
        const bool installedPlace = &folder != &folders.front();
        if (installedPlace && !std::filesystem::is_directory(NormalizeFolder(folder + "../.."), ec))
            continue;
        const QString place = QString::fromStdString(folder + std::string(fileNameUtf8));
        if (!places.contains(place)) places << place;
    }
    return places.size() > 1 ? places.join('\n') + '\n' : places.join('\n');
}

std::optional<std::string> FindManual(std::string_view fileNameUtf8,
                                      const std::string& programFolderUtf8) {
    for (const std::string& folder : ManualFolders(programFolderUtf8)) {
        std::string path = folder + std::string(fileNameUtf8);
        if (IsFile(path)) return path;
    }
    return std::nullopt;
}

bool OpenWithDesktop(QWidget* parent, const QString& path, Interaction& io,
                     const ProgramStarter& start, const OpenerTexts& texts) {
    const StartResult result =
        start ? start(kDesktopOpener, {path.toStdString()}, StartWait::ForOpener)
              : StartResult::Failed;
    if (result == StartResult::Started) return true;
    // The user can still open the file, given where it is.
    const std::string_view format =
        result == StartResult::Missing ? texts.noOpenerFormat : texts.failedFormat;
    io.Message(parent, Ui(format).arg(Ui(kDesktopOpener), path), Ui(texts.caption));
    return false;
}

ManualOpened OpenManual(QWidget* parent, std::string_view fileNameUtf8, Interaction& io,
                        const ProgramStarter& start) {
    const auto path = FindManual(fileNameUtf8, ManualProgramFolder());
    if (!path) return ManualOpened::NoManual;
    return OpenWithDesktop(parent, QString::fromStdString(*path), io, start, kManualOpenerTexts)
               ? ManualOpened::Started
               : ManualOpened::NoOpener;
}

HelpKey::HelpKey(Interaction& io, ProgramStarter start) : io_(io), start_(std::move(start)) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

HelpKey::~HelpKey() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void TellNoManual(QWidget* parent, Interaction& io) {
    io.Message(parent, ManualPlacesLookedAt(kTextManualName) + Ui(msg::kNotFoundSuffix),
               Ui(kNoManualCaption));
}

void HelpKey::OpenHelp(QWidget* parent) {
    const std::string_view manual =
        FindManual(kHtmlManualName, ManualProgramFolder()) ? kHtmlManualName : kTextManualName;
    if (OpenManual(parent, manual, io_, start_) == ManualOpened::NoManual) {
        TellNoManual(parent, io_);
    }
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    if (!key->isAutoRepeat()) {
        QWidget* window = watched->isWidgetType() ? static_cast<QWidget*>(watched)->window()
                                                  : QApplication::activeWindow();
        OpenHelp(window);
    }
    return true;
}

}  // namespace qm
