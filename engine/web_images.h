// The web copies of the images an entry shows: made in memory when an image
// is chosen (so the image builder can show them), written into the folder
// "images/" beside the pages by the generate that publishes them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/entry.h"
#include "image/web_image.h"
#include "platform/native_path.h"

namespace qm {

struct ActiveConfig;
struct RunState;
class Host;

inline constexpr std::string_view kImagesFolder = "images/";

struct WebImage {
    std::string original;  // the chosen file, code page 932, as chosen
    std::string src;       // what the page names: "images/" + the copy's name
    bool copied = true;    // false when the set keeps no copies: the original is sent
    std::string bytes;     // the copy (an image fit as it is, unchanged)
    int width = 0;         // of the copy
    int height = 0;
};

// The set's settings for the copies.
WebImageSettings WebImageSettingsOf(const ActiveConfig& config);

// The copy of `originalCp932` for the set's pages, named after the original,
// with "-2", "-3" ... before the extension when an image of this run or a
// different file in the images folder has the name. With copies off, the
// bare name as src and nothing read. std::nullopt when the file cannot be
// read or decoded; `problem` then says "file: why" (code page 932).
std::optional<WebImage> PrepareWebImage(const ActiveConfig& config, const RunState& run,
                                        std::string_view originalCp932, std::string& problem);

// `input` with the size of the web copy its image box names, when known.
EntryInput WithImageSize(const EntryInput& input, const RunState& run);

// What a generate publishes of this run's images.
struct PublishedImages {
    std::vector<std::string> upload;  // copies (or originals), in the order chosen
    std::vector<std::string> made;    // the copies written by this generate
};

// Writes the copy of every image chosen this run (run.imageUploadList) that
// is not in the images folder yet, preparing those chosen before the window
// was last closed. An image that cannot be read, decoded or written is said,
// with its name, and left out.
PublishedImages PublishWebImages(const ActiveConfig& config, RunState& run, Host& host);

// Removes the copies a failed generate wrote.
void RemoveMadeImages(const std::vector<std::string>& madeCp932);

// True for a path inside the set's images folder.
bool IsWebImagePath(const ActiveConfig& config, std::string_view pathCp932);

}  // namespace qm
