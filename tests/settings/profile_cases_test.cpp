// Runs the recorded private-profile cases against the INI store: every case
// must come out the same, byte for byte, including the file left behind.
#include "profile_cases.h"

#include "settings/profile.h"

namespace qm {
namespace {

using test::Field;

// A malformed operation throws: a missing field, a null where text is needed.
std::string RunOperation(const std::string& ini, const std::vector<Field>& op) {
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

TEST(ProfileCases, EveryRecordedCaseGivesTheRecordedResults) {
    for (const auto& [name, parts] : test::RecordedCases())
        test::RunCase(name, parts, RunOperation);
}

}  // namespace
}  // namespace qm
