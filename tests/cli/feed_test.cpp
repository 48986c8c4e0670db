// The example diary's feed, read by the Atom grammar and by a feed reader's
// parser, on the real program.
#include "engine/feed.h"

#include "example_folder.h"

namespace qm::test {
namespace {

using Feed = ExampleFolder;

#ifndef _WIN32  // the grammar's checker and the feed reader run on Linux
// What a feed reader sees: the entries' titles, links and the start of their
// texts, one entry a line, after the parser found nothing wrong.
const char* const kReader = R"(
import sys, feedparser
d = feedparser.parse(sys.argv[1])
if d.bozo: sys.exit("bozo: %s" % d.bozo_exception)
for e in d.entries: print(e.title, e.link, e.published, e.content[0].value.split("<p>\n")[1].split("<")[0])
)";

// Thirty generates over two months: the newest twenty stay, newest first, in
// a valid feed; the last is taken back byte for byte.
TEST_F(Feed, KeepsTheNewestEntriesValidAndIsTakenBackWithTheEntry) {
    std::string before;
    for (int i = 1; i <= 30; ++i) {
        char now[32];
        std::snprintf(now, sizeof now, "2026-%02d-%02d 09:00:00", i <= 15 ? 11 : 12,
                      (i - 1) % 15 + 1);
        now_ = now;
        if (i == 30) before = ReadBytes(dir_ / "atom.xml");
        const std::string title = i == 20 ? "" : "<日記>😀 " + std::to_string(i);
        const std::vector<std::string> args = {"generate", "--title", title, "--body",
                                               "本文 & " + std::to_string(i) + "\n二行目"};
        const ProgramRun run = RunProgram(Quillmaker(home_, args, now_), {{"TZ", "Asia/Tokyo"}});
        ASSERT_EQ(run.exitStatus, 0) << run.errors;
    }
    const ProgramRun schema =
        RunProgram({"/usr/bin/xmllint", "--noout", "--relaxng", QM_ATOM_RNG, dir_ / "atom.xml"});
    EXPECT_EQ(schema.exitStatus, 0) << schema.errors;

    const ProgramRun read = RunProgram({"/usr/bin/python3", "-c", kReader, dir_ / "atom.xml"});
    ASSERT_EQ(read.exitStatus, 0) << read.errors;
    std::string expected;
    for (int i = 30; i > 10; --i) {
        const std::string page = i <= 15 ? "diary26-Nov.html" : "diary26-Dec.html";
        const std::string day = std::to_string((i - 1) % 15 + 1);
        expected += (i == 20 ? "2026年12月" + day + "日" : "<日記>😀 " + std::to_string(i)) +
                    " https://example.org/diary/" + page + " 2026-" + (i <= 15 ? "11" : "12") +
                    "-" + (day.size() == 1 ? "0" + day : day) + "T09:00:00+09:00 本文 & " +
                    std::to_string(i) + "\n";
    }
    EXPECT_EQ(read.output, expected);

    ASSERT_EQ(Run({"undo"}), 0) << stderr_;
    EXPECT_EQ(ReadBytes(dir_ / "atom.xml"), before);
}
#endif

// A set without a feed writes none; a feed the program cannot read as its own
// is said and left as it was, and the entry is written all the same.
TEST_F(Feed, IsWrittenOnlyWhenSetAndNeverOverAFileItCannotRead) {
    EXPECT_EQ(Run({"feed", "--site", "ftp://example.org/"}), 2);
    ASSERT_EQ(Run({"feed", "--path", ""}), 0) << stderr_;
    ASSERT_EQ(Run(Generate("一")), 0) << stderr_;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "atom.xml"));

    // A dry run shows the entry and the feed's, and writes nothing.
    ASSERT_EQ(Run({"feed", "--path", "atom.xml"}), 0) << stderr_;
    const std::string page = Page();
    ASSERT_EQ(Run({"generate", "--dry-run", "--title", "<三>", "--body", "b"}), 0) << stderr_;
    EXPECT_NE(stdout_.find("<三>"), std::string::npos) << stdout_;
    EXPECT_NE(stdout_.find("feed: " + (dir_ / "atom.xml") +
                           "\n  <entry>\n    <title "
                           "type=\"text\">&lt;三&gt;</title>"),
              std::string::npos)
        << stdout_;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "atom.xml") || Page() != page);
    const std::string foreign = "<?xml version=\"1.0\"?><feed>mine</feed>\n";
    WriteBytes(dir_ / "atom.xml", foreign);
    ASSERT_EQ(Run(Generate("二")), 0) << stderr_;
    EXPECT_TRUE(Said("フィードを書き込めませんでした。")) << stderr_;
    EXPECT_EQ(ReadBytes(dir_ / "atom.xml"), foreign);
    EXPECT_NE(Page().find(Sjis("二")), std::string::npos);
}

// Links of the entry reach the page's folder from anywhere a reader shows them.
TEST(FeedLinks, AreResolvedAgainstThePageAddress) {
    const std::string base = "https://example.org/diary/page.html";
    for (const auto& [reference, resolved] : std::vector<std::pair<std::string, std::string>>{
             {"a.jpg", "https://example.org/diary/a.jpg"},
             {"../img/./a.jpg?x=1#f", "https://example.org/img/a.jpg?x=1#f"},
             {"/top/", "https://example.org/top/"},
             {"//cdn.example.net/a", "https://cdn.example.net/a"},
             {"#e1", base + "#e1"},
             {"mailto:me@example.org", "mailto:me@example.org"}}) {
        EXPECT_EQ(ResolveReference(reference, base), resolved) << reference;
    }
    EXPECT_EQ(ResolveLinks("<a href =x.html>x</a><IMG\nSRC='y.png' alt=\"src=z\">", base),
              "<a href =https://example.org/diary/x.html>x</a>"
              "<IMG\nSRC='https://example.org/diary/y.png' alt=\"src=z\">");
}

// Two entries of one second keep ids of their own; a feed cut short anywhere
// is never taken for one of ours (it would be replaced by what was read).
TEST(FeedFile, EntriesOfOneSecondDifferAndACutFeedIsRefused) {
    FeedSettings feed{"atom.xml", "https://example.org/", "", 20};
    const FeedEntryInput input{"t", kMarker + "\r\n<!-- h -->\r\nb", "p.html", Tm(kNow), 540};
    std::vector<FeedEntry> entries;
    for (int i = 0; i < 2; ++i)
        entries.insert(entries.begin(), *MakeFeedEntry(feed, input, entries));
    EXPECT_NE(entries[0].id, entries[1].id);
    EXPECT_EQ(entries[0].element.find("&lt;!--"), std::string::npos) << "the header is the page's";
    const std::string document = FeedDocument(feed, "T", "2026-12-07T21:05:09+09:00", entries);
    ASSERT_EQ(ReadFeedEntries(document).value().size(), 2u);
    for (std::size_t cut = 0; cut < document.size(); ++cut)
        EXPECT_FALSE(ReadFeedEntries(document.substr(0, cut))) << cut;
}

}  // namespace
}  // namespace qm::test
