#include "tavmo/remote_url.h"

#include <algorithm>
#include <cstring>

#include "tavmo/curl_handles.h"

namespace qm::tavmo {

namespace {

// Drive letters name local folders on Windows only.
#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

std::optional<std::string> GetPart(CURLU* url, CURLUPart part, unsigned flags = 0) {
    char* text = nullptr;
    const CURLUcode code = curl_url_get(url, part, &text, flags);
    LibraryText owned(text);
    if (code != CURLUE_OK || !owned) return std::nullopt;
    return std::string(owned.get());
}

std::string Escape(std::string_view text) {
    // A length of 0 would make the library measure the text up to its NUL.
    if (text.empty()) return {};
    LibraryText escaped(curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size())));
    if (!escaped) return {};
    return std::string(escaped.get());
}

// Each segment of a folder path encoded on its own, the separators kept.
std::string EscapePath(std::string_view path) {
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) slash = path.size();
        out += Escape(path.substr(start, slash - start));
        if (slash < path.size()) out += '/';
        start = slash + 1;
    }
    return out;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::optional<Scheme> SchemeOf(std::string_view name) {
    if (name == "ftp") return Scheme::Ftp;
    if (name == "ftps") return Scheme::Ftps;
    if (name == "sftp") return Scheme::Sftp;
    if (name == "file") return Scheme::File;
    return std::nullopt;
}

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

// "C:\www" or "C:/www": a folder of a drive, which Windows users write.
bool IsDrivePath(std::string_view text) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return text.size() >= 3 && letter(text[0]) && text[1] == ':' &&
           (text[2] == '\\' || text[2] == '/');
}

// One reading of a destination; see ParseRemoteFolder.
std::optional<RemoteFolder> ReadRemoteFolder(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty() || HasControlCharacter(text)) return std::nullopt;

    std::string urlText;
    if (text.front() == '/') {
        urlText = "file://" + EscapePath(text);
    } else if (kWindows && IsDrivePath(text)) {
        std::string path(text.substr(2));
        std::replace(path.begin(), path.end(), '\\', '/');
        urlText = "file:///" + std::string(text.substr(0, 2)) + EscapePath(path);
    } else {
        urlText = std::string(text);
    }

    UrlHandle url(curl_url());
    if (!url) return std::nullopt;
    // Names the user typed unencoded (a Japanese folder) are encoded here.
    if (curl_url_set(url.get(), CURLUPART_URL, urlText.c_str(),
                     CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE) != CURLUE_OK) {
        return std::nullopt;
    }
    auto schemeName = GetPart(url.get(), CURLUPART_SCHEME);
    if (!schemeName) return std::nullopt;
    auto scheme = SchemeOf(Lower(*schemeName));
    if (!scheme) return std::nullopt;
    if (*scheme != Scheme::File) {
        auto host = GetPart(url.get(), CURLUPART_HOST);
        if (!host || host->empty()) return std::nullopt;
    }
    // A query or fragment has no meaning for a folder.
    if (GetPart(url.get(), CURLUPART_QUERY) || GetPart(url.get(), CURLUPART_FRAGMENT)) {
        return std::nullopt;
    }
    auto path = GetPart(url.get(), CURLUPART_PATH);
    std::string folderPath = path && !path->empty() ? *path : "/";
    // The library reads "file:///C:/www/" as the path "C:/www/"; the URL
    // keeps its third slash.
    if (kWindows && *scheme == Scheme::File && IsDrivePath(folderPath)) folderPath.insert(0, "/");
    // "file:relative/dir" has a path of no folder the URL could name; written
    // out it would read as a host ("file://relative/dir/").
    if (folderPath.front() != '/') return std::nullopt;
    // An encoded control character ("%0A") names no folder either: the path
    // would not decode for the transfers, or reach a server as a line break.
    if (!GetPart(url.get(), CURLUPART_PATH, CURLU_URLDECODE)) return std::nullopt;
    if (folderPath.back() != '/') folderPath += '/';
    if (curl_url_set(url.get(), CURLUPART_PATH, folderPath.c_str(), 0) != CURLUE_OK) {
        return std::nullopt;
    }
    if (*scheme == Scheme::Ftps) curl_url_set(url.get(), CURLUPART_SCHEME, "ftp", 0);
    auto full = GetPart(url.get(), CURLUPART_URL);
    // The transfers read the URL again: one that does not read back ("ftp:/%7F"
    // names a host no URL can hold) names no folder.
    if (!full || !DecodedPath(*full)) return std::nullopt;
    return RemoteFolder{*scheme, *full};
}

}  // namespace

