#include "settings/numbered_list.h"

#include <vector>

#include "settings/keys.h"
#include "settings/profile.h"

namespace qm {

namespace {

// Values are moved whole when entries shift down, whatever a display
// capacity would cut them to: a removal must not shorten the others.
constexpr std::size_t kShiftCapacity = 65536;

constexpr std::string_view kSeedTag = "<HR>";

std::string EntryKey(int index) { return std::to_string(index); }

int CountNames(const std::string& list) {
    if (list.empty() || list.front() == '\0') return 0;
    int count = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] != '\0') continue;
        ++count;
        if (i + 1 >= list.size() || list[i + 1] == '\0') break;
    }
    return count;
}

// The edits that remove entry `index` of each section, moving the later
// entries down by one; the sections move in step.
std::vector<ProfileEdit> RemovalEdits(std::string_view iniPath,
                                      const std::vector<std::string_view>& sections, int index,
                                      int count) {
    std::vector<ProfileEdit> edits;
    for (int j = index + 1; j < count; ++j) {
        for (auto section : sections) {
            edits.push_back({std::string(section), EntryKey(j - 1),
                             ReadListEntry(iniPath, section, j, kShiftCapacity)});
        }
    }
    for (auto section : sections) {
        edits.push_back({std::string(section), EntryKey(count - 1), std::nullopt});
    }
    return edits;
}

const std::vector<std::string_view>& TagSections() {
    static const std::vector<std::string_view> sections{
        syskeys::kTagSection, syskeys::kTagPrefixSection, syskeys::kTagSuffixSection};
    return sections;
}

}  // namespace

int CountListEntries(std::string_view iniPath, std::string_view section) {
    return CountNames(ReadProfileKeyList(iniPath, section, kKeyListCapacity));
}

std::string ReadListEntry(std::string_view iniPath, std::string_view section, int index,
                          std::size_t capacity) {
    return ReadProfileString(iniPath, section, EntryKey(index), "", capacity);
}

bool AppendListEntry(std::string_view iniPath, std::string_view section, std::string_view value) {
    return WriteProfileString(iniPath, section, EntryKey(CountListEntries(iniPath, section)),
                              value);
}

bool RemoveListEntry(std::string_view iniPath, std::string_view section, int index) {
    int count = CountListEntries(iniPath, section);
    // An index outside the list would otherwise drop the last entry.
    if (index < 0 || index >= count) return false;
    return WriteProfileStrings(iniPath, RemovalEdits(iniPath, {section}, index, count));
}

int CountTagEntries(std::string_view systemIniPath) {
    int count = CountListEntries(systemIniPath, syskeys::kTagSection);
    if (count > 0) return count;
    // A seed that cannot be written leaves the list empty, as the file says.
    if (!WriteTagEntry(systemIniPath, 0,
                       TagEntry{std::string(kSeedTag), std::string(kSeedTag), ""})) {
        return 0;
    }
    return CountListEntries(systemIniPath, syskeys::kTagSection);
}

TagEntry ReadTagEntry(std::string_view systemIniPath, int index, std::size_t nameCapacity) {
    return TagEntry{
        ReadListEntry(systemIniPath, syskeys::kTagSection, index, nameCapacity),
        ReadListEntry(systemIniPath, syskeys::kTagPrefixSection, index, syskeys::kTagTextCapacity),
        ReadListEntry(systemIniPath, syskeys::kTagSuffixSection, index, syskeys::kTagTextCapacity),
    };
}

bool WriteTagEntry(std::string_view systemIniPath, int index, const TagEntry& entry) {
    if (index < 0) return false;
    std::string key = EntryKey(index);
    return WriteProfileStrings(systemIniPath,
                               {{std::string(syskeys::kTagSection), key, entry.name},
                                {std::string(syskeys::kTagPrefixSection), key, entry.prefix},
                                {std::string(syskeys::kTagSuffixSection), key, entry.suffix}});
}

bool RemoveTagEntry(std::string_view systemIniPath, int index) {
    int count = CountListEntries(systemIniPath, syskeys::kTagSection);
    if (index < 0 || index >= count) return false;
    return WriteProfileStrings(systemIniPath,
                               RemovalEdits(systemIniPath, TagSections(), index, count));
}

}  // namespace qm
