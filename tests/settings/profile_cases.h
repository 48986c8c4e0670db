// The recorded private-profile cases (profile-cases/*.txt): INI files,
// operations and the results the original platform gave for them, read and
// run on a fresh file each against whichever store a test names.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace qm::test {

namespace fs = std::filesystem;
using Field = std::optional<std::string>;  // std::nullopt: the null pointer "\N"

// Undoes the cases' escapes; a malformed escape fails the case.
inline Field Unescape(const std::string& text) {
    if (text == "\\N") return std::nullopt;
    constexpr std::string_view kEscapes("\\\\t\tn\nr\r0\0", 10);
    const auto hex = [&](std::size_t i) {
        return i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i]));
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
        } else if (c = i + 1 < text.size() ? text[++i] : '?';
                   c == 'x' && hex(i + 1) && hex(i + 2)) {
            c = static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (auto at = kEscapes.find(c); at % 2 == 0) {
            c = kEscapes[at + 1];
        } else {
            ADD_FAILURE() << "a malformed escape in: " << text;
        }
        out.push_back(c);
    }
    return out;
}

// The lines of each part of a case, still escaped.
using Parts = std::map<std::string, std::vector<std::string>>;
using Case = std::pair<std::string, Parts>;

inline std::vector<Case> ParseCaseFile(const fs::path& path) {
    std::vector<Case> cases;
    std::istringstream stream(ReadBytes(path.string()));
    std::string part;
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind("=== ", 0) == 0) {
            cases.push_back({path.filename().string() + ": " + line.substr(4), {}});
            part = "stray line";
        } else if (line.rfind("--- ", 0) == 0) {
            part = line.substr(4);
        } else if (!cases.empty()) {  // the text before the first case is left out
            cases.back().second[part].push_back(line);
        }
    }
    return cases;
}

// Every case of every *.txt file, in file name order; QUILLMAKER_PROFILE_CASES
// names another folder.
inline std::vector<Case> RecordedCases() {
    const char* env = std::getenv("QUILLMAKER_PROFILE_CASES");
    const fs::path folder = env && *env ? env : QM_PROFILE_CASES_DIR;
    std::set<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".txt") files.insert(entry);
    std::vector<Case> cases;
    for (const auto& file : files) {
        for (auto& one : ParseCaseFile(file)) cases.push_back(std::move(one));
    }
    EXPECT_FALSE(cases.empty()) << "no case in any *.txt file of " << folder;
    return cases;
}

// Runs one unescaped operation (get, int or write and its fields) on the INI
// file at the UTF-8 path; throws when the operation is malformed.
using OperationRunner =
    std::function<std::string(const std::string& ini, const std::vector<Field>& op)>;

// Every result and the file left behind must come out as recorded, byte for byte.
inline void RunCase(const std::string& name, Parts part, const OperationRunner& run) {
    SCOPED_TRACE(name);
    const auto &ops = part["ops"], &results = part["results"];
    ASSERT_TRUE(part.size() == 4 && part["before"].size() == 1 && part["after"].size() == 1 &&
                ops.size() == results.size())
        << "the case is malformed";
    TempDir dir;
    const std::string ini = dir / "case.ini";
    if (Field before = Unescape(part["before"][0])) WriteBytes(ini, *before);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const std::size_t value = results[i].find('\t') + 1;
        std::vector<Field> op;
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
            end = ops[i].find('\t', start);
            op.push_back(Unescape(ops[i].substr(start, end - start)));
        }
        std::string got;
        try {
            got = run(ini, op);
        } catch (const std::exception& e) {
            got = std::string("malformed operation: ") + e.what();
        }
        EXPECT_EQ(got,
                  results[i].substr(0, value) + Unescape(results[i].substr(value)).value_or("\\N"))
            << "operation " << i + 1;
    }
    const Field after = fs::exists(ini) ? Field(ReadBytes(ini)) : std::nullopt;
    EXPECT_EQ(after, Unescape(part["after"][0])) << "the file afterwards";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.dir()), {}), after ? 1 : 0)
        << "a stray file was left beside the INI file";
}

}  // namespace qm::test
