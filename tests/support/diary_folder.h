// The program folder (--home) every layer's tests build their diary in,
// removed afterwards: settings and pages written from UTF-8 lines as
// Shift-JIS with CR LF, a copy of the example diary, snapshots of every file
// to compare; and a clock held still.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/encoding.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace qm::test {

inline std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8).value(); }

inline std::string Crlf(std::string_view text) {
    std::string out;
    for (const char c : text) c == '\n' ? void(out += "\r\n") : out.push_back(c);
    return out;
}

inline const std::string kNul(1, '\0');
inline const std::string kMarker = Sjis("<!-- ここに挿入 -->");
inline const std::string kLogMarker = Sjis("<!-- ここにログ -->");

inline std::tm Tm(std::string_view localTime) { return ParseLocalTime(localTime).value(); }

struct FixedClock {
    explicit FixedClock(std::string_view localTime) { Set(localTime); }
    ~FixedClock() { SetFixedClock(std::nullopt); }
    FixedClock(const FixedClock&) = delete;
    void Set(std::string_view localTime) { SetFixedClock(Tm(localTime)); }
};

// File name -> bytes of every file of a folder (not in subfolders).
using Files = std::map<std::string, std::string>;

inline Files ReadFolder(const std::string& dir) {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    return files;
}

// The folder holds exactly `files` afterwards.
inline void WriteFolder(const std::string& dir, const Files& files) {
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        std::filesystem::remove_all(entry.path());
    for (const auto& [name, content] : files) WriteBytes(dir + name, content);
}

// How many times `what` occurs in `text`.
inline std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// ".NAME.XXXXXX": how the program names the temporary file of a safe write.
inline bool IsTemporaryName(const std::string& name) {
    return name.size() > 8 && name[0] == '.' && name[name.size() - 7] == '.';
}

inline constexpr std::string_view kPageText =
    "<html>\r\n<!-- ここに挿入 -->\r\n<p>older entry</p>\r\n</html>\r\n";

struct ProgramFolder : TempDir {
    FixedClock clock{"2026-12-07 10:20:30"};

    std::string path(std::string_view name) const { return *this / name; }
    std::string systemIni() const { return path("QMsys.ini"); }
    std::string ReadFile(std::string_view name) const { return ReadBytes(path(name)); }
    void WriteFile(std::string_view name, std::string_view utf8) const {
        WriteBytes(path(name), Sjis(utf8));
    }
    void WriteSystemIni(std::string_view lines) const { WriteFile("QMsys.ini", Crlf(lines)); }

    // A set whose page and template lie here; `extra` e.g. "EDIT=1\n" for monthly pages.
    void WriteSet(std::string_view name, std::string_view page, std::string_view templ,
                  std::string_view extra = "EDIT=0\n") const {
        WriteFile(std::string(name) + ".ini",
                  Crlf("[FILEPATH]\nORIGINAL=" + path(page) + "\nTEMPLET=" + path(templ) + "\n" +
                       std::string(extra)));
    }
    // One set "a" with a page holding the insert marker and a template.
    void WriteOneSet(std::string_view extra = "EDIT=0\n") const {
        WriteSystemIni("[INI]\n0=a\n");
        WriteSet("a", "page.html", "templet.txt", extra);
        WriteFile("page.html", kPageText);
        WriteFile("templet.txt", "<h2>*!</h2>\r\n<p>*?</p>\r\n");
    }
#ifdef QM_EXAMPLE_DIR
    // The example diary: monthly pages beside the program, a log page, a current copy.
    void CopyExample() const { WriteFolder(dir(), ReadFolder(QM_EXAMPLE_DIR)); }
#endif

    int ReadInt(std::string_view section, std::string_view key) const {
        return ReadProfileInt(systemIni(), section, key, -999);
    }
    std::string ReadText(std::string_view section, std::string_view key) const {
        return ReadProfileString(systemIni(), section, key, "<absent>", 1024);
    }
    bool PageHas(std::string_view name, std::string_view utf8) const {
        return ReadFile(name).find(Sjis(utf8)) != std::string::npos;
    }
    // Every file below with its bytes (a folder or FIFO as ""), less the lock file.
    Files Snapshot() const {
        Files files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir()))
            if (e.path().filename() != "QMgenerate.lock")
                files[e.path().string()] = e.is_regular_file() ? ReadBytes(e.path().string()) : "";
        return files;
    }
};

// The smallest file taken for an image: a GIF header, used as it is.
inline constexpr std::string_view kTinyGif("GIF89a\x01\x00\x01\x00\x00\x00", 12);

struct OneSet : ProgramFolder {
    OneSet() { WriteOneSet(); }
};

}  // namespace qm::test
