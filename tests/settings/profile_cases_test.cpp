// Runs the recorded private-profile cases: INI files, operations and the
// results the original platform gave for them. Every case must come out the
// same, byte for byte, including the file left behind.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using Field = std::optional<std::string>;  // std::nullopt: the null pointer "\N"

// Undoes the cases' escapes; a malformed escape fails the case.
Field Unescape(const std::string& text) {
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

std::vector<std::pair<std::string, Parts>> ParseCaseFile(const fs::path& path) {
    std::vector<std::pair<std::string, Parts>> cases;
    std::istringstream stream(test::ReadBytes(path.string()));
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

// A malformed operation throws: a missing field, a null where text is needed.
std::string RunOperation(const std::string& ini, const std::string& line) {
    std::vector<Field> op;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = line.find('\t', start);
        op.push_back(Unescape(line.substr(start, end - start)));
    }
    auto text = [&](std::size_t i) { return op.at(i).value(); };
    if (text(0) == "get" && op.size() == 5) {
        const std::size_t capacity = std::stoul(text(4));
        return "get\t" +
               (op[2] ? ReadProfileString(ini, text(1), *op[2], text(3), capacity)
                      : ReadProfileKeyList(SettingsFile::LoadOrEmpty(ini), text(1), capacity));
    }
    if (text(0) == "int" && op.size() == 4) {
        return "int\t" + std::to_string(ReadProfileInt(ini, text(1), text(2), std::stoi(text(3))));
    }
    if (text(0) == "write" && op.size() == 4) {
        auto value = op[3] ? std::optional<std::string_view>(*op[3]) : std::nullopt;
        return WriteProfileString(ini, text(1), text(2), value) ? "write\t1" : "write\t0";
    }
    throw std::invalid_argument("unknown operation " + text(0));
}

void RunCase(const std::string& name, Parts part) {
    SCOPED_TRACE(name);
    const auto &ops = part["ops"], &results = part["results"];
    ASSERT_TRUE(part.size() == 4 && part["before"].size() == 1 && part["after"].size() == 1 &&
                ops.size() == results.size())
        << "the case is malformed";
    test::TempDir dir;
    const std::string ini = dir / "case.ini";
    if (Field before = Unescape(part["before"][0])) test::WriteBytes(ini, *before);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const std::size_t value = results[i].find('\t') + 1;
        std::string got;
        try {
            got = RunOperation(ini, ops[i]);
        } catch (const std::exception& e) {
            got = std::string("malformed operation: ") + e.what();
        }
        EXPECT_EQ(got,
                  results[i].substr(0, value) + Unescape(results[i].substr(value)).value_or("\\N"))
            << "operation " << i + 1;
    }
    const Field after = fs::exists(ini) ? Field(test::ReadBytes(ini)) : std::nullopt;
    EXPECT_EQ(after, Unescape(part["after"][0])) << "the file afterwards";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.dir()), {}), after ? 1 : 0)
        << "a stray file was left beside the INI file";
}

TEST(ProfileCases, EveryRecordedCaseGivesTheRecordedResults) {
    const char* env = std::getenv("QUILLMAKER_PROFILE_CASES");
    const fs::path folder = env && *env ? env : QM_PROFILE_CASES_DIR;
    std::set<fs::path> files;  // in name order
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".txt") files.insert(entry);
    int run = 0;
    for (const auto& file : files) {
        for (const auto& [name, parts] : ParseCaseFile(file)) {
            ++run;
            RunCase(name, parts);
        }
    }
    EXPECT_GT(run, 0) << "no case in any *.txt file of " << folder;
}

}  // namespace
}  // namespace qm
