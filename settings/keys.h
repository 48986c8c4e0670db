// Every settings key in one place: section, key, default and capacity.
#pragma once

#include <cstddef>
#include <string_view>

namespace qm {

struct TextKey {
    std::string_view section;
    std::string_view key;
    std::string_view defaultValue;
    std::size_t capacity;
};

struct IntKey {
    std::string_view section;
    std::string_view key;
    int defaultValue;
};

inline constexpr std::string_view kSystemIniName = "QMsys.ini";
inline constexpr std::string_view kReservedSetName = "QMsys";
inline constexpr std::string_view kEntryFileName = "temp.tmp";
// Held by whatever writes pages, so one generate at a time uses the folder.
inline constexpr std::string_view kProgramFolderLockName = "QMgenerate.lock";
// Held by the main window for its life: one window per program folder.
inline constexpr std::string_view kWindowLockName = "QMwindow.lock";
// What the main window keeps of the entry being typed.
inline constexpr std::string_view kDraftFileName = "QMdraft.txt";
inline constexpr std::size_t kPathCapacity = 260;

// The main window's size when none is stored, and the smallest it gets.
inline constexpr int kDefaultWindowWidth = 565;
inline constexpr int kDefaultWindowHeight = 499;

// The system settings file, QMsys.ini.
namespace syskeys {
inline constexpr IntKey kUp{"STATE", "UP", 0};
inline constexpr IntKey kCurrent{"STATE", "CURRENT", 0};
inline constexpr IntKey kWidth{"WINDOWSIZE", "Width", kDefaultWindowWidth};
inline constexpr IntKey kHeight{"WINDOWSIZE", "Height", kDefaultWindowHeight};
inline constexpr std::string_view kSetListSection = "INI";
inline constexpr std::size_t kSetNameCapacity = 256;
inline constexpr std::string_view kTagSection = "TAG";
inline constexpr std::string_view kTagPrefixSection = "TAG_PREFIX";
inline constexpr std::string_view kTagSuffixSection = "TAG_SUFFIX";
inline constexpr std::size_t kTagNameCapacity = 256;        // main window's list
inline constexpr std::size_t kTagEditorNameCapacity = 128;  // tag list editor
inline constexpr std::size_t kTagTextCapacity = 256;
inline constexpr TextKey kLogTitle{"LOGSETTING", "TITLE",
                                   "*m\x8c\x8e*d\x93\xfa\x88\xc8\x8d~\x82\xcc\x93\xfa\x8bL", 512};
}  // namespace syskeys

// A configuration set's file: everything in section FILEPATH.
namespace setkeys {
inline constexpr std::string_view kSection = "FILEPATH";
inline constexpr TextKey kOriginal{kSection, "ORIGINAL", "original.html", kPathCapacity};
inline constexpr TextKey kTemplet{kSection, "TEMPLET", "templet.txt", kPathCapacity};
inline constexpr TextKey kLog{kSection, "LOG", "", kPathCapacity};
inline constexpr TextKey kFtp{kSection, "FTP", "tavmo/tavmo.exe", kPathCapacity};
inline constexpr TextKey kCurrentName{kSection, "CURRENTNAME", "diary-current.html", 256};
inline constexpr IntKey kEdit{kSection, "EDIT", 0};
inline constexpr IntKey kCurrent{kSection, "CURRENT", 0};
inline constexpr IntKey kAlways1{kSection, "ALWAYS1", 0};
inline constexpr std::string_view kQuill = "QUILL";
}  // namespace setkeys

// A set's feed, in a section of its own so that older files stay as they
// were: no file name, no feed.
namespace feedkeys {
inline constexpr std::string_view kSection = "FEED";
inline constexpr TextKey kFile{kSection, "FILE", "", 256};
inline constexpr TextKey kSite{kSection, "SITE", "", 1024};
inline constexpr TextKey kTitle{kSection, "TITLE", "", 512};  // empty: the set's name
inline constexpr IntKey kCount{kSection, "COUNT", 20};
inline constexpr int kMaxCount = 1000;
}  // namespace feedkeys

// A configuration set's web copies of the images its entries show.
namespace imagekeys {
inline constexpr std::string_view kSection = "WEBIMAGE";
inline constexpr IntKey kCopy{kSection, "COPY", 1};
inline constexpr IntKey kLongestSide{kSection, "SIZE", 1600};
inline constexpr IntKey kQuality{kSection, "QUALITY", 85};
}  // namespace imagekeys

class SettingsFile;

// Convenience readers and writers over the tables above.
std::string ReadKey(const SettingsFile& file, const TextKey& key);
int ReadKey(const SettingsFile& file, const IntKey& key);
std::string ReadKey(std::string_view iniPath, const TextKey& key);
int ReadKey(std::string_view iniPath, const IntKey& key);
[[nodiscard]] bool WriteKey(std::string_view iniPath, const TextKey& key, std::string_view value);
[[nodiscard]] bool WriteKey(std::string_view iniPath, const IntKey& key, int value);

}  // namespace qm
