// The asterisk token language of the entry template and the log link title.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace qm {

class CRandom;

enum class TokenSet { EntryTemplate, LogTitle };

// The values of the entry template's content tokens *! *? *$.
struct EntryContent {
    std::string title;     // *!
    std::string body;      // *?  already converted (CR LF -> "<BR>\r\n")
    std::string imageTag;  // *$  or empty
};

// Expands `text` (code page 932, read up to its end) on one clock reading.
// `content` and `random` are used by the entry template set only and may be
// null for the log title set; *r and *R each draw one value from `random`.
std::string ExpandTokens(std::string_view text, TokenSet set, const std::tm& time,
                         const EntryContent* content, CRandom* random);

}  // namespace qm
