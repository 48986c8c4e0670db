// The recorded private-profile cases run against the system's own functions
// too: the store and the system must both give the recorded results. Every
// case is included. They were recorded in code page 932, so they run only
// where that is the ANSI code page (under Wine: LANG=ja_JP.UTF-8, which the
// build's test sets). Under Wine's default code page 1252 three cases differ,
// rightly: case folding beside a lead byte, a section name ending in a lead
// byte, and a UTF-16 file's 日 read as '?'.
#include <windows.h>

#include <algorithm>

#include "profile_cases.h"

namespace qm {
namespace {

using test::Field;

std::string RunSystemOperation(const std::string& ini, const std::vector<Field>& op) {
    auto text = [&](std::size_t i) { return op.at(i).value(); };
    auto pointer = [&](std::size_t i) { return op.at(i) ? op[i]->c_str() : nullptr; };
    std::string path = ini;
    std::replace(path.begin(), path.end(), '/', '\\');
    if (text(0) == "get" && op.size() == 5) {
        std::string buffer(std::stoul(text(4)), '\x01');
        ::GetPrivateProfileStringA(pointer(1), pointer(2), pointer(3), buffer.data(),
                                   static_cast<DWORD>(buffer.size()), path.c_str());
        if (op[2]) return "get\t" + std::string(buffer.c_str());
        // A key list: the names before the empty one that ends it.
        std::string names;
        for (std::size_t at = 0, end; at < buffer.size() && buffer[at] != '\0'; at = end + 1) {
            if ((end = buffer.find('\0', at)) == std::string::npos) break;
            names += buffer.substr(at, end + 1 - at);
        }
        return "get\t" + names + '\0';
    }
    if (text(0) == "int" && op.size() == 4) {
        const UINT value =
            ::GetPrivateProfileIntA(pointer(1), pointer(2), std::stoi(text(3)), path.c_str());
        return "int\t" + std::to_string(static_cast<int>(value));
    }
    if (text(0) == "write" && op.size() == 4) {
        const bool ok =
            ::WritePrivateProfileStringA(pointer(1), pointer(2), pointer(3), path.c_str()) != 0;
        return ok ? "write\t1" : "write\t0";
    }
    throw std::invalid_argument("unknown operation " + text(0));
}

TEST(SystemProfileCases, TheSystemGivesTheRecordedResults) {
    if (::GetACP() != 932) GTEST_SKIP() << "the ANSI code page is not 932";
    for (const auto& [name, parts] : test::RecordedCases()) {
        test::RunCase(name, parts, RunSystemOperation);
    }
}

}  // namespace
}  // namespace qm
