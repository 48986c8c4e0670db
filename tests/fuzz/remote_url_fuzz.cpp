// The upload tool's destinations on arbitrary text: whatever is accepted is a
// folder URL ending in '/', reads the same when read again, and gives image
// folders and file URLs inside it.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_support.h"
#include "tavmo/remote_url.h"

namespace qm::fuzz {
namespace {

using tavmo::RemoteFolder;
using tavmo::Scheme;

bool EndsInSlash(const std::string& url) { return !url.empty() && url.back() == '/'; }

// A destination's URL is already in the form the transfer library reads it
// in; an image folder's may still hold "../", which that reading resolves.
void CheckFolder(const RemoteFolder& folder, bool resolved) {
    Require(EndsInSlash(folder.url), "a folder URL ends in '/'");
    Require(tavmo::DecodedPath(folder.url).has_value(), "a folder URL has a path");
    auto again = tavmo::ParseRemoteFolder(folder.url);
    Require(again.has_value(), "a folder URL reads again");
    if (!resolved) again = tavmo::ParseRemoteFolder(again->url);
    Require(again.has_value() && (again->url == folder.url || !resolved),
            "a folder URL reads again as itself");
    Require(tavmo::ParseRemoteFolder(again->url)->url == again->url,
            "a folder URL read once reads the same ever after");
    // An ftps destination is given to the transfers as ftp:// with TLS asked for.
    Require(again->scheme == (folder.scheme == Scheme::Ftps ? Scheme::Ftp : folder.scheme),
            "a folder URL keeps its scheme");
}

}  // namespace
}  // namespace qm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qm::fuzz;
    FuzzedDataProvider input(data, size);
    const std::string destination = input.ConsumeRandomLengthString(128);
    const std::string imageSetting = input.ConsumeRandomLengthString(64);
    const std::string name = input.ConsumeRemainingBytesAsString();

    qm::tavmo::DisplayUrl(destination);
    qm::tavmo::DecodedPath(destination);
    auto folder = qm::tavmo::ParseRemoteFolder(destination);
    if (!folder) return 0;
    CheckFolder(*folder, true);

    auto images = qm::tavmo::ResolveImageFolder(*folder, imageSetting);
    if (images) CheckFolder(*images, false);
    const std::string file = qm::tavmo::FileUrl(*folder, name);
    Require(file.rfind(folder->url, 0) == 0, "a file URL lies inside its folder");
    Require(file.find('/', folder->url.size()) == std::string::npos,
            "a file name cannot reach another folder");
    qm::tavmo::DisplayUrl(file);
    return 0;
}
