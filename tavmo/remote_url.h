// Destinations as the user writes them in the settings, and the URLs and
// paths the transfers need from them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm::tavmo {

enum class Scheme { Ftp, Ftps, Sftp, File };

// A remote folder. `url` is what the transfer library is given and always ends
// in '/'; for ftps it is written ftp:// because TLS is asked for explicitly
// (AUTH TLS on the ordinary port), not by the implicit-TLS scheme.
struct RemoteFolder {
    Scheme scheme = Scheme::Ftp;
    std::string url;
};

// Reads a destination: an ftp://, ftps://, sftp:// or file:// URL naming a
// folder, or an absolute local folder path ("/srv/www/diary"; on Windows also
// "C:\www\diary", written file:///C:/www/diary/). std::nullopt for anything
// else, including a URL without a host.
std::optional<RemoteFolder> ParseRemoteFolder(std::string_view text);

// The image folder setting: empty means the destination itself; a text with
// "://" is a URL of its own; a text starting with '/' is a folder path on the
// same server; anything else is a folder relative to the destination ("img/").
std::optional<RemoteFolder> ResolveImageFolder(const RemoteFolder& destination,
                                               std::string_view setting);

// The URL of `name` inside `folder`, the name percent-encoded.
std::string FileUrl(const RemoteFolder& folder, std::string_view name);

// The decoded path part of a URL ("/pub/日記.html").
std::optional<std::string> DecodedPath(std::string_view url);

// The local folder or file a file:// URL names, as the file system takes it
// (UTF-8; on Windows "C:/www/" rather than the URL's "/C:/www/").
std::optional<std::string> LocalPathOf(std::string_view fileUrl);

// The URL fit to show: a password written into it is left out.
std::string DisplayUrl(std::string_view url);

// Whether the transfer library on this machine speaks the scheme (sftp needs
// its SSH support).
bool SchemeAvailable(Scheme scheme);

}  // namespace qm::tavmo
