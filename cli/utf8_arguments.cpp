#include "cli/utf8_arguments.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include "platform/wide_text_windows.h"
#endif

namespace qm {

#ifdef _WIN32
Utf8Arguments::Utf8Arguments(int& argc, char**& argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 0; wide != nullptr && i < count; ++i) text_.push_back(Utf8FromWide(wide[i]));
    ::LocalFree(wide);
    ::SetConsoleOutputCP(CP_UTF8);
    for (std::string& argument : text_) pointers_.push_back(argument.data());
    pointers_.push_back(nullptr);
    argc = static_cast<int>(text_.size());
    argv = pointers_.data();
}
#else
Utf8Arguments::Utf8Arguments(int&, char**&) {}
#endif

}  // namespace qm
