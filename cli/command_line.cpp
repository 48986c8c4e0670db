#include "cli/command_line.h"

#include <unistd.h>

#include <cstring>
#include <string_view>

#include "cli/feed_command_line.h"
#include "cli/generate_command_line.h"
#include "cli/take_back_command_line.h"
#include "platform/clock.h"
#include "platform/encoding.h"
#include "platform/program_dir.h"

#ifndef QM_VERSION_TEXT
#define QM_VERSION_TEXT "0.0.0"
#endif

namespace qm {

namespace {

// The value of "--name VALUE" or "--name=VALUE" at argv[i]; advances i past it.
std::optional<std::string> OptionValue(std::string_view name, int argc, char** argv, int& i,
                                       std::string& error) {
    std::string_view arg = argv[i];
    if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
        return std::string(arg.substr(name.size() + 1));
    }
    if (i + 1 >= argc) {
        error = std::string(name) + " needs a value";
        return std::nullopt;
    }
    ++i;
    return std::string(argv[i]);
}

bool IsOption(std::string_view arg, std::string_view name) {
    return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                           arg[name.size()] == '=');
}

std::optional<GlobalOptions> ParseGlobalOptions(int argc, char** argv, std::string& error) {
    GlobalOptions options;
    options.startDir = NormalizeFolder(".");
    std::optional<std::string> home;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (IsOption(arg, "--home")) {
            home = OptionValue("--home", argc, argv, i, error);
            if (!home) return std::nullopt;
            if (home->empty()) {
                error = "--home needs a folder";
                return std::nullopt;
            }
        } else if (IsOption(arg, "--now")) {
            auto text = OptionValue("--now", argc, argv, i, error);
            if (!text) return std::nullopt;
            options.fixedNow = ParseLocalTime(*text);
            if (!options.fixedNow) {
                error = "--now wants \"YYYY-MM-DD HH:MM:SS\", not \"" + *text + "\"";
                return std::nullopt;
            }
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version" || arg == "-V") {
            options.version = true;
        } else {
            options.rest.emplace_back(arg);
        }
    }
    options.homeGiven = home.has_value();
    options.homeDir = home ? NormalizeFolder(*home) : DefaultProgramFolder(ExecutableFolder());
    if (options.homeDir.empty()) {
        error = "no home folder is known for the settings; name one with --home DIR";
        return std::nullopt;
    }
    return options;
}

bool ApplyOptions(const GlobalOptions& options, std::string& error) {
    if (!Utf8ToCp932(options.homeDir)) {
        error = "the program folder " + options.homeDir + " has a name Shift-JIS cannot hold";
        return false;
    }
    if (!options.homeGiven && !MakeFolder(options.homeDir)) {
        error = "cannot make the settings folder " + options.homeDir + ": " + std::strerror(errno);
        return false;
    }
    if (!EnterFolder(options.homeDir)) {
        error = "cannot enter the program folder " + options.homeDir + ": " + std::strerror(errno);
        return false;
    }
    if (!HandDownProgramFolder(options.homeDir)) {
        error = "cannot hand the program folder to the upload tool: " +
                std::string(std::strerror(errno));
        return false;
    }
    if (options.fixedNow) SetFixedClock(options.fixedNow);
    return true;
}

}  // namespace

std::optional<GlobalOptions> ReadGlobalOptions(int argc, char** argv, int& exitCode) {
    std::string error;
    auto options = ParseGlobalOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "quillmaker: %s\n", error.c_str());
        exitCode = 2;
        return std::nullopt;
    }
    if (options->help || options->version) {
        options->help ? PrintUsage(stdout) : PrintVersion(stdout);
        exitCode = 0;
        return std::nullopt;
    }
    return options;
}

bool ApplyGlobalOptions(const GlobalOptions& options) {
    std::string error;
    if (ApplyOptions(options, error)) return true;
    std::fprintf(stderr, "quillmaker: %s\n", error.c_str());
    return false;
}

std::string ProgramDirCp932(const GlobalOptions& options) {
    // ApplyGlobalOptions has refused a folder that code page 932 cannot hold.
    return Utf8ToCp932(options.homeDir).value_or(std::string());
}

