// The two kinds of path. Text as stored in the settings and pages is code
// page 932 and may use '\' or '/' (a std::string_view named ...Cp932 or
// stored...); a NativePath is the name the file system takes (UTF-8 on
// POSIX, '/' separators). A stored path becomes a native one through
// NativePathOf, which refuses what the file system could not be given.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/file_result.h"

namespace qm {

class NativePath {
  public:
    NativePath() = default;
    explicit NativePath(std::string text) : text_(std::move(text)) {}

    const std::string& str() const { return text_; }
    const char* c_str() const { return text_.c_str(); }
    bool empty() const { return text_.empty(); }
    bool operator==(const NativePath&) const = default;

    // The folder part with its separator kept; empty when there is none.
    // Windows takes '\' as well, and a path may come from the system so.
    NativePath Folder() const {
#ifdef _WIN32
        const auto slash = text_.find_last_of("/\\");
#else
        const auto slash = text_.rfind('/');
#endif
        return NativePath(slash == std::string::npos ? std::string() : text_.substr(0, slash + 1));
    }

    // A file in this folder (which ends in a separator) by a name whose bytes
    // are the same in every encoding, such as "temp.tmp".
    NativePath operator+(std::string_view asciiName) const {
        return NativePath(text_ + std::string(asciiName));
    }

  private:
    std::string text_;
};

// The file system's name for a stored path; refused when the path is empty
// or not valid Shift-JIS.
FileResult<NativePath> NativePathOf(std::string_view storedCp932);

// What an empty stored path converts to.
FileProblem NoFileName();

}  // namespace qm
