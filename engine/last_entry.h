// What the user typed for the last entry written, kept in the program folder
// until the next one: taking the entry back gives the words back to mend and
// send again instead of typing them anew.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/entry.h"
#include "platform/file_result.h"
#include "platform/native_path.h"

namespace qm {

inline constexpr std::string_view kLastEntryFileName = "QMlastentry.txt";

// The fields as typed, code page 932 (the body's lines end in CR LF).
struct LastEntry {
    std::string title;
    std::string body;
    std::string imageName;
    std::string altText;
    std::vector<std::string> imageUploadList;
};

// The file's path as the messages show it.
std::string LastEntryPath(const std::string& programDirCp932);

// The functions below take the program folder as the file system names it.
// Before an entry goes in: the text kept is another entry's from now on.
void ForgetLastEntry(const FileResult<NativePath>& programDir);
// After it went in; false when it could not be kept.
bool KeepLastEntry(const FileResult<NativePath>& programDir, const EntryInput& input,
                   const std::vector<std::string>& imageUploadList);
// std::nullopt when none is kept or the file is not whole.
std::optional<LastEntry> ReadLastEntry(const FileResult<NativePath>& programDir);

}  // namespace qm
