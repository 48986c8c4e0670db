#include "engine/program_arguments.h"

namespace qm {

std::string QuoteArgument(std::string_view path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace qm
