#include "settings/file_name_rules.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using V = FileNameVerdict;

TEST(FileNameRules, SetNamesStayPlainFilesBesideTheProgramAndPlainNamesHaveNoFolder) {
    const std::pair<std::string, V> rows[] = {
        {"\x8f\x5c\x8c\x8e", V::Usable},  // 十月: 0x5C as a second byte only
        {"qmsys", V::Reserved},
        {"", V::Empty},
        {"../outside/evil", V::Separator},
        {"a\\b", V::Separator},
        {"..", V::DotsOnly},
        {"a\tb", V::Control},
        {" a", V::BlankEdge},
        {"\x82", V::NotCp932},
        {std::string(252, 'a'), V::TooLong},  // 252 + ".ini" is over a name's limit
        {std::string(251, 'a'), V::Usable},
    };
    for (const auto& [name, verdict] : rows) {
        EXPECT_EQ(CheckSetName(name, "/prog/"), verdict) << name;
    }
    EXPECT_EQ(CheckPlainFileName(" now.html "), V::Usable);
    EXPECT_EQ(CheckPlainFileName("web/now.html"), V::Separator);
    EXPECT_EQ(CheckPlainFileName("now\r\n.html"), V::Control);
    EXPECT_EQ(CheckPlainFileName(std::string(256, 'a')), V::TooLong);
}

}  // namespace
}  // namespace qm
