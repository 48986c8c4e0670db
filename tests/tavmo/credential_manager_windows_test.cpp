// The password in the Credential Manager: one per settings file, Japanese
// kept, and gone once removed.
#include <gtest/gtest.h>

#include "tavmo/system_keyring.h"

namespace qm::tavmo {
namespace {

TEST(CredentialManager, KeepsOnePasswordPerSettingsFileUntilRemoved) {
    const auto keyring = SystemKeyring();
    const std::string first = "C:/日記/tavmo/tavmo.ini", second = "D:/portable/tavmo/tavmo.ini";
    ASSERT_TRUE(keyring->Write(first, "old") && keyring->Write(first, "秘密 pass"));
    ASSERT_TRUE(keyring->Write(second, "other"));
    EXPECT_EQ(keyring->Read(first), "秘密 pass");
    ASSERT_TRUE(keyring->Remove(first));
    EXPECT_EQ(keyring->Read(first), std::nullopt);
    EXPECT_TRUE(keyring->Remove(first));  // nothing kept is as good as removed
    EXPECT_EQ(keyring->Read(second), "other");
    EXPECT_TRUE(keyring->Remove(second));
}

}  // namespace
}  // namespace qm::tavmo
