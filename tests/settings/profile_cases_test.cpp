// Runs the recorded private-profile cases: INI files, operations and the
// results the original platform gave for them. Every case must come out the
// same, byte for byte, including the file left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

using Field = std::optional<std::string>;  // std::nullopt: the null pointer "\N"

struct ProfileCase {
    std::string file;
    std::string name;
    Field before;
    std::vector<std::vector<Field>> ops;
    std::vector<std::string> results;  // still escaped
    Field after;
    std::string formatError;
};

fs::path CasesFolder() {
    if (const char* env = std::getenv("QUILLMAKER_PROFILE_CASES"); env && *env) return env;
    return QM_PROFILE_CASES_DIR;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
            continue;
        }
        if (++i >= text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\':
                out.push_back('\\');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case '0':
                out.push_back('\0');
                break;
            case 'x': {
                if (i + 2 >= text.size()) return std::nullopt;
                int high = HexDigit(text[i + 1]);
                int low = HexDigit(text[i + 2]);
                if (high < 0 || low < 0) return std::nullopt;
                out.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::string Escape(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                if (byte < 0x20 || byte > 0x7E) {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02x", byte);
                    out += hex;
                } else {
                    out.push_back(c);
                }
        }
    }
    return out;
}

std::string EscapeField(const Field& field) { return field ? Escape(*field) : "\\N"; }

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

// Reads one BYTES line (or "\N") into `out`; false on a malformed escape.
bool ParseBytes(const std::string& line, Field& out) {
    if (line == "\\N") {
        out = std::nullopt;
        return true;
    }
    out = Unescape(line);
    return out.has_value();
}

std::vector<ProfileCase> ParseCaseFile(const fs::path& path) {
    std::vector<ProfileCase> cases;
    std::string content = test::ReadBytes(path.string());
    std::vector<std::string> lines;
    std::istringstream stream(content);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);

    enum class Part { None, Before, Ops, Results, After } part = Part::None;
    int bytesLines = 0;
    for (const auto& line : lines) {
        if (line.rfind("=== ", 0) == 0) {
            cases.push_back(
                {path.filename().string(), line.substr(4), std::nullopt, {}, {}, std::nullopt, {}});
            part = Part::None;
            continue;
        }
        if (cases.empty()) continue;  // text before the first case
        ProfileCase& current = cases.back();
        if (line == "--- before" || line == "--- after") {
            part = line == "--- before" ? Part::Before : Part::After;
            bytesLines = 0;
            continue;
        }
        if (line == "--- ops") {
            part = Part::Ops;
            continue;
        }
        if (line == "--- results") {
            part = Part::Results;
            continue;
        }
        switch (part) {
            case Part::Before:
            case Part::After:
                if (++bytesLines > 1 ||
                    !ParseBytes(line, part == Part::Before ? current.before : current.after)) {
                    current.formatError = "bad file bytes: " + line;
                }
                break;
            case Part::Ops: {
                std::vector<Field> fields;
                for (const auto& raw : SplitTabs(line)) {
                    if (raw == "\\N") {
                        fields.emplace_back(std::nullopt);
                    } else if (auto text = Unescape(raw)) {
                        fields.emplace_back(*text);
                    } else {
                        current.formatError = "bad operation: " + line;
                    }
                }
                current.ops.push_back(fields);
                break;
            }
            case Part::Results:
                current.results.push_back(line);
                break;
            case Part::None:
                if (!line.empty()) current.formatError = "stray line: " + line;
                break;
        }
    }
    return cases;
}

