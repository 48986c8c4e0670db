#include "ui/main/draft.h"

#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <charconv>

#include "platform/command_line.h"
#include "platform/encoding.h"
#include "platform/files.h"
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

FileResult<NativePath> DraftKeeper::NativePathOfDraft() const {
    return NativeProgramFile(window_.config(), kDraftFileName);
}

std::optional<FileStamp> DraftKeeper::DraftStamp() const {
    const auto draft = NativePathOfDraft();
    return draft ? StampOfFile(*draft) : std::nullopt;
}

std::string DraftKeeper::WritePath(FileResult<NativePath>& native) {
    native = NativePathOfDraft();
    if (aside_.empty() && native && DraftStamp() != seen_) {
        // The name beside it ends alike in every encoding: "-PID.txt".
        const std::string tail = "-" + std::to_string(::getpid()) + ".txt";
        aside_ = Path().substr(0, Path().size() - 4) + tail;
        asideNative_ = NativePath(native->str().substr(0, native->str().size() - 4) + tail);
        window_.interaction().Message(
            &window_, Ui(kAsideText).arg(FromCp932(Path()), FromCp932(aside_)), Ui(kAsideCaption),
            Interaction::Buttons::Ok, Interaction::Icon::None);
    }
    if (aside_.empty()) return Path();
    native = asideNative_;
    return aside_;
}

void DraftKeeper::Save() {
    if (discarded_) return;
    const DraftContent draft = Collect();
    FileResult<NativePath> native = NoFileName();
    const std::string path = WritePath(native);
    bool kept = false;
    if (native) {
        // An emptied window leaves nothing to put back.
        kept = draft.IsEmpty() ? (!FileExists(*native) || RemoveFile(*native))
                               : ReplaceFileContents(*native, SerializeDraft(draft)).has_value();
    }
    if (aside_.empty()) seen_ = DraftStamp();
    if (kept || failureShown_) return;
    // Told once: a box at every pause in the typing would be worse than none.
    failureShown_ = true;
    window_.interaction().Message(&window_, Ui(kNotSavedText).arg(FromCp932(path)),
                                  Ui(kNotSavedCaption), Interaction::Buttons::Ok,
                                  Interaction::Icon::None);
}

void DraftKeeper::Discard() {
    timer_.stop();
    discarded_ = true;
    // A newer draft of another process is not this window's to remove.
    if (aside_.empty() && DraftStamp() != seen_) return;
    const auto native = aside_.empty() ? NativePathOfDraft() : asideNative_;
    if (!native || !FileExists(*native) || RemoveFile(*native)) return;
    // A draft that stayed would bring the published entry back next time.
    ReplaceFileContents(*native, "");
}

bool DraftKeeper::Restore() {
    seen_ = DraftStamp();
    const auto native = NativePathOfDraft();
    const auto bytes =
        native ? ReadRegularFile(*native) : FileResult<std::string>(native.problem());
    const auto draft = bytes ? ParseDraft(*bytes) : std::nullopt;
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
    window_.runState().imageUploadList = draft->imageUploadList;
    if (!draft->imageUploadList.empty()) window_.altTextEdit()->setEnabled(true);
    restoring_ = false;
    return true;
}

}  // namespace qm
