#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <string>

#include "platform/program_dir.h"
#include "platform/wide_text_windows.h"
#include "platform/windows_files.h"

namespace qm {

namespace {

std::wstring WideEnvironmentValue(const wchar_t* name) {
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

// "C:\", "\\server\share\" and their '/' spellings: absolute on Windows.
bool IsAbsoluteWindowsPath(std::wstring_view path) {
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() >= 3 && path[1] == L':' && separator(path[2])) return true;
    return path.size() >= 2 && separator(path[0]) && separator(path[1]);
}

std::string RoamingAppDataFolder() {
    // %APPDATA% first, as the user and the installer see it.
    const std::wstring fromEnvironment = WideEnvironmentValue(L"APPDATA");
    if (IsAbsoluteWindowsPath(fromEnvironment)) return Utf8FromWide(fromEnvironment);
    PWSTR known = nullptr;
    std::string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known))) {
        folder = Utf8FromWide(known);
    }
    ::CoTaskMemFree(known);
    return folder;
}

}  // namespace

std::string ExecutablePath() {
    std::wstring exe(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (length == 0) return {};
        if (length < exe.size()) {
            exe.resize(length);
            return Utf8FromWide(exe);
        }
        exe.resize(exe.size() * 2);  // a long path was cut short
    }
}

std::string ExecutableFolder() {
    const std::string exe = ExecutablePath();
    const auto slash = exe.find_last_of("\\/");
    if (slash == std::string::npos) return NormalizeFolder(".");
    return NormalizeFolder(exe.substr(0, slash + 1));
}

bool EnterFolder(const std::string& dir) {
    const auto wide = WideFromUtf8(dir);
    return wide && ::SetCurrentDirectoryW(wide->c_str()) != 0;
}

bool HandDownProgramFolder(const std::string& dir) {
    const auto name = WideFromUtf8(kProgramFolderVariable);
    const auto value = WideFromUtf8(dir);
    return name && value && ::SetEnvironmentVariableW(name->c_str(), value->c_str()) != 0;
}

std::string HandedDownProgramFolder() {
    const auto name = WideFromUtf8(kProgramFolderVariable);
    const std::wstring dir = name ? WideEnvironmentValue(name->c_str()) : std::wstring();
    return IsAbsoluteWindowsPath(dir) ? NormalizeFolder(Utf8FromWide(dir)) : std::string();
}

std::string UserDataFolder() {
    const std::string appData = RoamingAppDataFolder();
    if (appData.empty()) return {};
    return NormalizeFolder(appData + "/Quillmaker");
}

bool MakeFolder(const std::string& dir) {
    // The user's own profile already keeps others out; each missing level
    // is made in turn, from the root down.
    const std::string folder = NormalizeFolder(dir);
    for (std::size_t slash = folder.find('/'); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const auto wide = WidePathOf(folder.substr(0, slash + 1));
        if (!wide) return false;
        if (!::CreateDirectoryW(wide->c_str(), nullptr)) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) return false;
        }
    }
    const auto wide = WidePathOf(folder);
    if (!wide) return false;
    const DWORD attributes = ::GetFileAttributesW(wide->c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace qm
