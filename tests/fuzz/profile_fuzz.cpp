// The settings store on arbitrary file bytes: the input gives the file (none,
// code page 932 bytes or UTF-16LE after a byte-order mark), then a run of
// reads, writes, key listings and removals. Every write that succeeds must
// read back; a write that fails must leave the file as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <fstream>
#include <iterator>

#include "fuzz_support.h"
#include "platform/encoding.h"
#include "settings/profile.h"

namespace qm::fuzz {
namespace {

// Names that meet each other: ASCII case pairs, double-byte characters whose
// second bytes are case pairs (ア/ヂ, ス/ベ), one whose second byte is ']',
// the two codes of one character (0xED40/0xFA5C), and names the store refuses.
constexpr std::array<std::string_view, 18> kNames = {
    "S",        "s",        "k",        "K",     "FILEPATH", "\x83\x41",
    "\x83\x61", "\x83\x58", "\x83\x78", "\x83]", "\xED\x40", "\xFA\x5C",
    "0",        "10",       "A\x83",    "",      " k",       "[k"};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsUtf16File(const std::string& path) { return ReadAll(path).rfind("\xFF\xFE", 0) == 0; }

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

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// What a value reads back as: a UTF-16LE file keeps one code of a character
// that has two.
std::optional<std::string> AsStored(bool utf16, const std::string& value) {
    if (!utf16) return value;
    auto wide = Cp932ToUtf16Le(value);
    if (!wide) return std::nullopt;
    return Utf16LeToCp932(*wide);
}

void CheckWrite(const std::string& ini, FuzzedDataProvider& input) {
    const std::string section = Name(input);
    const std::string key = Name(input);
    const std::string value = input.ConsumeRandomLengthString(40);
    const std::string before = ReadAll(ini);
    const bool utf16 = IsUtf16File(ini);
    if (!WriteProfileString(ini, section, key, value)) {
        Require(ReadAll(ini) == before, "a failed write leaves the file as it was");
        return;
    }
    auto expected = AsStored(utf16, value);
    Require(expected.has_value(), "a UTF-16LE file takes only code page 932 text");
    Require(ReadProfileString(ini, section, key, "\x01", 1 << 16) == *expected,
            "a written value reads back");
    const std::string list = ReadProfileKeyList(ini, section, 1 << 16);
    Require(list.size() >= 3, "the section of a written key lists it");
}

void CheckWriteInt(const std::string& ini, FuzzedDataProvider& input) {
    const std::string section = Name(input);
    const std::string key = Name(input);
    const int value = input.ConsumeIntegral<int>();
    if (WriteProfileInt(ini, section, key, value)) {
        Require(ReadProfileInt(ini, section, key, value ^ 1) == value,
                "a written integer reads back");
    }
}

void CheckRemove(const std::string& ini, FuzzedDataProvider& input) {
    const std::string before = ReadAll(ini);
    if (!WriteProfileString(ini, Name(input), Name(input), std::nullopt)) {
        Require(ReadAll(ini) == before, "a failed removal leaves the file as it was");
    }
}

void CheckRead(const std::string& ini, FuzzedDataProvider& input) {
    const std::string section = Name(input);
    const std::string key = Name(input);
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
    const std::string list = ReadProfileKeyList(ini, Name(input), capacity);
    Require(list.size() <= std::max<std::size_t>(capacity, 1), "a key list fits its capacity");
    Require(list == std::string(1, '\0') ||
                (list.size() >= 3 && list.compare(list.size() - 2, 2, std::string(2, '\0')) == 0),
            "a key list ends in two NUL bytes");
}

}  // namespace
}  // namespace qm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qm::fuzz;
    FuzzedDataProvider input(data, size);
    const std::string ini = ScratchDir() + "case.ini";
    std::filesystem::remove(ini);
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:  // no file
            break;
        case 1:
            WriteFile(ini, input.ConsumeRandomLengthString(2048));
            break;
        case 2:
            WriteFile(ini, "\xFF\xFE" + Widened(input.ConsumeRandomLengthString(1024)));
            break;
        default:
            WriteFile(ini, "\xFF\xFE" + input.ConsumeRandomLengthString(2048));
            break;
    }
    for (int step = 0; step < 16 && input.remaining_bytes() > 0; ++step) {
        switch (input.ConsumeIntegralInRange(0, 5)) {
            case 0:
                CheckWrite(ini, input);
                break;
            case 1:
                CheckWriteInt(ini, input);
                break;
            case 2:
                CheckRemove(ini, input);
                break;
            case 3:
                CheckList(ini, input);
                break;
            default:
                CheckRead(ini, input);
                break;
        }
    }
    return 0;
}
