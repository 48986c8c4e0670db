#include "engine/feed.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/current_copy.h"
#include "engine/diary_page.h"
#include "engine/host.h"
#include "engine/messages.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "settings/keys.h"

namespace qm {

namespace {

constexpr std::string_view kDocumentHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\">\n";
constexpr std::string_view kDocumentEnd = "</feed>\n";
constexpr std::string_view kEntryStart = "  <entry>\n";
constexpr std::string_view kEntryEnd = "  </entry>\n";

// Text for an XML element or a quoted attribute. Control characters that XML
// cannot hold are left out; a CR LF is one line end.
std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') break;
                out += '\n';
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') break;
                out += c;
        }
    }
    return out;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// A file name as one segment of an address (UTF-8 bytes percent-encoded).
std::string AddressSegment(std::string_view nameUtf8) {
    std::string out;
    for (const char c : nameUtf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            out += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out += hex;
        }
    }
    return out;
}

// The address of a file of the diary folder, or empty when its name is not
// code page 932.
std::string AddressOf(const FeedSettings& feed, std::string_view fileNameCp932) {
    const auto name = Cp932ToUtf8(fileNameCp932);
    return name ? feed.site + AddressSegment(*name) : std::string();
}

// The scheme's length ("http" of "http://x"), or 0 when `text` has none.
std::size_t SchemeLength(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == 0 || colon == std::string_view::npos) return 0;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = text[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return 0;
    }
    return colon;
}

// A path with its "." and ".." segments worked out.
std::string WithoutDotSegments(std::string_view path) {
    std::vector<std::string_view> segments;
    std::size_t start = 1;  // after the leading '/'
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view segment = path.substr(start, end - start);
        const bool last = end == path.size();
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
            if (last) segments.emplace_back();
        } else if (segment == ".") {
            if (last) segments.emplace_back();
        } else {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string_view segment : segments) {
        out += '/';
        out += segment;
    }
    return out.empty() ? "/" : out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The typed title as a reader shows it: a character Shift-JIS lacks was
// kept as a numeric reference ("&#x1F600;"), which a text title would show
// as it stands. Anything else stays as typed.
std::string WithReferencesDecoded(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = text.find(';', i);
        if (text.substr(i, 2) == "&#" && end != std::string_view::npos && end - i <= 10) {
            const bool hex = text.size() > i + 2 && (text[i + 2] == 'x' || text[i + 2] == 'X');
            const std::string digits(text.substr(i + (hex ? 3 : 2), end - i - (hex ? 3 : 2)));
            char* stop = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
            // XML holds no control characters and no surrogates.
            const bool usable = !digits.empty() && *stop == '\0' && code >= 0x20 &&
                                code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF) &&
                                code != 0xFFFE && code != 0xFFFF;
            if (usable) {
                AppendUtf8(out, static_cast<char32_t>(code));
                i = end + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           EqualsIgnoringAsciiCase(text.substr(0, start.size()), start);
}

}  // namespace

std::string FeedTimestamp(const std::tm& time, int utcOffsetMinutes) {
    const int offset = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d",
                  time.tm_year + 1900, time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min,
                  time.tm_sec, utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

bool IsFeedSiteAddress(std::string_view address) {
    std::size_t rest = 0;
    if (StartsWithIgnoringAsciiCase(address, "http://")) rest = 7;
    if (StartsWithIgnoringAsciiCase(address, "https://")) rest = 8;
    if (rest == 0 || address.size() <= rest + 1 || address.back() != '/' || address[rest] == '/')
        return false;
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        // What an address in an XML attribute can hold as it stands.
        if (byte <= 0x20 || byte >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' ||
            c == '#' || c == '?')
            return false;
    }
    return true;
}

