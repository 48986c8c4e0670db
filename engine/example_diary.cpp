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
    for (std::string_view name : kExampleFiles) {
        const std::string from = std::string(exampleFolder) + std::string(name);
        const std::string to = std::string(programDir) + std::string(name);
        if (!FileExists(from)) return {ExampleCopy::Outcome::Missing, from};
        if (FileExists(to)) return {ExampleCopy::Outcome::Exists, to};
    }
    std::vector<std::string> copied;
    for (std::string_view name : kExampleFiles) {
        const std::string to = std::string(programDir) + std::string(name);
        if (!CopyFileTo(std::string(exampleFolder) + std::string(name), to, true)) {
            for (const std::string& path : copied) RemoveFile(path);
            return {ExampleCopy::Outcome::NotCopied, to};
        }
        copied.push_back(to);
    }
    return {};
}

}  // namespace qm
