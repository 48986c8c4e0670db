#include "engine/tokens.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_host.h"

namespace qm::test {
namespace {

const std::tm kFeb5 = Tm("2003-02-05 09:04:07");

std::string Expand(std::string_view text, TokenSet set = TokenSet::EntryTemplate) {
    return ExpandTokens(text, set, kFeb5, nullptr, nullptr);
}

TEST(ExpandTokens, EdgesOfTheTokenLanguage) {
    EXPECT_EQ(Expand("*m*"), "02*");
    EXPECT_EQ(Expand("*x*d"), "*x05");
    // The second bytes of ゴ and 〆 are the letters S and Y.
    EXPECT_EQ(Expand(Sjis("*ゴ*〆*S")), Sjis("*ゴ*〆07"));
    const std::string entryOnly = "*a*o*H*M*!*?*$*r";
    EXPECT_EQ(Expand(entryOnly + "*k", TokenSet::LogTitle), entryOnly + Sjis("二"));
}

}  // namespace
}  // namespace qm::test
