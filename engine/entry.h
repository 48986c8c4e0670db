// Composing one entry and inserting it into a page.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_result.h"
#include "platform/native_path.h"

namespace qm {

struct ActiveConfig;
class Host;

// What the user typed, as code page 932; the body's lines end in CR LF.
struct EntryInput {
    std::string title;
    std::string body;
    std::string imageName;  // file name shown in the image box
    std::string altText;
    int imageWidth = 0;  // of the image's web copy, when one is made
    int imageHeight = 0;
    bool upload = false;
};

// Every CR LF becomes "<BR>\r\n"; a lone CR or LF is copied unchanged.
std::string ConvertBody(std::string_view body);

// <img src="NAME" alt="ALT" > when an image was chosen this run and the image
// box is not empty, else nothing; with the web copy's size, width="W"
// height="H" after the alt text.
std::string ImageTag(const EntryInput& input, bool imageChosen);

// The header, then the template (read up to its first NUL) expanded on the
// clock reading `time`, random digits seeded with its seconds. The result is
// what the entry file holds.
std::string ComposeEntryText(std::string_view templateText, const EntryInput& input,
                             bool imageChosen, const std::tm& time);
// The same on one reading of the local clock taken now.
std::string ComposeEntryText(std::string_view templateText, const EntryInput& input,
                             bool imageChosen);

// The composition step: reads the entry template, writes the entry file
// (programDir + "temp.tmp") and returns the entry's text (up to a NUL that
// came in with the input), which the insertion takes from here on; shows
// its own messages; std::nullopt on failure.
std::optional<std::string> ComposeEntry(const ActiveConfig& config, const EntryInput& input,
                                        bool imageChosen, Host& host);

// The page text with the first `marker` replaced by the entry text; `found`
// is false (and `page` empty) when the page holds no marker.
struct Insertion {
    bool found = false;
    std::string page;
};
Insertion InsertAtMarker(std::string_view pageText, std::string_view entryText,
                         std::string_view marker);

// The insertion step on `pagePath`: rewrites the page with `entryText` in
// place of its first marker (the entry begins with the marker, so the marker
// stays above it); shows its own messages; false on failure, in which case
// the page is left as it was.
bool InsertEntryText(std::string_view pageCp932, const FileResult<NativePath>& pagePath,
                     std::string_view entryText, Host& host);

}  // namespace qm
