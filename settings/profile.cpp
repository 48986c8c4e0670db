#include "settings/profile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstddef>

#include "platform/encoding.h"
#include "platform/files.h"

namespace qm {

// One line of the file with its line end kept apart, so that a rewrite leaves
// every line it does not change byte for byte as it was.
struct IniLine {
    std::string text;    // code page 932, without the line end
    std::string ending;  // "\r\n", "\n", "\r", "\r\r\n"..., or "" at the very end
    std::string raw;     // a UTF-16LE file's bytes of the line; empty once edited
};

using IniLines = std::vector<IniLine>;

// The two forms a settings file can take: code page 932 bytes, or UTF-16LE
// after a byte-order mark, which reads as code page 932 and stays UTF-16LE.
enum class TextForm { Cp932, Utf16Le };

struct IniFile {
    TextForm form = TextForm::Cp932;
    IniLines lines;
    std::string strayByte;  // the odd last byte of a UTF-16LE file, kept as it was
};

namespace {

std::atomic<std::size_t> settingsFileReads{0};

constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters match in either case; the second byte of a double-byte
// character is never folded (ア 0x83 0x41 is not ヂ 0x83 0x61).
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsCp932LeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a.substr(i, 2) != b.substr(i, 2)) return false;
            ++i;
        } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

struct LineSpan {
    std::size_t start;      // in units: bytes, or UTF-16 code units
    std::size_t length;     // without the line end
    std::size_t endLength;  // 0, 1 (CR or LF) or 2 (CR LF)
};

// A line ends at LF, together with the CRs right before it (CR LF, and the
// CR CR LF some editors leave), or at a CR that no LF follows: a file with
// CR-only line ends reads line by line, as on the original platform.
template <typename UnitAt>
std::vector<LineSpan> FindLines(std::size_t units, UnitAt unitAt) {
    std::vector<LineSpan> spans;
    std::size_t start = 0;
    while (start < units) {
        std::size_t end = start;
        while (end < units && unitAt(end) != '\r' && unitAt(end) != '\n') ++end;
        std::size_t endLength = 0;
        if (end < units) {
            std::size_t crs = end;
            while (crs < units && unitAt(crs) == '\r') ++crs;
            endLength = crs < units && unitAt(crs) == '\n' ? crs + 1 - end : 1;
        }
        spans.push_back({start, end - start, endLength});
        start = end + endLength;
    }
    return spans;
}

IniFile SplitLines(std::string_view content) {
    IniFile file;
    if (content.substr(0, kUtf16LeMark.size()) != kUtf16LeMark) {
        for (const LineSpan& span :
             FindLines(content.size(), [&](std::size_t i) { return content[i]; })) {
            file.lines.push_back(
                {std::string(content.substr(span.start, span.length)),
                 std::string(content.substr(span.start + span.length, span.endLength)),
                 {}});
        }
        return file;
    }
    file.form = TextForm::Utf16Le;
    content.remove_prefix(kUtf16LeMark.size());
    file.strayByte = content.substr(content.size() - content.size() % 2);
    const std::size_t units = content.size() / 2;
    auto unitAt = [&](std::size_t i) { return content[2 * i + 1] == '\0' ? content[2 * i] : '\0'; };
    for (const LineSpan& span : FindLines(units, unitAt)) {
        std::string ending;
        for (std::size_t i = 0; i < span.endLength; ++i)
            ending += unitAt(span.start + span.length + i);
        file.lines.push_back(
            {Utf16LeToCp932(content.substr(2 * span.start, 2 * span.length)), ending,
             std::string(content.substr(2 * span.start, 2 * (span.length + span.endLength)))});
    }
    return file;
}

// The file's bytes; std::nullopt when a changed line cannot be put in UTF-16.
std::optional<std::string> JoinLines(const IniFile& file) {
    std::string out;
    if (file.form == TextForm::Cp932) {
        for (const auto& line : file.lines) out += line.text + line.ending;
        return out;
    }
    out = kUtf16LeMark;
    for (const auto& line : file.lines) {
        if (!line.raw.empty()) {
            out += line.raw;
        } else if (auto converted = Cp932ToUtf16Le(line.text + line.ending)) {
            out += *converted;
        } else {
            return std::nullopt;
        }
    }
    return out + file.strayByte;
}

