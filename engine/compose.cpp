#include <string>

#include "engine/entry.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "engine/tokens.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/scratch_file.h"
#include "settings/active_config.h"
#include "settings/keys.h"

namespace qm {

namespace {

// Replaces the entry file, held without sharing when it exists; a failure
// leaves the old entry file, or none, as it was. The entry goes on from
// memory, so the file is not flushed to the disk.
FileStatus WriteEntryFile(const FileResult<NativePath>& entryFile, std::string_view entry) {
    if (!entryFile) return entryFile.problem();
    const NativePath& path = *entryFile;
    const auto held = LockedFile::Open(path, LockedFile::Mode::OpenExisting);
    if (!held && FileExists(path)) return held.problem();
    return ReplaceScratchFile(path, entry);
}

}  // namespace

std::string ConvertBody(std::string_view body) {
    static constexpr std::string_view kBreak = "<BR>\r\n";
    std::string out;
    out.reserve(body.size() + body.size() / 4);
    std::size_t i = 0;
    while (i < body.size()) {
        // CR and LF never occur inside a double-byte character.
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') {
            out += kBreak;
            i += 2;
        } else {
            out += body[i];
            ++i;
        }
    }
    return out;
}

std::string ImageTag(const EntryInput& input, bool imageChosen) {
    if (!imageChosen || input.imageName.empty()) return {};
    std::string tag = "<img src=\"";
    tag += input.imageName;
    tag += "\" alt=\"";
    tag += input.altText;
    tag += '"';
    if (input.imageWidth > 0 && input.imageHeight > 0) {
        tag += " width=\"" + std::to_string(input.imageWidth) + "\" height=\"" +
               std::to_string(input.imageHeight) + '"';
    }
    tag += " >";
    return tag;
}

std::string ComposeEntryText(std::string_view templateText, const EntryInput& input,
                             bool imageChosen, const std::tm& time) {
    EntryContent content;
    content.title = input.title;
    content.body = ConvertBody(input.body);
    content.imageTag = ImageTag(input, imageChosen);

    // The same second of any minute gives the same digits, as it always has.
    CRandom random(static_cast<unsigned>(time.tm_sec));

    // The entry begins with the marker itself, so after insertion the marker
    // stays in the page directly above the newest entry.
    std::string out = Sjis(msg::kInsertMarker);
    out += "\r\n<!-- ";
    out += FormatTime("%c", time);
    out += Sjis(msg::kEntryHeaderSignature);
    out +=
        ExpandTokens(TextUpToNul(templateText), TokenSet::EntryTemplate, time, &content, &random);
    return out;
}

std::string ComposeEntryText(std::string_view templateText, const EntryInput& input,
                             bool imageChosen) {
    return ComposeEntryText(templateText, input, imageChosen, ReadLocalClock());
}

std::optional<std::string> ComposeEntry(const ActiveConfig& config, const EntryInput& input,
                                        bool imageChosen, Host& host) {
    // A missing template is created empty, so the user finds the file to fill in.
    const auto& templatePath = config.native.templatePath;
    auto templateFile = templatePath
                            ? LockedFile::Open(*templatePath, LockedFile::Mode::CreateIfMissing)
                            : FileResult<LockedFile>(templatePath.problem());
    if (!templateFile) {
        host.ShowMessage(SjisWithFileProblem(msg::kTemplateOpenText, templateFile.problem()),
                         Sjis(msg::kTemplateOpenCaption));
        return std::nullopt;
    }

    const std::tm now = ReadLocalClock();
    auto templateBytes = templateFile->ReadAll();
    if (!templateBytes || templateBytes->empty()) {
        host.ShowMessage(templateBytes
                             ? Sjis(msg::kReadFailedText)
                             : SjisWithFileProblem(msg::kReadFailedText, templateBytes.problem()),
                         Sjis(msg::kReadFailedCaption));
        return std::nullopt;
    }

    std::string entry = ComposeEntryText(*templateBytes, input, imageChosen, now);
    // The entry file is kept for whoever looks at it, but the entry goes on
    // from memory: the file needs no trip to the disk.
    // A NUL that came in with the input would end the entry there when the
    // file is read back; the file and the entry hold the same text.
    entry.resize(TextUpToNul(entry).size());
    const FileStatus written = WriteEntryFile(NativeProgramFile(config, kEntryFileName), entry);
    if (!written) {
        host.ShowMessage(SjisWithFileProblem(msg::kWriteFailedText, written.problem()),
                         Sjis(msg::kWriteFailedCaption));
        return std::nullopt;
    }
    return entry;
}

}  // namespace qm
