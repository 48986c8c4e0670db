#include <iconv.h>

#include <cerrno>

#include "platform/code_page_932.h"

namespace qm {

namespace {

// One iconv conversion of the whole input; std::nullopt on any invalid or
// unrepresentable character.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                std::size_t used = static_cast<std::size_t>(outPtr - out.data());
                out.resize(out.size() * 2);
                outPtr = out.data() + used;
                outLeft = out.size() - used;
                continue;
            }
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return out;
}

}  // namespace

std::optional<std::string> ConvertUtf8ToCp932(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8);
}

std::optional<std::string> ConvertCp932ToUtf8(std::string_view cp932) {
    return Convert("UTF-8", "CP932", cp932);
}

std::optional<std::string> ConvertUtf16LeToCp932(std::string_view utf16le) {
    return Convert("CP932", "UTF-16LE", utf16le);
}

std::optional<std::string> ConvertUtf8ToUtf16Le(std::string_view utf8) {
    return Convert("UTF-16LE", "UTF-8", utf8);
}

}  // namespace qm