std::string ResolveReference(std::string_view reference, std::string_view base) {
    if (SchemeLength(reference) > 0) return std::string(reference);
    const std::size_t schemeEnd = base.find("://");
    const std::size_t pathStart = base.find('/', schemeEnd + 3);
    const std::string_view origin = base.substr(0, pathStart);
    if (reference.starts_with("//")) return std::string(base.substr(0, schemeEnd + 1)) += reference;
    // The base is a page's address, without a query or a fragment.
    if (reference.empty() || reference.front() == '#' || reference.front() == '?')
        return std::string(base) += reference;
    // The path part is worked out; the query and fragment follow as they are.
    const std::size_t tail = reference.find_first_of("?#");
    const std::string_view refPath = reference.substr(0, tail);
    const std::string_view refTail =
        tail == std::string_view::npos ? std::string_view() : reference.substr(tail);
    std::string path;
    if (refPath.starts_with('/')) {
        path = refPath;
    } else {
        const std::string_view basePath =
            pathStart == std::string_view::npos ? "/" : base.substr(pathStart);
        path = std::string(basePath.substr(0, basePath.rfind('/') + 1)) += refPath;
    }
    return std::string(origin) + WithoutDotSegments(path) + std::string(refTail);
}

std::string ResolveLinks(std::string_view html, std::string_view base) {
    std::string out;
    std::size_t copied = 0;
    bool inTag = false;
    for (std::size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (c == '<') inTag = true;
        if (c == '>') inTag = false;
        if (!inTag || (c != ' ' && c != '\t' && c != '\r' && c != '\n')) continue;
        // An attribute starts after a blank inside a tag: src or href, then
        // perhaps blanks, '=', blanks and the value, quoted or not.
        std::size_t at = i + 1;
        std::size_t nameLength = 0;
        if (StartsWithIgnoringAsciiCase(html.substr(at), "src")) nameLength = 3;
        if (StartsWithIgnoringAsciiCase(html.substr(at), "href")) nameLength = 4;
        if (nameLength == 0) continue;
        at += nameLength;
        while (at < html.size() && (html[at] == ' ' || html[at] == '\t')) ++at;
        if (at >= html.size() || html[at] != '=') continue;
        ++at;
        while (at < html.size() && (html[at] == ' ' || html[at] == '\t')) ++at;
        if (at >= html.size()) break;
        const char quote = html[at] == '"' || html[at] == '\'' ? html[at] : '\0';
        const std::size_t valueStart = quote != '\0' ? at + 1 : at;
        const std::size_t valueEnd = quote != '\0' ? html.find(quote, valueStart)
                                                   : html.find_first_of(" \t\r\n>", valueStart);
        if (valueEnd == std::string_view::npos) break;
        out += html.substr(copied, valueStart - copied);
        out += ResolveReference(html.substr(valueStart, valueEnd - valueStart), base);
        copied = valueEnd;
        i = valueEnd - 1;
    }
    out += html.substr(copied);
    return out;
}