std::optional<RemoteFolder> ParseRemoteFolder(std::string_view text) {
    auto folder = ReadRemoteFolder(text);
    // The transfers read the URL again, and so does the next start: one that
    // reads back as another ("ftp:/%32" names the host "%32", read again "2")
    // would send the files elsewhere than the settings say.
    if (!folder) return folder;
    const auto again = ReadRemoteFolder(folder->url);
    if (!again || again->url != folder->url) return std::nullopt;
    return folder;
}

std::optional<RemoteFolder> ResolveImageFolder(const RemoteFolder& destination,
                                               std::string_view setting) {
    while (!setting.empty() && (setting.front() == ' ' || setting.front() == '\t')) {
        setting.remove_prefix(1);
    }
    while (!setting.empty() && (setting.back() == ' ' || setting.back() == '\t')) {
        setting.remove_suffix(1);
    }
    if (setting.empty()) return destination;
    if (HasControlCharacter(setting)) return std::nullopt;
    if (setting.find("://") != std::string_view::npos) return ParseRemoteFolder(setting);

    UrlHandle url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, destination.url.c_str(),
                             CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        return std::nullopt;
    }
    std::string path;
    if (setting.front() == '/') {
        path = EscapePath(setting);
    } else {
        auto base = GetPart(url.get(), CURLUPART_PATH);
        path = (base ? *base : "/") + EscapePath(setting);
    }
    if (path.back() != '/') path += '/';
    if (curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), 0) != CURLUE_OK) {
        return std::nullopt;
    }
    auto full = GetPart(url.get(), CURLUPART_URL);
    if (!full) return std::nullopt;
    return RemoteFolder{destination.scheme, *full};
}

std::string FileUrl(const RemoteFolder& folder, std::string_view name) {
    return folder.url + Escape(name);
}

std::optional<std::string> DecodedPath(std::string_view url) {
    UrlHandle handle(curl_url());
    std::string text(url);
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, text.c_str(),
                                CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        return std::nullopt;
    }
    return GetPart(handle.get(), CURLUPART_PATH, CURLU_URLDECODE);
}

std::optional<std::string> LocalPathOf(std::string_view fileUrl) {
    auto path = DecodedPath(fileUrl);
    if (kWindows && path && path->size() > 1 && IsDrivePath(std::string_view(*path).substr(1))) {
        path->erase(0, 1);
    }
    return path;
}

std::string DisplayUrl(std::string_view url) {
    UrlHandle handle(curl_url());
    std::string text(url);
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, text.c_str(),
                                CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
        // A plain folder path holds no password to hide.
        return text.find("://") == std::string::npos ? text : "(URL)";
    }
    curl_url_set(handle.get(), CURLUPART_PASSWORD, nullptr, 0);
    auto shown = GetPart(handle.get(), CURLUPART_URL, CURLU_URLDECODE);
    return shown ? *shown : "(URL)";
}

bool SchemeAvailable(Scheme scheme) {
    const char* wanted = "ftp";
    switch (scheme) {
        case Scheme::Ftp:
            wanted = "ftp";
            break;
        case Scheme::Ftps:
            wanted = "ftps";
            break;
        case Scheme::Sftp:
            wanted = "sftp";
            break;
        case Scheme::File:
            wanted = "file";
            break;
    }
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    if (info == nullptr || info->protocols == nullptr) return false;
    for (const char* const* protocol = info->protocols; *protocol != nullptr; ++protocol) {
        if (std::strcmp(*protocol, wanted) == 0) return true;
    }
    return false;
}

}  // namespace qm::tavmo
