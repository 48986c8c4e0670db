// The example diary installed with the program: a set named "example" with a
// prototype page, an entry template and a log page, ready to write into.
#pragma once

#include <string>
#include <string_view>

namespace qm {

inline constexpr std::string_view kExampleSetName = "example";

struct ExampleCopy {
    enum class Outcome {
        Copied,
        Missing,   // `path` is the example's file that is not there
        Exists,    // `path` is the program folder's file it would overwrite
        NotCopied  // `path` is the file that could not be written
    };
    Outcome outcome = Outcome::Copied;
    std::string path;  // code page 932
};

// Copies the example's set file and the files it names from `exampleFolder`
// into `programDir` (both code page 932, ending in '/'). The program folder's
// own QMsys.ini is kept: the caller lists the set. All or nothing: no file is
// overwritten, and a copy that fails midway removes what it had copied.
ExampleCopy CopyExampleDiary(std::string_view exampleFolder, std::string_view programDir);

}  // namespace qm
