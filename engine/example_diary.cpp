#include "engine/example_diary.h"

#include <array>
#include <vector>

#include "platform/files.h"

namespace qm {

namespace {

constexpr std::array<std::string_view, 4> kExampleFiles = {"example.ini", "original.html",
                                                           "templet.txt", "log.html"};

}  // namespace

ExampleCopy CopyExampleDiary(std::string_view exampleFolder, std::string_view programDir) {
    const auto stored = [](std::string_view folder, std::string_view name) {
        return std::string(folder) + std::string(name);
    };
    // Each folder converted once; the files' names are the same in every encoding.
    const auto fromFolder = NativePathOf(exampleFolder);
    const auto toFolder = NativePathOf(programDir);
    for (std::string_view name : kExampleFiles) {
        if (!fromFolder || !FileExists(*fromFolder + name)) {
            return {ExampleCopy::Outcome::Missing, stored(exampleFolder, name)};
        }
        if (toFolder && FileExists(*toFolder + name)) {
            return {ExampleCopy::Outcome::Exists, stored(programDir, name)};
        }
    }
    std::vector<NativePath> copied;
    for (std::string_view name : kExampleFiles) {
        if (!toFolder || !CopyFileTo(*fromFolder + name, *toFolder + name, true)) {
            for (const NativePath& path : copied) RemoveFile(path);
            return {ExampleCopy::Outcome::NotCopied, stored(programDir, name)};
        }
        copied.push_back(*toFolder + name);
    }
    return {};
}

}  // namespace qm
