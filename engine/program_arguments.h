// Parameter texts for the programs the diary starts (the upload tool, the
// editor, the manual's viewer).
#pragma once

#include <string>
#include <string_view>

namespace qm {

// `path` as one argument of a command line that is split the Windows way:
// wrapped in quotes, a quote inside doubled so the argument stays whole.
std::string QuoteArgument(std::string_view path);

}  // namespace qm