// A name as the file would hold it: in a UTF-16LE file, characters with two
// codes in code page 932 come back with one of them, so names match by that.
std::string AsStoredName(TextForm form, std::string_view name) {
    if (form == TextForm::Cp932) return std::string(name);
    auto wide = Cp932ToUtf16Le(name);
    return wide ? Utf16LeToCp932(*wide) : std::string(name);
}

enum class LineKind { Section, Key, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, blanks trimmed
    std::string_view value;  // key lines: the text after '=', blanks trimmed
};

// Index of the first ']' that is a character of its own (0x5D is also a
// possible second byte of a double-byte character), or the text's size.
std::size_t FindClosingBracket(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsCp932LeadByte(static_cast<unsigned char>(text[i]))) {
            i += 2;
            continue;
        }
        if (text[i] == ']') return i;
        ++i;
    }
    return text.size();
}

ParsedLine ParseLine(std::string_view text) {
    std::string_view start = text;
    while (!start.empty() && IsBlank(start.front())) start.remove_prefix(1);
    if (!start.empty() && start.front() == '[') {
        std::string_view inside = start.substr(1);
        return {LineKind::Section, TrimBlanks(inside.substr(0, FindClosingBracket(inside))), {}};
    }
    // '=' (0x3D) is never the second byte of a double-byte character.
    std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return {};
    return {LineKind::Key, TrimBlanks(text.substr(0, eq)), TrimBlanks(text.substr(eq + 1))};
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool HasSurroundingQuotes(std::string_view text) {
    return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
}

std::string_view Unquoted(std::string_view value) {
    return HasSurroundingQuotes(value) ? value.substr(1, value.size() - 2) : value;
}

// open + text + close, built by appending: GCC 12 takes prepending to a
// temporary string for an overlapping copy (a false -Wrestrict at -O2 and up).
std::string Enclosed(char open, std::string_view text, char close) {
    std::string out;
    out.reserve(text.size() + 2);
    out += open;
    out += text;
    out += close;
    return out;
}

// A value that reading would change (outer blanks trimmed, outer quotes
// removed) is stored in double quotes, so that it reads back as written.
std::string StoredValue(std::string_view value) {
    bool needsQuotes = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                          HasSurroundingQuotes(value));
    return needsQuotes ? Enclosed('"', value, '"') : std::string(value);
}

struct SectionRange {
    std::size_t header;  // index of the "[name]" line
    std::size_t end;     // index of the next section's header, or the line count
};

std::optional<SectionRange> FindSection(const IniLines& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ParsedLine parsed = ParseLine(lines[i].text);
        if (parsed.kind != LineKind::Section || !SameName(parsed.name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && ParseLine(lines[end].text).kind != LineKind::Section) ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const IniLines& lines, const SectionRange& range,
                                   std::string_view key) {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        ParsedLine parsed = ParseLine(lines[i].text);
        if (parsed.kind == LineKind::Key && SameName(parsed.name, key)) return i;
    }
    return std::nullopt;
}

// The stored value of the key, quotes removed; std::nullopt when absent.
std::optional<std::string> FindValue(const SettingsFile& settings, std::string_view section,
                                     std::string_view key) {
    const IniFile* file = settings.lines();
    if (!file) return std::nullopt;
    const IniLines& lines = file->lines;
    auto range = FindSection(lines, AsStoredName(file->form, section));
    if (!range) return std::nullopt;
    auto index = FindKey(lines, *range, AsStoredName(file->form, key));
    if (!index) return std::nullopt;
    return std::string(Unquoted(ParseLine(lines[*index].text).value));
}

bool HasAny(std::string_view text, std::string_view bytes) {
    return text.find_first_of(bytes) != std::string_view::npos;
}

constexpr std::string_view kLineBreaking("\r\n\0", 3);

bool EndsInWholeCharacter(std::string_view name) {
    return Cp932PrefixLength(name, name.size()) == name.size();
}

