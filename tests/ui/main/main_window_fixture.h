// A program folder to run the main window on: the system settings file, the
// configuration sets and their pages and templates, all in a fresh folder.
#pragma once

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/encoding.h"
#include "settings/profile.h"
#include "support/temp_dir.h"
#include "ui/main/main_dialog.h"
#include "ui/support/scripted_interaction.h"

namespace qm::test {

inline std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8).value(); }

inline constexpr std::string_view kPageText =
    "<html>\r\n<!-- ここに挿入 -->\r\n<p>older entry</p>\r\n</html>\r\n";
inline constexpr std::string_view kTemplateText = "<h2>*!</h2>\r\n<p>*?</p>\r\n";

class ProgramFolder {
  public:
    ProgramFolder() { SetFixedClock(ParseLocalTime("2026-12-07 10:20:30")); }
    ~ProgramFolder() { SetFixedClock(std::nullopt); }

    std::string dir() const { return temp_.dir(); }
    std::string path(std::string_view name) const { return temp_ / name; }
    std::string systemIni() const { return path("QMsys.ini"); }

    // The system settings file from UTF-8 lines, stored as Shift-JIS with CR LF.
    void WriteSystemIni(std::string_view utf8Lines) const {
        WriteBytes(systemIni(), Crlf(Sjis(utf8Lines)));
    }
    void WriteFile(std::string_view name, std::string_view utf8) const {
        WriteBytes(path(name), Sjis(utf8));
    }
    std::string ReadFile(std::string_view name) const { return ReadBytes(path(name)); }

    // A set (named in UTF-8) whose prototype page and template lie in this
    // folder, edited in place (split mode 0), so `page` receives the entries.
    void WriteSet(std::string_view name, std::string_view page, std::string_view templ) const {
        std::string lines =
            "[FILEPATH]\nORIGINAL=" + path(page) + "\nTEMPLET=" + path(templ) + "\nEDIT=0\n";
        WriteBytes(path(std::string(name) + ".ini"), Crlf(lines));
    }

    // One set "a" with a page holding the insert marker and a template.
    void WriteOneSet() const {
        WriteSystemIni("[INI]\n0=a\n");
        WriteSet("a", "page.html", "templet.txt");
        WriteFile("page.html", kPageText);
        WriteFile("templet.txt", kTemplateText);
    }

    int ReadInt(std::string_view section, std::string_view key, int defaultValue = -999) const {
        return ReadProfileInt(systemIni(), section, key, defaultValue);
    }
    std::string ReadText(std::string_view section, std::string_view key) const {
        return ReadProfileString(systemIni(), section, key, "<absent>", 1024);
    }

  private:
    static std::string Crlf(std::string_view text) {
        std::string out;
        for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    }

    TempDir temp_;
};

}  // namespace qm::test
