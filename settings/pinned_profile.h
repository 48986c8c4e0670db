// A settings file read once and answered from memory. While a PinnedProfile
// lives, every read of that file on this thread gets the bytes read when it was
// made, and every write through the store updates them. A run then sees one
// version of the file, and a read that fails midway cannot turn into defaults
// key by key (a missing EDIT key would quietly write into the prototype).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

class PinnedProfile {
  public:
    explicit PinnedProfile(std::string iniPath);
    ~PinnedProfile();
    PinnedProfile(const PinnedProfile&) = delete;
    PinnedProfile& operator=(const PinnedProfile&) = delete;

    // False when the file exists but could not be read: every key would read
    // as its default.
    bool readable() const { return readable_; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    bool readable_ = true;
    bool owner_ = false;  // an outer pin of the same file keeps its bytes
};

// For the store: the file's bytes, from the pin when it is pinned.
std::optional<std::string> ReadSettingsBytes(std::string_view iniPath);
// For the store: the pin of the file on this thread (holding std::nullopt for
// a file that is not there); nullptr when the file is not pinned.
const std::optional<std::string>* FindPin(std::string_view iniPath);
// For the store: a pinned file was rewritten with `bytes`.
void RepinWrittenBytes(std::string_view iniPath, std::string_view bytes);

}  // namespace qm