std::optional<FeedEntry> MakeFeedEntry(const FeedSettings& feed, const FeedEntryInput& input,
                                       const std::vector<FeedEntry>& kept) {
    const std::string page = AddressOf(feed, input.pageNameCp932);
    // The page receives the header as well; the feed only what the user wrote.
    std::string_view body = input.entryCp932;
    const std::string marker = Sjis(msg::kInsertMarker) + "\r\n";
    if (body.starts_with(marker)) {
        body.remove_prefix(marker.size());
        if (const std::size_t end = body.find("\r\n"); end != std::string_view::npos)
            body.remove_prefix(end + 2);
    }
    const auto typedTitle = Cp932ToUtf8(input.titleCp932);
    const auto content = Cp932ToUtf8(body);
    if (page.empty() || !typedTitle || !content) return std::nullopt;

    const std::tm& t = input.time;
    std::string title = WithReferencesDecoded(*typedTitle);
    if (title.empty()) {
        char words[96];
        std::snprintf(words, sizeof words, "%d\xE5\xB9\xB4%d\xE6\x9C\x88%d\xE6\x97\xA5",
                      t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);  // Y年M月D日
        title = words;
    }
    char fragment[96];
    std::snprintf(fragment, sizeof fragment, "#qm%04d%02d%02d%02d%02d%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    // Two entries of the same second still get ids of their own.
    FeedEntry entry;
    entry.id = page + fragment;
    for (int n = 2;; ++n) {
        bool taken = false;
        for (const FeedEntry& old : kept) taken = taken || old.id == entry.id;
        if (!taken) break;
        entry.id = page + fragment + "-" + std::to_string(n);
    }
    const std::string when = FeedTimestamp(t, input.utcOffsetMinutes);
    const std::string pageAttribute = Escaped(page);
    entry.element = std::string(kEntryStart);
    entry.element += "    <title type=\"text\">" + Escaped(title) + "</title>\n";
    entry.element += "    <id>" + Escaped(entry.id) + "</id>\n";
    entry.element += "    <published>" + when + "</published>\n";
    entry.element += "    <updated>" + when + "</updated>\n";
    entry.element +=
        "    <link rel=\"alternate\" type=\"text/html\" href=\"" + pageAttribute + "\"/>\n";
    entry.element += "    <content type=\"html\" xml:base=\"" + pageAttribute + "\">" +
                     Escaped(ResolveLinks(*content, page)) + "</content>\n";
    entry.element += kEntryEnd;
    return entry;
}

std::optional<std::vector<FeedEntry>> ReadFeedEntries(std::string_view document) {
    if (!document.starts_with(kDocumentHead) || !document.ends_with(kDocumentEnd) ||
        !IsWellFormedUtf8(document))
        return std::nullopt;
    const std::string_view body =
        document.substr(0, document.size() - kDocumentEnd.size()).substr(kDocumentHead.size());
    std::size_t at = body.find(kEntryStart);
    // The feed's own elements come first and hold no entry.
    if (at == std::string_view::npos) at = body.size();
    std::vector<FeedEntry> entries;
    while (at < body.size()) {
        if (body.substr(at, kEntryStart.size()) != kEntryStart) return std::nullopt;
        const std::size_t end = body.find(kEntryEnd, at);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view element = body.substr(at, end + kEntryEnd.size() - at);
        const std::size_t idStart = element.find("<id>");
        const std::size_t idEnd = element.find("</id>");
        if (idStart == std::string_view::npos || idEnd == std::string_view::npos ||
            idEnd < idStart || element.find(kEntryStart, 1) != std::string_view::npos)
            return std::nullopt;
        entries.push_back(
            {std::string(element.substr(idStart + 4, idEnd - idStart - 4)), std::string(element)});
        at = end + kEntryEnd.size();
    }
    return entries;
}

std::string FeedDocument(const FeedSettings& feed, std::string_view title, std::string_view updated,
                         const std::vector<FeedEntry>& entries) {
    const std::string self = Escaped(AddressOf(feed, feed.file));
    const std::string escapedTitle = Escaped(title);
    std::string out(kDocumentHead);
    out += "  <title type=\"text\">" + escapedTitle + "</title>\n";
    out += "  <id>" + self + "</id>\n";
    out += "  <updated>" + std::string(updated) + "</updated>\n";
    out += "  <link rel=\"self\" type=\"application/atom+xml\" href=\"" + self + "\"/>\n";
    out += "  <link rel=\"alternate\" type=\"text/html\" href=\"" + Escaped(feed.site) + "\"/>\n";
    out += "  <author><name>" + escapedTitle + "</name></author>\n";
    out += "  <generator>Quillmaker</generator>\n";
    const std::size_t count = feed.count > 0 ? static_cast<std::size_t>(feed.count) : 1;
    for (std::size_t i = 0; i < entries.size() && i < count; ++i) out += entries[i].element;
    out += kDocumentEnd;
    return out;
}

std::string FeedTitle(const ActiveConfig& config) {
    std::string name = config.feed.title;
    if (name.empty()) {
        name = FileNamePart(config.configIniPath);
        if (name.ends_with(".ini")) name.resize(name.size() - 4);
    }
    return Cp932ToUtf8(name).value_or(std::string());
}

std::optional<FeedEntry> PreviewFeedEntry(const ActiveConfig& config, const FeedEntryInput& input) {
    if (config.feed.file.empty()) return std::nullopt;
    std::vector<FeedEntry> kept;
    if (config.native.feed) {
        if (auto bytes = ReadRegularFile(*config.native.feed)) {
            kept = ReadFeedEntries(*bytes).value_or(kept);
        }
    }
    return MakeFeedEntry(config.feed, input, kept);
}

CurrentNameCheck CheckFeedFile(const ActiveConfig& config) {
    return CheckDiaryFolderFile(config, config.feed.file, config.native.feed,
                                feedkeys::kFile.capacity, config.native.currentCopy);
}

std::string_view FeedSettingsProblem(const ActiveConfig& config, const FeedSettings& feed) {
    if (feed.file.empty()) return {};
    ActiveConfig typed = config;
    typed.feed = feed;
    NoteNativeSetPaths(typed);
    typed.native.diaryPage = NativeDiaryPage(typed, typed.diaryPage);
    if (const CurrentNameCheck check = CheckFeedFile(typed); !check.usable())
        return CurrentNameReason(check);
    if (!IsFeedSiteAddress(feed.site)) return msg::kFeedSiteReason;
    if (feed.count < 1 || feed.count > feedkeys::kMaxCount) return msg::kFeedCountReason;
    if (feed.title.size() >= feedkeys::kTitle.capacity) return msg::kNameTooLongReason;
    return {};
}

bool WriteFeedSettings(std::string_view iniPath, const FeedSettings& feed) {
    // Every key is tried, so one that fails leaves the others written.
    const bool file = WriteKey(iniPath, feedkeys::kFile, feed.file);
    const bool site = WriteKey(iniPath, feedkeys::kSite, feed.site);
    const bool title = WriteKey(iniPath, feedkeys::kTitle, feed.title);
    const bool count = WriteKey(iniPath, feedkeys::kCount, feed.count);
    return file && site && title && count;
}

bool UpdateFeed(const ActiveConfig& config, const FeedEntryInput& input, Host& host) {
    if (config.feed.file.empty()) return false;
    const auto tell = [&](std::string why) {
        host.ShowMessage(Sjis(msg::kFeedWriteText) + "\r\n" + why, Sjis(msg::kFeedCaption));
        return false;
    };
    const std::string pathCp932 = config.diaryFolder + config.feed.file;
    const CurrentNameCheck check = CheckFeedFile(config);
    if (!check.usable()) {
        host.ShowMessage(Sjis(msg::kFeedNameUnusableText) + config.feed.file + "\r\n" +
                             Sjis(CurrentNameReason(check)),
                         Sjis(msg::kFeedCaption));
        return false;
    }
    if (!IsFeedSiteAddress(config.feed.site))
        return tell(RefusalLine(pathCp932, msg::kFeedSiteReason));
    const auto& path = config.native.feed;
    if (!path) return tell(FileProblemLine(path.problem()));

    std::vector<FeedEntry> kept;
    std::optional<LockedFile> held;
    if (FileExists(*path)) {
        auto file = LockedFile::Open(*path, LockedFile::Mode::OpenExisting);
        if (!file) return tell(FileProblemLine(file.problem()));
        const auto bytes = file->ReadAll();
        if (!bytes) return tell(FileProblemLine(bytes.problem()));
        auto entries = ReadFeedEntries(*bytes);
        if (!entries) return tell(RefusalLine(pathCp932, msg::kFeedNotOursReason));
        kept = std::move(*entries);
        held = std::move(*file);
    }
    auto entry = MakeFeedEntry(config.feed, input, kept);
    if (!entry) return tell(RefusalLine(pathCp932, msg::kFeedNotCp932Reason));
    kept.insert(kept.begin(), std::move(*entry));
    const std::string document = FeedDocument(
        config.feed, FeedTitle(config), FeedTimestamp(input.time, input.utcOffsetMinutes), kept);
    const FileStatus written =
        held ? held->Replace(document) : ReplaceFileContents(*path, document);
    if (!written) return tell(FileProblemLine(written.problem()));
    return true;
}

}  // namespace qm
