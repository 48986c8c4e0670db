// From the paths the main window hands over to the list of files to send.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tavmo/transfer.h"
#include "tavmo/upload_settings.h"

namespace qm::tavmo {

// By extension, without regard to case: jpg jpeg png gif webp bmp svg.
bool IsImageName(std::string_view name);

// The part after the last '/'.
std::string BaseName(std::string_view path);

// One item per distinct path, each under its own name: images into
// `imageFolder`, everything else into `pageFolder`. Images go first, so a page
// never goes online before the pictures it shows. A path that names no
// regular file becomes a Missing item, reported and left out of the sending.
std::vector<UploadItem> PlanUploads(const std::vector<std::string>& paths,
                                    const RemoteFolder& pageFolder,
                                    const RemoteFolder& imageFolder);

struct PreparedUpload {
    std::unique_ptr<Uploader> uploader;  // null when the settings cannot be used
    std::string error;                   // Japanese, when there is no uploader
};

// Checks the settings (a destination is set, its kind is supported here) and
// lists the files.
PreparedUpload PrepareUpload(const UploadSettings& settings, const std::vector<std::string>& paths);

}  // namespace qm::tavmo
