#include "settings/keys.h"

#include <string>

#include "settings/profile.h"

namespace qm {

std::string ReadKey(const SettingsFile& file, const TextKey& key) {
    return ReadProfileString(file, key.section, key.key, key.defaultValue, key.capacity);
}

int ReadKey(const SettingsFile& file, const IntKey& key) {
    return ReadProfileInt(file, key.section, key.key, key.defaultValue);
}

std::string ReadKey(std::string_view iniPath, const TextKey& key) {
    return ReadProfileString(iniPath, key.section, key.key, key.defaultValue, key.capacity);
}

int ReadKey(std::string_view iniPath, const IntKey& key) {
    return ReadProfileInt(iniPath, key.section, key.key, key.defaultValue);
}

bool WriteKey(std::string_view iniPath, const TextKey& key, std::string_view value) {
    return WriteProfileString(iniPath, key.section, key.key, value);
}

bool WriteKey(std::string_view iniPath, const IntKey& key, int value) {
    return WriteProfileInt(iniPath, key.section, key.key, value);
}

}  // namespace qm