int RunSubcommand(const GlobalOptions& options) {
    if (options.rest.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string& command = options.rest.front();
    if (command == "generate") return RunGenerateCommandLine(options);
    if (command == "undo") return RunTakeBackCommandLine(options);
    if (command == "feed") return RunFeedCommandLine(options);
    // One line says what was wrong; the whole help would bury it.
    std::fprintf(stderr, "quillmaker: unknown %s \"%s\"\ntry: quillmaker --help\n",
                 command.front() == '-' ? "option" : "command", command.c_str());
    return 2;
}

void PrintVersion(std::FILE* out) { std::fprintf(out, "quillmaker %s\n", QM_VERSION_TEXT); }

void PrintUsage(std::FILE* out) {
    std::fputs(
        "usage: quillmaker [--home DIR] [--now \"YYYY-MM-DD HH:MM:SS\"] [COMMAND ...]\n"
        "       quillmaker --help | --version\n"
        "\n"
        "Without a command the main window opens.\n"
        "\n"
        "Global options (any command):\n"
        "  --home DIR     use DIR as the program folder (QMsys.ini, the sets' .ini files,\n"
        "                 temp.tmp and the relative default paths); it becomes the\n"
        "                 working directory. Without it the program folder is the\n"
        "                 executable's own folder when that holds QMsys.ini (a portable\n"
        "                 folder), else $XDG_DATA_HOME/quillmaker/ (by default\n"
        "                 ~/.local/share/quillmaker/), made on first start\n"
        "  --now TIME     every reading of the clock in this run returns TIME, local time\n"
        "                 \"YYYY-MM-DD HH:MM:SS\"\n"
        "  -h, --help     print this help\n"
        "  -V, --version  print the version\n"
        "\n"
        "Commands:\n"
        "  generate [--set NAME] --title TEXT (--body TEXT | --body-file FILE | --body-file -)\n"
        "           [--image PATH [--alt TEXT]] [--upload | --no-upload] [--dry-run]\n"
        "      Writes one entry into today's diary page of the stored set (STATE/CURRENT),\n"
        "      or of set NAME for this run only, exactly as \"Do It !!!\" does: the page\n"
        "      rolls over when a new period has begun, the log page gains its link, the\n"
        "      current copy is refreshed. Texts and the body file are UTF-8; the body's\n"
        "      line ends become CR LF. --image makes PATH's web copy (upright, at most\n"
        "      WEBIMAGE/SIZE pixels long, without metadata) in images/ beside the pages,\n"
        "      uploads it and names it, with its size, in the entry's image tag (with\n"
        "      --alt as its alt text); a file that is no JPEG, PNG or GIF stops it.\n"
        "      The upload tool is started with --upload, or when neither --upload nor\n"
        "      --no-upload is given and STATE/UP is 1.\n"
        "      Every message the window would show is printed to standard error as\n"
        "      \"caption: text\"; where the window would open a settings dialog the\n"
        "      command prints the message and stops.\n"
        "      --dry-run prints the composed entry and the page it would go into, and\n"
        "      the feed's entry when the set keeps a feed, and changes no file.\n"
        "      One generate at a time per program folder: another one (window or\n"
        "      command line) waits up to two seconds, then stops writing nothing.\n"
        "      The body file must be a regular file (or - for standard input) of\n"
        "      well-formed UTF-8 text without NUL bytes.\n"
        "      On success prints the path of the diary page written.\n"
        "      Exit status: 0 written (and the upload tool started when asked),\n"
        "      1 nothing written, 2 usage error, 3 written but the upload tool\n"
        "      could not be started.\n"
        "  undo [--upload | --no-upload]\n"
        "      Takes back the last entry written by generate or \"Do It !!!\": the diary\n"
        "      page, the log page, the current copy and the feed get back the bytes\n"
        "      they held before it, and a page that generate started is removed with\n"
        "      its log link, an image's web copy it made with it. Nothing is touched\n"
        "      when any of them has changed since; the message names it. Only the last\n"
        "      generate can be taken back, once.\n"
        "      The upload tool is started with the restored files as for generate.\n"
        "      Exit status: 0 taken back, 1 nothing taken back, 2 usage error,\n"
        "      3 taken back but the upload tool could not be started.\n"
        "  feed [--set NAME] [--path FILE] [--site URL] [--title TEXT] [--count N]\n"
        "      Shows the feed of the stored set (or of set NAME), or sets what is given:\n"
        "      FILE, a file name in the diary folder that every generate rewrites as an\n"
        "      Atom feed (UTF-8) of the newest N entries (1 to 1000, by default 20),\n"
        "      newest first, uploaded with the page and taken back by undo; URL, the\n"
        "      diary folder's address on the web (http:// or https://, ending in /);\n"
        "      TEXT, the feed's title (empty: the set's name). --path \"\" keeps no feed.\n"
        "      A feed that cannot be written is said; the entry is written all the same.\n"
        "      Exit status: 0 shown or set, 1 the settings could not be read or\n"
        "      written, 2 usage error or settings that cannot be used.\n"
        "  edit FILE\n"
        "      Opens FILE (Shift-JIS) in a small plain-text editor window.\n",
        out);
}

}  // namespace qm
