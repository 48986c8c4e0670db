#include "engine/last_entry.h"

#include <charconv>

#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/scratch_file.h"

namespace qm {

namespace {

constexpr std::string_view kFormatLine = "Quillmaker last entry 1\n";
constexpr std::string_view kFields[] = {"title", "body", "image", "alt", "images"};

// Each field: a line "name length", that many bytes, a line end.
void AppendField(std::string& out, std::string_view name, std::string_view value) {
    out.append(name).append(" ").append(std::to_string(value.size())).append("\n");
    out.append(value).append("\n");
}

std::optional<std::string> TakeField(std::string_view bytes, std::size_t& at,
                                     std::string_view name) {
    const std::string head = std::string(name) + " ";
    const std::size_t lineEnd = bytes.find('\n', at);
    if (lineEnd == std::string_view::npos || bytes.substr(at, head.size()) != head) {
        return std::nullopt;
    }
    std::size_t length = 0;
    const char* first = bytes.data() + at + head.size();
    const auto [end, error] = std::from_chars(first, bytes.data() + lineEnd, length);
    if (error != std::errc() || end != bytes.data() + lineEnd) return std::nullopt;
    const std::size_t valueAt = lineEnd + 1;
    if (length >= bytes.size() - valueAt || bytes[valueAt + length] != '\n') return std::nullopt;
    at = valueAt + length + 1;
    return std::string(bytes.substr(valueAt, length));
}

}  // namespace

std::string LastEntryPath(const std::string& programDirCp932) {
    return programDirCp932 + std::string(kLastEntryFileName);
}

void ForgetLastEntry(const FileResult<NativePath>& programDir) {
    if (!programDir) return;
    const NativePath path = *programDir + kLastEntryFileName;
    if (FileExists(path)) RemoveFile(path);
}

bool KeepLastEntry(const FileResult<NativePath>& programDir, const EntryInput& input,
                   const std::vector<std::string>& imageUploadList) {
    std::string out(kFormatLine);
    const std::string images = JoinCommandLine(imageUploadList);
    const std::string_view values[] = {input.title, input.body, input.imageName, input.altText,
                                       images};
    for (std::size_t i = 0; i < std::size(kFields); ++i) AppendField(out, kFields[i], values[i]);
    return programDir && ReplaceScratchFile(*programDir + kLastEntryFileName, out).has_value();
}

std::optional<LastEntry> ReadLastEntry(const FileResult<NativePath>& programDir) {
    if (!programDir) return std::nullopt;
    const auto bytes = ReadRegularFile(*programDir + kLastEntryFileName);
    if (!bytes || !bytes->starts_with(kFormatLine)) return std::nullopt;
    std::size_t at = kFormatLine.size();
    LastEntry entry;
    std::string images;
    std::string* values[] = {&entry.title, &entry.body, &entry.imageName, &entry.altText, &images};
    for (std::size_t i = 0; i < std::size(kFields); ++i) {
        auto value = TakeField(*bytes, at, kFields[i]);
        if (!value) return std::nullopt;
        *values[i] = std::move(*value);
    }
    if (at != bytes->size()) return std::nullopt;
    entry.imageUploadList = SplitCommandLine(images);
    return entry;
}

}  // namespace qm
