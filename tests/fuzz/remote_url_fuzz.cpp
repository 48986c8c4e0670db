// The upload tool's destinations on arbitrary text: whatever is accepted is a
// folder URL ending in '/', reads the same when read again, and gives image
// folders and file URLs inside it.
#include "fuzz_support.h"
#include "tavmo/remote_url.h"

namespace qm::fuzz {

using namespace tavmo;

// A destination's URL is already in the form the transfer library reads it
// in; an image folder's may still hold "../", which that reading resolves.
void CheckFolder(const RemoteFolder& folder, bool resolved) {
    Require(!folder.url.empty() && folder.url.back() == '/', "a folder URL ends in '/'");
    Require(DecodedPath(folder.url).has_value(), "a folder URL has a path");
    auto again = ParseRemoteFolder(folder.url);
    Require(again.has_value(), "a folder URL reads again");
    if (!resolved) again = ParseRemoteFolder(again->url);
    Require(again.has_value() && (again->url == folder.url || !resolved),
            "a folder URL reads again as itself");
    Require(ParseRemoteFolder(again->url)->url == again->url,
            "a folder URL read once reads the same ever after");
    // An ftps destination is given to the transfers as ftp:// with TLS asked for.
    Require(again->scheme == (folder.scheme == Scheme::Ftps ? Scheme::Ftp : folder.scheme),
            "a folder URL keeps its scheme");
}

QM_FUZZ_TARGET(input) {
    const std::string destination = input.ConsumeRandomLengthString(128);
    const std::string imageSetting = input.ConsumeRandomLengthString(64);
    const std::string name = input.ConsumeRemainingBytesAsString();
    DisplayUrl(destination);
    DecodedPath(destination);
    auto folder = ParseRemoteFolder(destination);
    if (!folder) return;
    CheckFolder(*folder, true);
    if (auto images = ResolveImageFolder(*folder, imageSetting)) CheckFolder(*images, false);
    const std::string file = FileUrl(*folder, name);
    Require(file.rfind(folder->url, 0) == 0, "a file URL lies inside its folder");
    Require(file.find('/', folder->url.size()) == std::string::npos,
            "a file name cannot reach another folder");
    DisplayUrl(file);
}

}  // namespace qm::fuzz
