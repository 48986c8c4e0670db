// A fresh folder per test, removed afterwards, and small file helpers on it.
#pragma once

#ifdef _WIN32
#include <process.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace qm::test {

class TempDir {
  public:
    TempDir() {
#ifdef _WIN32
        // No mkdtemp: a new name is tried until one is free.
        static unsigned counter = 0;
        const auto base = std::filesystem::temp_directory_path();
        do {
            path_ =
                base / ("qm-test-" + std::to_string(::_getpid()) + "-" + std::to_string(++counter));
        } while (!std::filesystem::create_directory(path_));
        path_ = path_.generic_string();
#else
        std::string pattern = std::filesystem::temp_directory_path() / "qm-test-XXXXXX";
        path_ = ::mkdtemp(pattern.data());
#endif
    }
    ~TempDir() {
        std::error_code ec;
        // Give back write permission first so read-only test files go too.
        std::filesystem::recursive_directory_iterator it(path_, ec), end;
        for (; !ec && it != end; it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder as a string ending in '/'.
    std::string dir() const { return path_.string() + "/"; }
    std::string operator/(std::string_view name) const { return dir() + std::string(name); }

  private:
    std::filesystem::path path_;
};

// A UTF-8 path as std::filesystem takes it on every system (Windows would
// read a plain string in its ANSI code page).
inline std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(FsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qm::test
