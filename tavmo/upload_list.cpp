#include "tavmo/upload_list.h"

#include <algorithm>

#include "platform/utf8_path.h"
#include "tavmo/failure_text.h"

namespace qm::tavmo {

namespace {

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// A generate puts a photo's web copy into "images/" beside its page, and the
// page links it there: the copy must keep that place at the destination.
bool InImagesBesidePage(const std::string& image, const std::vector<std::string>& paths) {
    const auto folder = PathOfUtf8(image).lexically_normal().parent_path();
    if (folder.filename() != "images") return false;
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
        return !IsImageName(BaseName(path)) &&
               PathOfUtf8(path).lexically_normal().parent_path() == folder.parent_path();
    });
}

}  // namespace

bool IsImageName(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string extension = LowerAscii(name.substr(dot + 1));
    for (const char* image : {"jpg", "jpeg", "png", "gif", "webp", "bmp", "svg"}) {
        if (extension == image) return true;
    }
    return false;
}

std::string BaseName(std::string_view path) {
#ifdef _WIN32
    const auto slash = path.find_last_of("/\\");  // Windows separates with either
#else
    const auto slash = path.rfind('/');
#endif
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::vector<UploadItem> PlanUploads(const std::vector<std::string>& paths,
                                    const RemoteFolder& pageFolder,
                                    const RemoteFolder& imageFolder) {
    std::vector<UploadItem> images;
    std::vector<UploadItem> others;
    std::vector<std::string> seen;
    for (const auto& path : paths) {
        if (std::find(seen.begin(), seen.end(), path) != seen.end()) continue;
        seen.push_back(path);
        UploadItem item;
        item.localPath = path;
        item.name = BaseName(path);
        const bool image = IsImageName(item.name);
        item.folder = image ? imageFolder : pageFolder;
        // Only where the images go with the pages: a folder of their own is
        // the user's choice.
        if (image && imageFolder.url == pageFolder.url && InImagesBesidePage(path, paths)) {
            item.folder.url += "images/";
            item.makeFolder = true;
        }
        if (const auto size = LocalFileSize(path)) {
            item.size = *size;
        } else {
            item.state = UploadItem::State::Missing;
            item.problem = MissingFileText(path);
        }
        (image ? images : others).push_back(std::move(item));
    }
    images.insert(images.end(), std::make_move_iterator(others.begin()),
                  std::make_move_iterator(others.end()));
    return images;
}

PreparedUpload PrepareUpload(const UploadSettings& settings,
                             const std::vector<std::string>& paths) {
    PreparedUpload prepared;
    if (settings.destination.empty()) {
        prepared.error = "送り先が設定されていません。tavmo.exe /set で送り先を設定してください。";
        return prepared;
    }
    auto pages = ParseRemoteFolder(settings.destination);
    if (!pages) {
        prepared.error = "送り先のURLが正しくありません: " + DisplayUrl(settings.destination) +
                         "\nftp:// ftps:// sftp:// file:// "
                         "のどれかで始まるURLか、フォルダのパスを指定してください。";
        return prepared;
    }
    auto images = ResolveImageFolder(*pages, settings.imageFolder);
    if (!images) {
        prepared.error = "画像の送り先が正しくありません: " + DisplayUrl(settings.imageFolder);
        return prepared;
    }
    for (const RemoteFolder* folder : {&*pages, &*images}) {
        if (!SchemeAvailable(folder->scheme)) {
            prepared.error =
                "この送り先の種類には、このパソコンの通信ライブラリが対応していません: " +
                DisplayUrl(folder->url);
            return prepared;
        }
    }
    prepared.uploader =
        std::make_unique<Uploader>(ConnectionOf(settings), PlanUploads(paths, *pages, *images));
    return prepared;
}

UploadRun::UploadRun(std::string iniPath, std::vector<std::string> paths, PasswordKeyring* keyring)
    : iniPath_(std::move(iniPath)), paths_(std::move(paths)), keyring_(keyring) {}

std::string UploadRun::Reload() {
    auto fresh = LoadSettings(iniPath_, keyring_);
    if (!fresh) return "設定ファイル tavmo.ini を読めません。";
    if (prepared_.uploader && fresh == settings_) return "";
    PreparedUpload next = PrepareUpload(*fresh, paths_);
    if (!next.uploader) return next.error;
    settings_ = std::move(fresh);
    prepared_ = std::move(next);
    return "";
}

}  // namespace qm::tavmo
