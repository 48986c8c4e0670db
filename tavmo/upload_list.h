// From the paths the main window hands over to the list of files to send.
#pragma once

#include <memory>
#include <optional>
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
// `imageFolder`, everything else into `pageFolder`. When both are the same
// folder, an image in a folder "images" beside a page of the list goes into
// "images/" of that folder, made when missing, as the page links it. Images go
// first, so a page never goes online before the pictures it shows. A path that
// names no regular file becomes a Missing item, reported and left out of the
// sending.
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

// One upload as the tool runs it: the settings file and the list it gives.
// Each try reads the settings again, so a destination mended in the meantime
// is used; when they changed every file goes again, else only what is left.
class UploadRun {
  public:
    UploadRun(std::string iniPath, std::vector<std::string> paths, PasswordKeyring* keyring);

    // Reads the settings (again). Empty when uploader() is ready to send,
    // else the reason (Japanese).
    std::string Reload();
    Uploader* uploader() const { return prepared_.uploader.get(); }
    const std::string& iniPath() const { return iniPath_; }
    PasswordKeyring* keyring() const { return keyring_; }

  private:
    std::string iniPath_;
    std::vector<std::string> paths_;
    PasswordKeyring* keyring_;
    std::optional<UploadSettings> settings_;
    PreparedUpload prepared_;
};

}  // namespace qm::tavmo
