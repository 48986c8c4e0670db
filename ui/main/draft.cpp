#include "ui/main/draft.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextDocument>
#include <charconv>
#include <filesystem>

#include "platform/command_line.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/native_path.h"
#include "platform/path_text.h"
#include "platform/utf8_path.h"
#include "settings/keys.h"
#include "settings/numbered_list.h"
#include "settings/profile.h"
#include "ui/common/cp932_text.h"
#include "ui/common/interaction.h"
#include "ui/main/main_dialog.h"

namespace qm {

namespace {

constexpr std::string_view kFormatLine = "Quillmaker draft 1\n";

constexpr std::string_view kNotSavedText =
    "%1\n下書きを保存できません。書いている日記は、ウィンドウを閉じると残りません。";
constexpr std::string_view kNotSavedCaption = "下書きを保存できないよ";
constexpr std::string_view kAsideText =
    "%1\n下書きが別のところで書き換えられていたので、そのままにしました。"
    "このウィンドウの下書きは次のファイルに保存します。\n%2";
constexpr std::string_view kAsideCaption = "下書きを別に保存するよ";
constexpr std::string_view kTooLargeToSaveText =
    "%1\n下書きが大きすぎる（16MBを超える）ので保存できません。"
    "書いている日記は、ウィンドウを閉じると残りません。";
constexpr std::string_view kTooLargeToRestoreText =
    "%1\n下書きが大きすぎる（16MBを超える）ので、読み込みませんでした。";
constexpr std::string_view kNotRestoredCaption = "下書きを戻せないよ";
constexpr std::string_view kImagesDroppedText =
    "下書きにあった次の画像は、見つからないか、画面のどこにも出ていないので、"
    "アップロードする画像に戻しませんでした：\n%1";
constexpr std::string_view kImagesDroppedCaption = "下書きを戻したよ";

// A draft is typed text: anything near this size is not one.
constexpr std::uint64_t kMaxDraftBytes = std::uint64_t{16} << 20;

std::string Utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FromUtf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void AppendField(std::string& out, std::string_view name, std::string_view value) {
    out.append(name).append(" ").append(std::to_string(value.size())).append("\n");
    out.append(value).append("\n");
}

// Reads the field `name` at `at`, moving `at` past it.
std::optional<std::string> TakeField(std::string_view bytes, std::size_t& at,
                                     std::string_view name) {
    const std::size_t lineEnd = bytes.find('\n', at);
    if (lineEnd == std::string_view::npos) return std::nullopt;
    const std::string_view head = bytes.substr(at, lineEnd - at);
    if (head.size() <= name.size() + 1 || head.substr(0, name.size()) != name ||
        head[name.size()] != ' ') {
        return std::nullopt;
    }
    const std::string_view digits = head.substr(name.size() + 1);
    std::size_t length = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    const std::size_t valueAt = lineEnd + 1;
    if (length > bytes.size() - valueAt || valueAt + length >= bytes.size() ||
        bytes[valueAt + length] != '\n') {
        return std::nullopt;
    }
    at = valueAt + length + 1;
    return std::string(bytes.substr(valueAt, length));
}

// The images' paths back from their command line. It is split in UTF-8,
// where no second byte of a character looks like a backslash.
std::vector<std::string> ImagesOfCommandLine(std::string_view cp932) {
    std::vector<std::string> paths;
    for (const std::string& path : SplitCommandLine(Cp932ToUtf8(cp932).value_or(""))) {
        if (auto pathCp932 = Utf8ToCp932(path)) paths.push_back(std::move(*pathCp932));
    }
    return paths;
}

// A regular file of its own at `path`, not a link to one.
bool IsOwnRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::regular;
}

// An image may go back into the upload list only as the user chose it: a
// regular file (not a link) at a full path, whose name the window shows.
bool ImageStillShown(const std::string& pathCp932, const QString& shown) {
    const auto path = NativePathOf(pathCp932);
    if (!path) return false;
    const auto fsPath = PathOfUtf8(path->str());
    return fsPath.is_absolute() && IsOwnRegularFile(fsPath) &&
           shown.contains(FromCp932(FileNamePart(pathCp932)));
}

// The draft file's size without following a link; std::nullopt when it is
// not a regular file of its own (or no file is named).
std::optional<std::uint64_t> DraftFileSize(const NativePath& path) {
    if (path.empty() || !IsOwnRegularFile(PathOfUtf8(path.str()))) return std::nullopt;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(PathOfUtf8(path.str()), ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

}  // namespace

bool DraftContent::IsEmpty() const {
    return title.isEmpty() && body.isEmpty() && imageName.isEmpty() && altText.isEmpty() &&
           imageUploadList.empty();
}

std::string SerializeDraft(const DraftContent& draft) {
    std::string out(kFormatLine);
    AppendField(out, "set", draft.setName);
    AppendField(out, "title", Utf8(draft.title));
    AppendField(out, "body", Utf8(draft.body));
    AppendField(out, "image", Utf8(draft.imageName));
    AppendField(out, "alt", Utf8(draft.altText));
    AppendField(out, "images", JoinCommandLine(draft.imageUploadList));
    return out;
}

std::optional<DraftContent> ParseDraft(std::string_view bytes) {
    if (bytes.substr(0, kFormatLine.size()) != kFormatLine) return std::nullopt;
    std::size_t at = kFormatLine.size();
    auto set = TakeField(bytes, at, "set");
    auto title = set ? TakeField(bytes, at, "title") : std::nullopt;
    auto body = title ? TakeField(bytes, at, "body") : std::nullopt;
    auto image = body ? TakeField(bytes, at, "image") : std::nullopt;
    auto alt = image ? TakeField(bytes, at, "alt") : std::nullopt;
    auto images = alt ? TakeField(bytes, at, "images") : std::nullopt;
    if (!images || at != bytes.size()) return std::nullopt;
    return DraftContent{*set,
                        FromUtf8(*title),
                        FromUtf8(*body),
                        FromUtf8(*image),
                        FromUtf8(*alt),
                        ImagesOfCommandLine(*images)};
}

DraftKeeper::DraftKeeper(MainDialog& window) : QObject(&window), window_(window) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &DraftKeeper::Save);
    const auto changed = [this] { NoteChange(); };
    connect(window_.titleEdit(), &QLineEdit::textChanged, this, changed);
    connect(window_.bodyEdit(), &QPlainTextEdit::textChanged, this, changed);
    connect(window_.imageNameEdit(), &QLineEdit::textChanged, this, changed);
    connect(window_.altTextEdit(), &QLineEdit::textChanged, this, changed);
    connect(window_.setList(), &QComboBox::currentIndexChanged, this, changed);
}

