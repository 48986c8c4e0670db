// Writes each argument it was given, as the C runtime split them, in code
// page 932 and on a line of its own, into the file QM_RECORD_TO names.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    std::string out;
    for (int i = 1; i < argc; ++i) {
        char bytes[4096];
        const int n =
            ::WideCharToMultiByte(932, 0, argv[i], -1, bytes, sizeof bytes, nullptr, nullptr);
        out.append(bytes, n > 0 ? static_cast<std::size_t>(n - 1) : 0);
        out += '\n';
    }
    const wchar_t* target = _wgetenv(L"QM_RECORD_TO");
    if (target == nullptr) return 2;
    // Written under another name first, so a reader never sees half of it.
    const std::wstring part = std::wstring(target) + L".part";
    FILE* file = _wfopen(part.c_str(), L"wb");
    if (file == nullptr) return 1;
    std::fwrite(out.data(), 1, out.size(), file);
    std::fclose(file);
    return ::MoveFileExW(part.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
