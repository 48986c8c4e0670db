// Destinations as the user writes them: what is accepted is a folder URL the
// transfer library reads back unchanged; what it could not use is refused.
#include "tavmo/remote_url.h"

#include <gtest/gtest.h>

namespace qm::tavmo {
namespace {

TEST(RemoteUrlTest, AcceptedDestinationsReadBackAndUnusableOnesAreRefused) {
    const std::pair<std::string_view, std::string_view> accepted[] = {
        {"ftp://host", "ftp://host/"},
        {"file:/srv/www", "file:///srv/www/"},
        {"/srv/www/a b", "file:///srv/www/a%20b/"},
    };
    for (auto [text, url] : accepted) {
        auto folder = ParseRemoteFolder(text);
        ASSERT_TRUE(folder) << text;
        EXPECT_EQ(folder->url, url);
        EXPECT_EQ(ParseRemoteFolder(folder->url)->url, url);
    }
    // A file URL whose path is not absolute would come out naming a host; an
    // encoded control character names no folder.
    for (std::string_view text :
         {"file:relative/dir", "file:'//tm", "ftp://host/a?q", "ftp://host/a%0A/"}) {
        EXPECT_FALSE(ParseRemoteFolder(text)) << text;
    }
}

}  // namespace
}  // namespace qm::tavmo
