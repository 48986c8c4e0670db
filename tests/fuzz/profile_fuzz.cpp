// The settings store on arbitrary file bytes: the input gives the file (none,
// code page 932 bytes or UTF-16LE after a byte-order mark), then a run of
// reads, writes, key listings and removals. Every write that succeeds must
// read back; a write that fails must leave the file as it was.
#include <array>

#include "fuzz_support.h"
#include "platform/encoding.h"
#include "settings/profile.h"

namespace qm::fuzz {

// Names that meet each other: ASCII case pairs, double-byte characters whose
// second bytes are case pairs (ア/ヂ, ス/ベ), one whose second byte is ']',
// the two codes of one character (0xED40/0xFA5C), and names the store refuses.
constexpr std::array<std::string_view, 18> kNames = {
    "S",        "s",        "k",        "K",     "FILEPATH", "\x83\x41",
    "\x83\x61", "\x83\x58", "\x83\x78", "\x83]", "\xED\x40", "\xFA\x5C",
    "0",        "10",       "A\x83",    "",      " k",       "[k"};

std::string Name(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) return std::string(input.PickValueInArray(kNames));
    return input.ConsumeRandomLengthString(12);
}

// ASCII-ish text as UTF-16LE: each byte becomes one code unit.
std::string Widened(std::string_view text) {
    std::string out;
    for (char c : text) out += {c, '\0'};
    return out;
}

// A write or a removal: one that succeeds reads back, one that fails leaves the file as it was.
void CheckWrite(const std::string& ini, FuzzedDataProvider& input) {
    const bool remove = input.ConsumeBool();
    const std::string section = Name(input), key = Name(input);
    const std::optional<std::string> value =
        remove ? std::nullopt : std::optional(input.ConsumeRandomLengthString(40));
    const std::optional<std::string> before = ReadAll(ini);
    if (!WriteProfileString(ini, section, key, value)) {
        Require(ReadAll(ini) == before, "a failed write or removal leaves the file as it was");
        return;
    }
    if (remove) return;
    // What a value reads back as: a UTF-16LE file keeps one code of a character that has two.
    std::optional<std::string> expected = value;
    if (before.value_or("").rfind("\xFF\xFE", 0) == 0) {
        auto wide = Cp932ToUtf16Le(*value);
        expected = wide ? std::optional(Utf16LeToCp932(*wide)) : std::nullopt;
    }
    Require(expected.has_value(), "a UTF-16LE file takes only code page 932 text");
    Require(ReadProfileString(ini, section, key, "\x01", 1 << 16) == *expected,
            "a written value reads back");
    Require(ReadProfileKeyList(SettingsFile::LoadOrEmpty(ini), section, 1 << 16).size() >= 3,
            "the section of a written key lists it");
}

void CheckWriteInt(const std::string& ini, FuzzedDataProvider& input) {
    const std::string section = Name(input), key = Name(input);
    const int value = input.ConsumeIntegral<int>();
    Require(!WriteProfileInt(ini, section, key, value) ||
                ReadProfileInt(ini, section, key, value ^ 1) == value,
            "a written integer reads back");
}

void CheckRead(const std::string& ini, FuzzedDataProvider& input) {
    const std::string section = Name(input), key = Name(input);
    const std::string defaultValue = input.ConsumeRandomLengthString(16);
    const std::size_t capacity = input.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string whole = ReadProfileString(ini, section, key, defaultValue, 1 << 16);
    const std::string cut = ReadProfileString(ini, section, key, defaultValue, capacity);
    Require(capacity == 0 ? cut.empty() : cut.size() < capacity,
            "a value fits its capacity with its terminator");
    Require(whole.compare(0, cut.size(), cut) == 0, "a cut value is the start of the whole");
    ReadProfileInt(ini, section, key, 0);
}

void CheckList(const std::string& ini, FuzzedDataProvider& input) {
    const std::size_t capacity = input.ConsumeIntegralInRange<std::size_t>(0, 2000);
    const std::string list =
        ReadProfileKeyList(SettingsFile::LoadOrEmpty(ini), Name(input), capacity);
    Require(list.size() <= std::max<std::size_t>(capacity, 1), "a key list fits its capacity");
    Require(list == std::string(1, '\0') ||
                (list.size() >= 3 && list.compare(list.size() - 2, 2, std::string(2, '\0')) == 0),
            "a key list ends in two NUL bytes");
}

QM_FUZZ_TARGET(input) {
    const std::string ini = ScratchDir() + "case.ini";
    const int kind = input.ConsumeIntegralInRange(0, 3);
    std::optional<std::string> bytes;  // no file for kind 0
    if (kind == 1) bytes = input.ConsumeRandomLengthString(2048);
    if (kind == 2) bytes = "\xFF\xFE" + Widened(input.ConsumeRandomLengthString(1024));
    if (kind == 3) bytes = "\xFF\xFE" + input.ConsumeRandomLengthString(2048);
    WriteOrRemove(ini, bytes);
    using Step = void (*)(const std::string&, FuzzedDataProvider&);
    constexpr Step kSteps[] = {CheckWrite, CheckWrite, CheckWriteInt,
                               CheckList,  CheckRead,  CheckRead};
    for (int step = 0; step < 16 && input.remaining_bytes() > 0; ++step) {
        input.PickValueInArray(kSteps)(ini, input);
    }
}

}  // namespace qm::fuzz