std::string DraftKeeper::Path() const {
    return window_.config().programDir + std::string(kDraftFileName);
}

NativePath DraftKeeper::NativeFile() const {
    const auto& folder = window_.config().native.programDir;
    // Empty, which names no file, when the program folder has no name.
    return folder ? *folder + kDraftFileName : NativePath();
}

void DraftKeeper::NoteChange() {
    // Nothing is written before start-up has put a draft back, nor after a
    // generate has used it.
    if (restoring_ || discarded_ || window_.config().programDir.empty()) return;
    timer_.start();
}

void DraftKeeper::SaveNow() {
    if (!timer_.isActive()) return;
    timer_.stop();
    Save();
}

DraftContent DraftKeeper::Collect() const {
    const ActiveConfig& config = window_.config();
    const RunState& run = window_.runState();
    DraftContent draft;
    draft.setName = ReadListEntry(config.systemIniPath, syskeys::kSetListSection,
                                  run.currentSetIndex, syskeys::kSetNameCapacity);
    draft.title = window_.titleEdit()->text();
    // Plain line breaks in the file, not the edit's paragraph separators.
    draft.body = NormalizeLineBreaks(window_.bodyEdit()->document()->toRawText());
    draft.imageName = window_.imageNameEdit()->text();
    draft.altText = window_.altTextEdit()->text();
    draft.imageUploadList = run.imageUploadList;
    return draft;
}

DraftKeeper::DraftFile DraftKeeper::WriteFile() {
    if (aside_.shown.empty() && StampOfFile(NativeFile()) != seen_) {
        const std::string suffix = "-" + std::to_string(::getpid()) + ".txt";
        const NativePath file = NativeFile();
        aside_.shown = Path().substr(0, Path().size() - 4) + suffix;
        aside_.native = NativePath(file.str().substr(0, file.str().size() - 4) + suffix);
        window_.interaction().Message(
            &window_, Ui(kAsideText).arg(FromCp932(Path()), FromCp932(aside_.shown)),
            Ui(kAsideCaption), Interaction::Buttons::Ok, Interaction::Icon::None);
    }
    return aside_.shown.empty() ? DraftFile{Path(), NativeFile()} : aside_;
}

