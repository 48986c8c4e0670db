// One command line from a list of arguments and back, split the Windows way:
// what a Windows process start takes, and how the draft file keeps the
// chosen images.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

// `argument` (code page 932) as one argument of a command line that is split
// the Windows way: wrapped in quotes, a quote inside written \", and the
// backslashes just before a quote (or before the closing quote) doubled, so
// the argument stays whole and unchanged whatever it holds.
std::string QuoteArgument(std::string_view argument);

// The arguments, each quoted as above, separated by blanks.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// Splits a command line the way a Windows program splits its own: blanks
// separate, double quotes group and are dropped, and backslashes before a
// quote escape it. The text is UTF-8 (or ASCII): in code page 932 a second
// byte may be 0x5C without being a backslash.
std::vector<std::string> SplitCommandLine(std::string_view text);

}  // namespace qm