// Names and values that the file could not give back as written (a line
// break would split the line and forge other keys) are refused. So is a name
// ending in the first byte of a double-byte character, which would swallow
// the ']' or '=' written after it.
bool IsWritableSectionName(std::string_view name) {
    return !name.empty() && TrimBlanks(name) == name && !HasAny(name, kLineBreaking) &&
           FindClosingBracket(name) == name.size() && EndsInWholeCharacter(name);
}

bool IsWritableKeyName(std::string_view name) {
    return !name.empty() && TrimBlanks(name) == name && name.front() != '[' &&
           !HasAny(name, kLineBreaking) && name.find('=') == std::string_view::npos &&
           EndsInWholeCharacter(name);
}

bool IsWritableEdit(const ProfileEdit& edit) {
    return IsWritableSectionName(edit.section) && IsWritableKeyName(edit.key) &&
           (!edit.value || !HasAny(*edit.value, kLineBreaking));
}

void EndLine(IniLine& line) {
    if (!line.ending.empty()) return;
    line.ending = kLineEnd;
    if (!line.raw.empty()) line.raw += std::string_view("\r\0\n\0", 4);
}

void EndLastLine(IniLines& lines) {
    if (!lines.empty()) EndLine(lines.back());
}

void SetKey(IniLines& lines, std::string_view section, std::string_view key,
            std::string_view value) {
    std::string stored = StoredValue(value);
    auto range = FindSection(lines, section);
    if (!range) {
        EndLastLine(lines);
        lines.push_back({Enclosed('[', section, ']'), std::string(kLineEnd), {}});
        lines.push_back({std::string(key) + "=" + stored, std::string(kLineEnd), {}});
        return;
    }
    if (auto index = FindKey(lines, *range, key)) {
        // Keep the key's spelling as the file has it.
        IniLine& line = lines[*index];
        std::string name(ParseLine(line.text).name);
        line.text = name + "=" + stored;
        line.raw.clear();
        EndLine(line);
        return;
    }
    // After the section's last non-blank line, so blank separator lines stay
    // between this section and the next.
    std::size_t last = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (!TrimBlanks(lines[i].text).empty()) last = i;
    }
    EndLine(lines[last]);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1),
                 IniLine{std::string(key) + "=" + stored, std::string(kLineEnd), {}});
}

void RemoveKey(IniLines& lines, std::string_view section, std::string_view key) {
    auto range = FindSection(lines, section);
    if (!range) return;
    if (auto index = FindKey(lines, *range, key)) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*index));
    }
}

enum class FileState { Present, Missing, Unusable };

// Whether the file can be edited: present and readable, or simply not there
// yet. An existing file that cannot be read must never be replaced.
FileState LoadForEdit(const FileResult<NativePath>& iniPath, std::string& content) {
    if (!iniPath) return FileState::Unusable;
    auto bytes = ReadRegularFile(*iniPath);
    if (!bytes) return bytes.problem().code == ENOENT ? FileState::Missing : FileState::Unusable;
    content = std::move(*bytes);
    return FileState::Present;
}

// A sign and the digits that follow; a number too large for an int is held
// at the nearest limit rather than wrapped.
int ParseLeadingInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            magnitude = static_cast<long long>(INT_MAX) + 1;
    }
    long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

}  // namespace

FileResult<SettingsFile> SettingsFile::Load(std::string_view iniPath) {
    return Load(std::string(iniPath), NativePathOf(iniPath));
}

FileResult<SettingsFile> SettingsFile::Load(std::string iniPath,
                                            const FileResult<NativePath>& nativePath) {
    if (!nativePath) return nativePath.problem();
    SettingsFile file{std::move(iniPath)};
    auto bytes = ReadRegularFile(*nativePath);
    ++settingsFileReads;
    if (!bytes) {
        if (bytes.problem().code == ENOENT) return file;
        return bytes.problem();
    }
    file.lines_ = std::make_shared<const IniFile>(SplitLines(*bytes));
    return file;
}

SettingsFile SettingsFile::LoadOrEmpty(std::string_view iniPath) {
    auto file = Load(iniPath);
    return file ? std::move(*file) : SettingsFile(std::string(iniPath));
}

std::size_t SettingsFileReads() { return settingsFileReads; }