void DraftKeeper::Save() {
    if (discarded_) return;
    const DraftContent draft = Collect();
    const DraftFile file = WriteFile();
    const std::string bytes = draft.IsEmpty() ? std::string() : SerializeDraft(draft);
    const bool tooLarge = bytes.size() > kMaxDraftBytes;
    bool kept = false;
    if (!file.native.empty() && !tooLarge) {
        // An emptied window leaves nothing to put back. The draft is the
        // program's own file: a link in its place is replaced, never followed.
        kept = draft.IsEmpty() ? (!DraftFileSize(file.native) || RemoveFile(file.native))
                               : ReplaceFileNotFollowing(file.native, bytes).has_value();
    }
    if (aside_.shown.empty()) seen_ = StampOfFile(file.native);
    if (kept || failureShown_) return;
    // Told once: a box at every pause in the typing would be worse than none.
    failureShown_ = true;
    window_.interaction().Message(
        &window_, Ui(tooLarge ? kTooLargeToSaveText : kNotSavedText).arg(FromCp932(file.shown)),
        Ui(kNotSavedCaption), Interaction::Buttons::Ok, Interaction::Icon::None);
}

void DraftKeeper::Discard() {
    timer_.stop();
    discarded_ = true;
    // A newer draft of another process is not this window's to remove.
    if (aside_.shown.empty() && StampOfFile(NativeFile()) != seen_) return;
    const NativePath file = aside_.shown.empty() ? NativeFile() : aside_.native;
    if (!DraftFileSize(file) || RemoveFile(file)) return;
    // A draft that stayed would bring the published entry back next time.
    ReplaceFileNotFollowing(file, "");
}

bool DraftKeeper::Restore() {
    const NativePath file = NativeFile();
    seen_ = StampOfFile(file);
    const auto size = DraftFileSize(file);
    if (!size) return false;
    const auto say = [this](std::string_view text, std::string_view caption, const QString& arg) {
        window_.interaction().Message(&window_, Ui(text).arg(arg), Ui(caption),
                                      Interaction::Buttons::Ok, Interaction::Icon::None);
    };
    if (*size > kMaxDraftBytes) {
        say(kTooLargeToRestoreText, kNotRestoredCaption, FromCp932(Path()));
        return false;
    }
    const auto bytes = ReadRegularFile(file);
    const auto draft = bytes && bytes->size() <= kMaxDraftBytes ? ParseDraft(*bytes) : std::nullopt;
    if (!draft || draft->IsEmpty()) return false;

    restoring_ = true;
    const ActiveConfig& config = window_.config();
    const SettingsFile system = SettingsFile::LoadOrEmpty(config.systemIniPath);
    const int count = CountListEntries(system, syskeys::kSetListSection);
    for (int i = 0; i < count; ++i) {
        if (ReadListEntry(system, syskeys::kSetListSection, i, syskeys::kSetNameCapacity) ==
            draft->setName) {
            if (i != window_.runState().currentSetIndex) window_.ChooseSet(i);
            break;
        }
    }
    window_.titleEdit()->setText(draft->title);
    window_.bodyEdit()->setPlainText(draft->body);
    window_.imageNameEdit()->setText(draft->imageName);
    window_.altTextEdit()->setText(draft->altText);
    // Only images the window shows go back: an edited draft must not send
    // other files to the web site.
    const QString shown = draft->imageName + QChar('\n') + draft->body;
    std::vector<std::string>& images = window_.runState().imageUploadList;
    images.clear();
    QStringList dropped;
    for (const std::string& path : draft->imageUploadList) {
        if (ImageStillShown(path, shown)) {
            images.push_back(path);
        } else {
            dropped << FromCp932(path);
        }
    }
    if (!images.empty()) window_.altTextEdit()->setEnabled(true);
    restoring_ = false;
    if (!dropped.isEmpty()) say(kImagesDroppedText, kImagesDroppedCaption, dropped.join('\n'));
    return true;
}

}  // namespace qm
