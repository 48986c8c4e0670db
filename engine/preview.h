// The entry in its page before it is published: composed exactly as
// "Do It !!!" composes it and put into the page that would receive it, in
// memory only. No file of the user's changes and no page rolls over.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/diary_page.h"
#include "engine/entry.h"
#include "settings/active_config.h"

namespace qm {

class Host;

struct PreviewPage {
    std::string pagePath;  // the page that would receive the entry (code page 932)
    bool newPage = false;  // it does not exist yet: "Do It !!!" makes it from the prototype
    std::string entry;     // the entry as composed
    std::string text;      // the page's text with the entry in place and the base reference
};

// Reads the active set's paths afresh, names the page that would receive an
// entry now (a page of a new period that does not exist yet is shown from the
// prototype), composes the entry from the template and inserts it at the
// page's marker. A template or page that cannot be used gets the message
// "Do It !!!" would show, and nothing is returned.
std::optional<PreviewPage> PreviewEntry(const ActiveConfig& config, const RunState& run,
                                        const EntryInput& input, Host& host);

// `pageText` with <base href="URL"> right after its <head> tag (after <html>
// when it has no head, else at the start), so that relative links and images
// resolve from `folderUrl` as they do from the page itself.
std::string WithBaseReference(std::string_view pageText, std::string_view folderUrl);

// "file://" and the absolute folder (UTF-8), percent-encoded, ending in '/'.
std::string FileUrlOfFolder(std::string_view folderUtf8);

}  // namespace qm
