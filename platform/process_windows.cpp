#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "platform/command_line.h"
#include "platform/encoding.h"
#include "platform/path_text.h"
#include "platform/process.h"
#include "platform/program_dir.h"
#include "platform/wide_text_windows.h"

namespace qm {

namespace {

StartResult FromStartError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return StartResult::Missing;
        case ERROR_ACCESS_DENIED:
        case ERROR_BAD_EXE_FORMAT:
        case ERROR_EXE_MACHINE_TYPE_MISMATCH:
        case ERROR_DIRECTORY:
            return StartResult::NotExecutable;
        default:
            return StartResult::Failed;
    }
}

// A program named by a path: is it there, and is it a file?
std::optional<StartResult> CheckProgramFile(const std::wstring& program) {
    const DWORD attributes = ::GetFileAttributesW(program.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FromStartError(::GetLastError());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return StartResult::NotExecutable;
    return std::nullopt;
}

// A file's native text names it with '/'; a Windows program is handed an
// absolute path ("C:/...", "//server/...") with '\', as it would be typed.
// Words such as "/set" stay as they are.
std::string WindowsArgument(std::string text) {
    const bool drivePath = text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) &&
                           text[1] == ':' && text[2] == '/';
    if (drivePath || text.starts_with("//")) std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

// The desktop's opener is the shell itself: it opens the file (or address)
// with the program the user chose for it.
StartResult OpenWithShell(const std::vector<std::string>& nativeArguments) {
    if (nativeArguments.empty()) return StartResult::Refused;
    const auto wide = WideFromUtf8(WindowsArgument(nativeArguments.front()));
    if (!wide) return StartResult::Refused;
    const auto answer = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", wide->c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return answer > 32 ? StartResult::Started : StartResult::Refused;
}

}  // namespace

std::vector<std::string> ProgramArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    ::LocalFree(wide);
    ::SetConsoleOutputCP(CP_UTF8);
    return arguments;
}

StartResult StartProgram(std::string_view programCp932,
                         const std::vector<std::string>& nativeArguments, StartWait wait) {
    if (programCp932.empty()) return StartResult::NoProgram;
    auto program = ToFsPath(programCp932);
    if (!program) return StartResult::Missing;  // no file has such a name
    const std::string ownFolder = ExecutableFolder();
    *program = LocateProgram(*program, {ownFolder, InstalledHelperFolder(ownFolder)});
    // A bare name is searched by the system: the program's own folder, the
    // working directory (the program folder), the system folders, then PATH.
    const bool bareName = program->find('/') == std::string::npos;
    std::optional<std::wstring> application;
    if (!bareName) {
        application = WideFromUtf8(*program);
        if (!application) return StartResult::Missing;
        if (const auto problem = CheckProgramFile(*application)) return *problem;
    }
    if (wait == StartWait::ForOpener) return OpenWithShell(nativeArguments);

    // The one place the list becomes a command line, by the rules Windows
    // programs split their own by.
    std::vector<std::string> words{WindowsArgument(*program)};
    for (const std::string& argument : nativeArguments) words.push_back(WindowsArgument(argument));
    auto wideLine = WideFromUtf8(JoinCommandLine(words));
    if (!wideLine) return StartResult::Failed;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // Never waited for: the handles are closed at once and the program runs on.
    if (!::CreateProcessW(application ? application->c_str() : nullptr, wideLine->data(), nullptr,
                          nullptr, FALSE, CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup,
                          &started)) {
        return FromStartError(::GetLastError());
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return StartResult::Started;
}

std::string SelfProgramCp932() { return Utf8ToCp932(ExecutablePath()).value_or(std::string()); }

StartResult StartWithOwnArguments(const std::string& programUtf8) {
    auto program = WideFromUtf8(programUtf8);
    if (!program) return StartResult::Missing;
    std::replace(program->begin(), program->end(), L'/', L'\\');
    if (const auto problem = CheckProgramFile(*program)) return *problem;
    // The own name ends at its closing quote when quoted, else at the first blank.
    std::wstring_view rest = ::GetCommandLineW();
    if (!rest.empty() && rest.front() == L'"') {
        const auto close = rest.find(L'"', 1);
        rest.remove_prefix(close == std::wstring_view::npos ? rest.size() : close + 1);
    } else {
        rest.remove_prefix(std::min(rest.size(), rest.find_first_of(L" \t")));
    }
    std::wstring line = L"\"" + *program + L"\"";
    line += rest;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program->c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started)) {
        return FromStartError(::GetLastError());
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return StartResult::Started;
}

}  // namespace qm
