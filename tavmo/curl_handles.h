// Owners for what the transfer library hands out, so every handle, list and
// text it allocates is given back on every path.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>

namespace qm::tavmo {

struct EasyHandleDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
// One transfer handle; it keeps its connections open between transfers.
using EasyHandle = std::unique_ptr<CURL, EasyHandleDeleter>;

struct CommandListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
// Raw protocol commands sent before or after a transfer.
using CommandList = std::unique_ptr<curl_slist, CommandListDeleter>;

struct UrlHandleDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlHandleDeleter>;

struct LibraryTextDeleter {
    void operator()(char* text) const { curl_free(text); }
};
// A text the library allocated (an escaped name, a part of a URL).
using LibraryText = std::unique_ptr<char, LibraryTextDeleter>;

// Adds a command at the end; false when the library had no memory for it.
inline bool Append(CommandList& list, const std::string& command) {
    curl_slist* grown = curl_slist_append(list.get(), command.c_str());
    if (grown == nullptr) return false;
    // The list grew in place or was started: `grown` is its head either way.
    (void)list.release();
    list.reset(grown);
    return true;
}

// The library's global state for the program's whole run.
class LibraryUse {
  public:
    LibraryUse() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~LibraryUse() { curl_global_cleanup(); }
    LibraryUse(const LibraryUse&) = delete;
    LibraryUse& operator=(const LibraryUse&) = delete;
};

}  // namespace qm::tavmo
