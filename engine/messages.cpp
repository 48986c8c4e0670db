#include "engine/messages.h"

#include <cstdio>
#include <cstdlib>

#include "platform/encoding.h"

namespace qm {

std::string Sjis(std::string_view utf8) {
    auto converted = Utf8ToCp932(utf8);
    if (!converted) {
        std::fprintf(stderr, "internal error: text not representable in CP932\n");
        std::abort();
    }
    return *converted;
}

std::string AboutFile(std::string_view cp932Path, std::string_view utf8Text) {
    return std::string(cp932Path) + "\r\n" + Sjis(utf8Text);
}

}  // namespace qm
