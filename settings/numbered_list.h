// Sections whose keys are "0" … n-1: the set list INI and the tag lists.
// The count is the number of key names in the section (listed into 1,024
// bytes), whatever the names are; entry i is the value of key i.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

inline constexpr std::size_t kKeyListCapacity = 1024;

class SettingsFile;

int CountListEntries(const SettingsFile& file, std::string_view section);
int CountListEntries(std::string_view iniPath, std::string_view section);
std::string ReadListEntry(const SettingsFile& file, std::string_view section, int index,
                          std::size_t capacity);
std::string ReadListEntry(std::string_view iniPath, std::string_view section, int index,
                          std::size_t capacity);
// Entries 0 … count-1, as ReadListEntry gives each.
std::vector<std::string> ReadListEntries(const SettingsFile& file, std::string_view section,
                                         int count, std::size_t capacity);
std::vector<std::string> ReadListEntries(std::string_view iniPath, std::string_view section,
                                         int count, std::size_t capacity);
// Shifts entries index+1 … n-1 down by one, then removes key n-1.
[[nodiscard]] bool RemoveListEntry(std::string_view iniPath, std::string_view section, int index);

// The user's tag list: three parallel lists TAG, TAG_PREFIX, TAG_SUFFIX.
struct TagEntry {
    std::string name;
    std::string prefix;
    std::string suffix;
};

// The tag count; when section TAG is empty it is first seeded with the one
// entry "<HR>" (prefix "<HR>", empty suffix written as a key).
int CountTagEntries(std::string_view systemIniPath);
// The same on the file as read, which is read again after a seed is written.
int CountTagEntries(SettingsFile& systemFile);
TagEntry ReadTagEntry(std::string_view systemIniPath, int index, std::size_t nameCapacity);
// Entries 0 … count-1, as ReadTagEntry gives each, from one read of the file.
std::vector<TagEntry> ReadTagEntries(std::string_view systemIniPath, int count,
                                     std::size_t nameCapacity);
[[nodiscard]] bool WriteTagEntry(std::string_view systemIniPath, int index, const TagEntry& entry);
// Moves the three lists down together, then removes the three tail keys.
[[nodiscard]] bool RemoveTagEntry(std::string_view systemIniPath, int index);

}  // namespace qm
