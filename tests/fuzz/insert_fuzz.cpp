// Entry insertion and the log page update on arbitrary page bytes, through
// the real files: afterwards a page is either exactly as it was or exactly the
// old text (up to its first NUL) with the entry (or the log link) in place of
// its first marker, and nothing after the text.
#include "engine/diary_page.h"
#include "engine/entry.h"
#include "engine/messages.h"
#include "engine/split_mode.h"
#include "fuzz_support.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "settings/profile.h"
#include "support/recording_host.h"

namespace qm::fuzz {

// Page bytes (or no page now and then) with the marker put in at a chosen
// place every other time, so that most runs reach the rewrite.
std::optional<std::string> PageBytes(FuzzedDataProvider& input, const std::string& marker) {
    if (input.ConsumeIntegralInRange(0, 7) == 0) return std::nullopt;
    std::string bytes = input.ConsumeRandomLengthString(1024);
    if (input.ConsumeBool()) {
        bytes.insert(input.ConsumeIntegralInRange<std::size_t>(0, bytes.size()), marker);
    }
    return bytes;
}

// The old text with `insert` in place of its first `marker`, without a NUL.
std::optional<std::string> Rewritten(const std::optional<std::string>& old, std::string_view insert,
                                     std::string_view marker) {
    const std::string_view text = old ? TextUpToNul(*old) : std::string_view();
    const std::size_t at = text.find(marker);
    if (!old || at == std::string_view::npos) return std::nullopt;
    return std::string(text.substr(0, at)).append(insert).append(text.substr(at + marker.size()));
}

void CheckInsertion(FuzzedDataProvider& input, const ActiveConfig& config) {
    const std::string marker = Sjis(msg::kInsertMarker), pagePath = config.programDir + "page.html";
    const std::optional<std::string> page = PageBytes(input, marker);
    std::optional<std::string> entry;
    if (input.ConsumeIntegralInRange(0, 7) != 0) entry = input.ConsumeRandomLengthString(512);
    WriteOrRemove(pagePath, page);

    test::FakeHost host;
    const bool inserted =
        InsertEntryText(pagePath, NativePath(pagePath), TextUpToNul(entry.value_or("")), host);
    const std::optional<std::string> after = ReadAll(pagePath);
    Require(inserted == host.messages.empty(), "a message comes with every failure, only then");
    // A page that was missing is left behind as an empty file.
    Require(inserted || after == page.value_or(""), "a failed insertion leaves the page as it was");
    if (!inserted) return;
    Require(entry && !TextUpToNul(*entry).empty(), "only an entry with text is inserted");
    Require(after == Rewritten(page, TextUpToNul(*entry), marker),
            "the entry stands where the first marker was");
}

void CheckLogUpdate(FuzzedDataProvider& input, ActiveConfig config) {
    const std::string marker = Sjis(msg::kLogMarker);
    config.splitMode = SplitModeFromStored(input.ConsumeIntegralInRange(0, 4));
    config.diaryPage = config.programDir + input.ConsumeRandomLengthString(24);
    config.logPath = config.programDir + "log.html";
    config.native.logPath = NativePath(config.logPath);
    if (input.ConsumeBool()) config.logTitle = input.ConsumeRandomLengthString(64);
    const std::optional<std::string> log = PageBytes(input, marker);
    WriteOrRemove(config.logPath, log);
    SetFixedClock(std::tm{.tm_sec = input.ConsumeIntegralInRange(0, 59),
                          .tm_mday = input.ConsumeIntegralInRange(1, 28),
                          .tm_mon = input.ConsumeIntegralInRange(0, 11),
                          .tm_year = input.ConsumeIntegralInRange(0, 200)});
    const std::string link = LogLinkText(config.diaryPage, config.logTitle, ReadLocalClock());

    RunState run;
    test::FakeHost host;
    UpdateLogPage(config, run, host);
    SetFixedClock(std::nullopt);
    const std::optional<std::string> after = ReadAll(config.logPath);
    if (!run.logUpdated) {
        Require(after == log, "a log page not updated stays as it was, or missing");
        Require(host.messages.empty() || RollsOver(config.splitMode),
                "no log message outside the roll-over modes");
        return;
    }
    Require(RollsOver(config.splitMode), "the log grows only in the roll-over modes");
    // A log page that links this page already is left as it is.
    const std::string opening = "<a href =" + std::string(FileNamePart(config.diaryPage)) + ">";
    const bool linked = log && TextUpToNul(*log).find(opening) != std::string_view::npos;
    Require(after == (linked ? log : Rewritten(log, link, marker)),
            "the link stands at the first marker, unless the page links there already");
}

QM_FUZZ_TARGET(input) {
    ActiveConfig config;
    config.programDir = ScratchDir();
    input.ConsumeBool() ? CheckInsertion(input, config) : CheckLogUpdate(input, config);
}

}  // namespace qm::fuzz