// Runs one operation on the file and gives its result in the cases' form,
// kind and value separated by a tab, the value unescaped.
std::string RunOperation(const std::string& ini, const std::vector<Field>& op) {
    auto arity = [&](std::size_t n) { return op.size() == n && op[1]; };
    const std::string& kind = op.empty() || !op[0] ? std::string() : *op[0];
    if (kind == "get" && arity(5) && op[3] && op[4]) {
        std::size_t capacity = std::stoul(*op[4]);
        if (!op[2]) return "get\t" + ReadProfileKeyList(ini, *op[1], capacity);
        return "get\t" + ReadProfileString(ini, *op[1], *op[2], *op[3], capacity);
    }
    if (kind == "int" && arity(4) && op[2] && op[3]) {
        return "int\t" + std::to_string(ReadProfileInt(ini, *op[1], *op[2], std::stoi(*op[3])));
    }
    if (kind == "write" && arity(4) && op[2]) {
        std::optional<std::string_view> value;
        if (op[3]) value = *op[3];
        return std::string("write\t") +
               (WriteProfileString(ini, *op[1], *op[2], value) ? "1" : "0");
    }
    return "unsupported operation";
}

std::optional<std::string> ExpectedResult(const std::string& escaped) {
    std::size_t tab = escaped.find('\t');
    if (tab == std::string::npos) return std::nullopt;
    auto value = Unescape(escaped.substr(tab + 1));
    if (!value) return std::nullopt;
    return escaped.substr(0, tab + 1) + *value;
}

std::string EscapeResult(const std::string& result) {
    std::size_t tab = result.find('\t');
    if (tab == std::string::npos) return result;
    return result.substr(0, tab) + " " + Escape(result.substr(tab + 1));
}

// Every difference between what the store did and what was recorded.
std::vector<std::string> RunCase(const ProfileCase& c) {
    if (!c.formatError.empty()) return {c.formatError};
    std::vector<std::string> differences;
    if (c.ops.size() != c.results.size()) {
        return {std::to_string(c.ops.size()) + " operations but " +
                std::to_string(c.results.size()) + " results"};
    }
    test::TempDir dir;
    const std::string ini = dir / "case.ini";
    if (c.before) test::WriteBytes(ini, *c.before);

    for (std::size_t i = 0; i < c.ops.size(); ++i) {
        std::string got = RunOperation(ini, c.ops[i]);
        auto expected = ExpectedResult(c.results[i]);
        if (!expected || got != *expected) {
            std::string op;
            for (const auto& field : c.ops[i]) op += (op.empty() ? "" : " ") + EscapeField(field);
            differences.push_back("operation " + std::to_string(i + 1) + " (" + op + "): got \"" +
                                  EscapeResult(got) + "\", expected \"" +
                                  EscapeResult(expected.value_or(c.results[i])) + "\"");
        }
    }

    Field after;
    if (fs::exists(ini)) after = test::ReadBytes(ini);
    if (after != c.after) {
        differences.push_back("file afterwards: got \"" + EscapeField(after) + "\", expected \"" +
                              EscapeField(c.after) + "\"");
    }
    // Nothing but the INI file itself may be left in the folder.
    for (const auto& entry : fs::directory_iterator(dir.dir())) {
        if (entry.path().filename() != "case.ini") {
            differences.push_back("stray file " + entry.path().filename().string());
        }
    }
    return differences;
}

TEST(ProfileCases, EveryRecordedCaseGivesTheRecordedResults) {
    const fs::path folder = CasesFolder();
    ASSERT_TRUE(fs::is_directory(folder)) << "no case folder " << folder;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".txt") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << "no *.txt case file in " << folder;

    int run = 0;
    int differing = 0;
    for (const auto& file : files) {
        for (const auto& c : ParseCaseFile(file)) {
            ++run;
            auto differences = RunCase(c);
            if (differences.empty()) continue;
            ++differing;
            std::string report = c.file + ": " + c.name;
            for (const auto& d : differences) report += "\n    " + d;
            ADD_FAILURE() << report;
        }
    }
    EXPECT_GT(run, 0) << "the case files hold no case";
    EXPECT_EQ(differing, 0) << differing << " of " << run << " cases differ";
}

}  // namespace
}  // namespace qm