std::string ReadProfileString(const SettingsFile& file, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t capacity) {
    if (capacity == 0) return {};
    auto value = FindValue(file, section, key);
    // The default loses its trailing spaces, as the original platform's does.
    while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
    std::string_view text = value ? std::string_view(*value) : defaultValue;
    return std::string(text.substr(0, Cp932PrefixLength(text, capacity - 1)));
}

std::string ReadProfileString(std::string_view iniPath, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              std::size_t capacity) {
    return ReadProfileString(SettingsFile::LoadOrEmpty(iniPath), section, key, defaultValue,
                             capacity);
}

std::string ReadProfileKeyList(const SettingsFile& settings, std::string_view section,
                               std::size_t capacity) {
    std::string list;
    const IniFile* file = settings.lines();
    auto range = file ? FindSection(file->lines, AsStoredName(file->form, section)) : std::nullopt;
    if (range) {
        for (std::size_t i = range->header + 1; i < range->end; ++i) {
            ParsedLine parsed = ParseLine(file->lines[i].text);
            if (parsed.kind != LineKind::Key || parsed.name.empty()) continue;
            // The name, its NUL and the list's closing NUL must all fit.
            if (list.size() + parsed.name.size() + 2 > capacity) break;
            list.append(parsed.name);
            list.push_back('\0');
        }
    }
    list.push_back('\0');
    return list;
}

int ReadProfileInt(const SettingsFile& file, std::string_view section, std::string_view key,
                   int defaultValue) {
    auto value = FindValue(file, section, key);
    return value ? ParseLeadingInt(*value) : defaultValue;
}

int ReadProfileInt(std::string_view iniPath, std::string_view section, std::string_view key,
                   int defaultValue) {
    return ReadProfileInt(SettingsFile::LoadOrEmpty(iniPath), section, key, defaultValue);
}

std::vector<ProfileKey> ReadProfileSection(const SettingsFile& settings, std::string_view section,
                                           std::size_t capacity) {
    std::vector<ProfileKey> keys;
    const IniFile* file = settings.lines();
    auto range = file ? FindSection(file->lines, AsStoredName(file->form, section)) : std::nullopt;
    if (!range || capacity == 0) return keys;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        ParsedLine parsed = ParseLine(file->lines[i].text);
        if (parsed.kind != LineKind::Key) continue;
        std::string_view value = Unquoted(parsed.value);
        keys.push_back({std::string(parsed.name),
                        std::string(value.substr(0, Cp932PrefixLength(value, capacity - 1)))});
    }
    return keys;
}

bool WriteProfileStrings(std::string_view iniPath, const std::vector<ProfileEdit>& edits) {
    for (const auto& edit : edits) {
        if (!IsWritableEdit(edit)) return false;
    }
    // The stored path is converted once for both the read and the write.
    const auto path = NativePathOf(iniPath);
    std::string before;
    FileState state = LoadForEdit(path, before);
    if (state == FileState::Unusable) return false;

    IniFile file = SplitLines(before);
    for (const auto& edit : edits) {
        const std::string section = AsStoredName(file.form, edit.section);
        const std::string key = AsStoredName(file.form, edit.key);
        if (edit.value) {
            SetKey(file.lines, section, key, *edit.value);
        } else {
            RemoveKey(file.lines, section, key);
        }
    }
    // A UTF-16LE file refuses text that is not valid code page 932.
    auto after = JoinLines(file);
    if (!after) return false;
    // Nothing to do (a removal of an absent key) leaves the file, or its
    // absence, as it was.
    if (*after == before) return true;
    return static_cast<bool>(ReplaceFileContents(*path, *after));
}

bool WriteProfileString(std::string_view iniPath, std::string_view section, std::string_view key,
                        std::optional<std::string_view> value) {
    ProfileEdit edit{std::string(section), std::string(key), std::nullopt};
    if (value) edit.value = std::string(*value);
    return WriteProfileStrings(iniPath, {edit});
}

bool WriteProfileInt(std::string_view iniPath, std::string_view section, std::string_view key,
                     int value) {
    return WriteProfileString(iniPath, section, key, std::to_string(value));
}

bool WriteProfileFlag(std::string_view iniPath, std::string_view section, std::string_view key,
                      bool on) {
    return WriteProfileString(iniPath, section, key, on ? "1" : "0");
}

}  // namespace qm
