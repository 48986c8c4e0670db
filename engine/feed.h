// The set's Atom feed of its newest entries: every generate puts its entry at
// the top and drops the oldest beyond the set's count. The feed is UTF-8 (the
// one file the program writes that is not Shift-JIS); the feed's earlier
// entries are kept byte for byte as they were written, so a reader never sees
// an old entry change.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/current_copy.h"
#include "settings/active_config.h"

namespace qm {

class Host;

// One entry as it stands in the feed: its <entry> element, and its id.
struct FeedEntry {
    std::string id;
    std::string element;  // "  <entry>\n" ... "  </entry>\n"
};

// What a generate adds: the typed title and the composed entry (code page
// 932, as the page receives it), the page's file name and the clock reading
// of the entry with its offset from UTC.
struct FeedEntryInput {
    std::string titleCp932;
    std::string entryCp932;
    std::string pageNameCp932;
    std::tm time{};
    int utcOffsetMinutes = 0;
};

// "YYYY-MM-DDTHH:MM:SS+HH:MM".
std::string FeedTimestamp(const std::tm& time, int utcOffsetMinutes);

// Whether `address` is an http or https address ending in '/'.
bool IsFeedSiteAddress(std::string_view address);

// `reference` (an src or href value) made absolute against `base`, an
// absolute http(s) address; absolute references are kept as they are.
std::string ResolveReference(std::string_view reference, std::string_view base);

// Every src and href value of the HTML text made absolute against `base`.
std::string ResolveLinks(std::string_view html, std::string_view base);

// The new entry, ids of `kept` avoided; std::nullopt when the title or the
// entry is not valid code page 932.
std::optional<FeedEntry> MakeFeedEntry(const FeedSettings& feed, const FeedEntryInput& input,
                                       const std::vector<FeedEntry>& kept);

// The entries of a feed this program wrote, newest first; std::nullopt for a
// file that is not one (it is then never replaced).
std::optional<std::vector<FeedEntry>> ReadFeedEntries(std::string_view document);

// The whole feed: `title` (UTF-8) and `updated` for the feed itself, then at
// most feed.count entries of `entries`.
std::string FeedDocument(const FeedSettings& feed, std::string_view title, std::string_view updated,
                         const std::vector<FeedEntry>& entries);

// The feed's title: feed.title, or the set's name when it is empty (UTF-8).
std::string FeedTitle(const ActiveConfig& config);

// The entry a generate of `config` adds, for a preview.
std::optional<FeedEntry> PreviewFeedEntry(const ActiveConfig& config, const FeedEntryInput& input);

// Whether config.feed.file may name the feed in the diary folder (the current
// copy's rules, and not the current copy itself).
CurrentNameCheck CheckFeedFile(const ActiveConfig& config);

// Why `feed` cannot be the feed of `config`'s set (a UTF-8 reason), or empty
// when it can; an empty file name, which keeps no feed, always can.
std::string_view FeedSettingsProblem(const ActiveConfig& config, const FeedSettings& feed);

// Writes the four keys of section FEED to the set's file; false when a write fails.
[[nodiscard]] bool WriteFeedSettings(std::string_view iniPath, const FeedSettings& feed);

// Puts the entry at the top of config.feed's file (made when missing), under
// the locks the caller holds, by a safe replace. A feed that cannot be read as
// this program's, or written, is reported with its path and left as it was;
// the entry stays in the page. True when the feed was written.
bool UpdateFeed(const ActiveConfig& config, const FeedEntryInput& input, Host& host);

}  // namespace qm
