// A stand-in for a program the command line starts (the upload tool, the
// window program): writes the arguments it was given, one a line, to its
// own path + ".args", through ".part" so that a reader never sees half.
#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <fstream>

#include "platform/process.h"

namespace {

std::filesystem::path OwnPath() {
#ifdef _WIN32
    std::wstring name(32768, L'\0');
    name.resize(::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    return name;
#else
    return std::filesystem::read_symlink("/proc/self/exe");
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path own = OwnPath();
    std::filesystem::path part = own, args = own;
    part += ".part";
    args += ".args";
    {
        std::ofstream out(part, std::ios::binary);
        for (const std::string& argument : qm::ProgramArguments(argc, argv))
            out << argument << '\n';
    }
    std::filesystem::rename(part, args);
    return 0;
}
