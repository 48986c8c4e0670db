#include "settings/numbered_list.h"

#include <unordered_map>
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
std::vector<ProfileEdit> RemovalEdits(const SettingsFile& file,
                                      const std::vector<std::string_view>& sections, int index,
                                      int count) {
    std::vector<std::vector<std::string>> values;
    for (auto section : sections) {
        values.push_back(ReadListEntries(file, section, count, kShiftCapacity));
    }
    std::vector<ProfileEdit> edits;
    for (int j = index + 1; j < count; ++j) {
        for (std::size_t s = 0; s < sections.size(); ++s) {
            edits.push_back({std::string(sections[s]), EntryKey(j - 1),
                             values[s][static_cast<std::size_t>(j)]});
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

int CountListEntries(const SettingsFile& file, std::string_view section) {
    return CountNames(ReadProfileKeyList(file, section, kKeyListCapacity));
}

int CountListEntries(std::string_view iniPath, std::string_view section) {
    return CountListEntries(SettingsFile::LoadOrEmpty(iniPath), section);
}

std::string ReadListEntry(const SettingsFile& file, std::string_view section, int index,
                          std::size_t capacity) {
    return ReadProfileString(file, section, EntryKey(index), "", capacity);
}

std::string ReadListEntry(std::string_view iniPath, std::string_view section, int index,
                          std::size_t capacity) {
    return ReadListEntry(SettingsFile::LoadOrEmpty(iniPath), section, index, capacity);
}

std::vector<std::string> ReadListEntries(std::string_view iniPath, std::string_view section,
                                         int count, std::size_t capacity) {
    return ReadListEntries(SettingsFile::LoadOrEmpty(iniPath), section, count, capacity);
}

std::vector<std::string> ReadListEntries(const SettingsFile& file, std::string_view section,
                                         int count, std::size_t capacity) {
    // Entry i is the first key named i, as a lookup by name would find it.
    std::unordered_map<std::string, std::string> byName;
    for (auto& key : ReadProfileSection(file, section, capacity)) {
        byName.emplace(std::move(key.name), std::move(key.value));
    }
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) {
        auto found = byName.find(EntryKey(i));
        entries.push_back(found == byName.end() ? std::string() : found->second);
    }
    return entries;
}

bool RemoveListEntry(std::string_view iniPath, std::string_view section, int index) {
    const SettingsFile file = SettingsFile::LoadOrEmpty(iniPath);
    int count = CountListEntries(file, section);
    // An index outside the list would otherwise drop the last entry.
    if (index < 0 || index >= count) return false;
    return WriteProfileStrings(iniPath, RemovalEdits(file, {section}, index, count));
}

int CountTagEntries(std::string_view systemIniPath) {
    SettingsFile file = SettingsFile::LoadOrEmpty(systemIniPath);
    return CountTagEntries(file);
}

int CountTagEntries(SettingsFile& systemFile) {
    int count = CountListEntries(systemFile, syskeys::kTagSection);
    if (count > 0) return count;
    // A seed that cannot be written leaves the list empty, as the file says.
    if (!WriteTagEntry(systemFile.path(), 0,
                       TagEntry{std::string(kSeedTag), std::string(kSeedTag), ""})) {
        return 0;
    }
    systemFile = SettingsFile::LoadOrEmpty(systemFile.path());
    return CountListEntries(systemFile, syskeys::kTagSection);
}

TagEntry ReadTagEntry(std::string_view systemIniPath, int index, std::size_t nameCapacity) {
    const SettingsFile file = SettingsFile::LoadOrEmpty(systemIniPath);
    return TagEntry{
        ReadListEntry(file, syskeys::kTagSection, index, nameCapacity),
        ReadListEntry(file, syskeys::kTagPrefixSection, index, syskeys::kTagTextCapacity),
        ReadListEntry(file, syskeys::kTagSuffixSection, index, syskeys::kTagTextCapacity),
    };
}

std::vector<TagEntry> ReadTagEntries(std::string_view systemIniPath, int count,
                                     std::size_t nameCapacity) {
    const SettingsFile file = SettingsFile::LoadOrEmpty(systemIniPath);
    const auto names = ReadListEntries(file, syskeys::kTagSection, count, nameCapacity);
    const auto prefixes =
        ReadListEntries(file, syskeys::kTagPrefixSection, count, syskeys::kTagTextCapacity);
    const auto suffixes =
        ReadListEntries(file, syskeys::kTagSuffixSection, count, syskeys::kTagTextCapacity);
    std::vector<TagEntry> entries;
    entries.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        entries.push_back({names[i], prefixes[i], suffixes[i]});
    }
    return entries;
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
    const SettingsFile file = SettingsFile::LoadOrEmpty(systemIniPath);
    int count = CountListEntries(file, syskeys::kTagSection);
    if (index < 0 || index >= count) return false;
    return WriteProfileStrings(systemIniPath, RemovalEdits(file, TagSections(), index, count));
}

}  // namespace qm
