#include "tavmo/transfer.h"

#include <curl/curl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/utf8_path.h"
#include "tavmo/failure_text.h"

namespace qm::tavmo {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A name the remote side can take as it stands: an FTP command line ends at a
// line break, so one inside a name would smuggle in a command of its own.
bool SafeRemoteName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F || c == '/') return false;
    }
    return true;
}

bool LocalFileExists(const std::string& path) { return FileExists(NativePath(path)); }

// The local file to send, by its UTF-8 name (which Windows wants wide).
FileHandle OpenToSend(const std::string& path) {
#ifdef _WIN32
    return FileHandle(::_wfopen(PathOfUtf8(path).c_str(), L"rb"));
#else
    return FileHandle(std::fopen(path.c_str(), "rb"));
#endif
}

}  // namespace

std::optional<std::uint64_t> LocalFileSize(const std::string& path) {
    std::error_code ec;
    const auto fsPath = PathOfUtf8(path);
    if (!std::filesystem::is_regular_file(fsPath, ec)) return std::nullopt;
    const auto size = std::filesystem::file_size(fsPath, ec);
    return ec ? std::nullopt : std::optional<std::uint64_t>(size);
}

std::string TemporaryName(const std::string& name) { return name + ".tavmo-part"; }

std::string SftpCommandPath(const std::string& decodedPath) {
    // A quoted path gets no "/~/" expansion, but a relative one starts in
    // the login folder, which is the home folder.
    std::string path = decodedPath.rfind("/~/", 0) == 0 ? decodedPath.substr(3) : decodedPath;
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string FtpCommandPath(const std::string& decodedPath) {
    return decodedPath.rfind('/', 0) == 0 ? decodedPath.substr(1) : decodedPath;
}

Uploader::Uploader(Connection connection, std::vector<UploadItem> items)
    : connection_(std::move(connection)), items_(std::move(items)) {
    for (auto& item : items_) RefreshSize(item);
}

Uploader::~Uploader() = default;

void Uploader::RefreshSize(UploadItem& item) {
    if (const auto size = LocalFileSize(item.localPath)) item.size = *size;
}

bool Uploader::AllSent() const {
    for (const auto& item : items_) {
        if (item.state != UploadItem::State::Sent) return false;
    }
    return true;
}

std::uint64_t Uploader::TotalBytes() const {
    std::uint64_t total = 0;
    for (const auto& item : items_) {
        if (item.state != UploadItem::State::Missing) total += item.size;
    }
    return total;
}

std::uint64_t Uploader::SentBytes() const {
    std::uint64_t done = 0;
    for (const auto& item : items_) {
        if (item.state == UploadItem::State::Sent) done += item.size;
    }
    return done;
}

bool Uploader::SendPending(ProgressObserver& observer) {
    cancelled_ = false;
    for (auto& item : items_) {
        if (item.state == UploadItem::State::Sent) continue;
        // A file that is still missing is reported as such even when the run
        // stops before reaching it.
        if (!LocalFileExists(item.localPath)) {
            item.state = UploadItem::State::Missing;
            item.problem = MissingFileText(item.localPath);
            continue;
        }
        item.state = UploadItem::State::Pending;
        item.problem.clear();
        RefreshSize(item);
    }
    for (auto& item : items_) {
        if (item.state != UploadItem::State::Pending) continue;
        if (!LocalFileExists(item.localPath)) {
            item.state = UploadItem::State::Missing;
            item.problem = MissingFileText(item.localPath);
            observer.FileFinished(item);
            continue;
        }
        observer.FileStarted(item);
        const Outcome outcome = SendOne(item, observer);
        observer.FileFinished(item);
        if (outcome == Outcome::StopAll) break;
    }
    observer.BytesSent(SentBytes(), TotalBytes());
    return AllSent();
}

Uploader::Outcome Uploader::SendOne(UploadItem& item, ProgressObserver& observer) {
    const auto size = LocalFileSize(item.localPath);
    if (!size) {
        item.state = UploadItem::State::Missing;
        item.problem = MissingFileText(item.localPath);
        return Outcome::Failed;
    }
    item.size = *size;
    if (!SafeRemoteName(item.name)) {
        item.state = UploadItem::State::Failed;
        item.problem = FileFailureText(
            item.name, "この名前のファイルは送れません(改行などの制御文字が含まれています)。");
        return Outcome::Failed;
    }
    if (!session_.ready()) {
        item.state = UploadItem::State::Failed;
        item.problem = FileFailureText(item.name, "通信の準備ができませんでした。");
        return Outcome::StopAll;
    }
    TransferRequest request;
    // Progress counts over the whole list, the files sent before included.
    request.progress = [&observer, doneBefore = SentBytes(),
                        total = TotalBytes()](std::uint64_t sent) {
        if (observer.CancelRequested()) return false;
        observer.BytesSent(doneBefore + sent, total);
        return true;
    };
    return item.folder.scheme == Scheme::File ? SendToLocalFolder(item, request)
                                              : SendToServer(item, request);
}

Uploader::Outcome Uploader::Fail(UploadItem& item, const TransferResult& result) {
    if (result.cancelled()) cancelled_ = true;
    item.state = UploadItem::State::Failed;
    item.problem = FileFailureText(item.name, result.Describe());
    return result.StopsEveryFile() ? Outcome::StopAll : Outcome::Failed;
}

Uploader::Outcome Uploader::SendToServer(UploadItem& item, TransferRequest& request) {
    FileHandle input(OpenToSend(item.localPath));
    if (!input) {
        item.state = UploadItem::State::Missing;
        item.problem = MissingFileText(item.localPath);
        return Outcome::Failed;
    }
    const std::string temporary = TemporaryName(item.name);
    request.url = FileUrl(item.folder, temporary);
    request.upload = input.get();
    request.uploadSize = item.size;
    if (item.folder.scheme == Scheme::Sftp) {
        auto temporaryPath = DecodedPath(request.url);
        auto finalPath = DecodedPath(FileUrl(item.folder, item.name));
        if (!temporaryPath || !finalPath) {
            item.state = UploadItem::State::Failed;
            item.problem = FileFailureText(item.name, "送り先のURLの書き方が正しくありません。");
            return Outcome::StopAll;
        }
        // Only the last folder is made, so a destination that is not there
        // stays an error; where the folder is there already (or cannot be
        // made) the upload itself tells.
        if (item.makeFolder) {
            const std::string folder = finalPath->substr(0, finalPath->rfind('/'));
            request.afterLogin = {"*mkdir " + SftpCommandPath(folder)};
        }
        // An sftp rename does not replace an existing file, so the old one
        // goes first; the new one is complete by then.
        request.afterUpload = {
            "*rm " + SftpCommandPath(*finalPath),
            "rename " + SftpCommandPath(*temporaryPath) + " " + SftpCommandPath(*finalPath)};
    } else {
        // The library makes every missing folder of the path: the destination
        // is looked at first, so only the item's own folder is ever made.
        if (item.makeFolder) {
            const std::string& url = item.folder.url;
            TransferRequest look;
            look.url = url.substr(0, url.rfind('/', url.size() - 2) + 1);
            const TransferResult seen = session_.Perform(connection_, item.folder.scheme, look);
            if (!seen.ok()) return Fail(item, seen);
            request.makeMissingFolders = true;
        }
        // RNFR/RNTO run in the folder the transfer changed into.
        request.afterUpload = {"RNFR " + temporary, "RNTO " + item.name};
    }

    const TransferResult result = session_.Perform(connection_, item.folder.scheme, request);
    if (result.code == CURLE_QUOTE_ERROR && result.renameStarted &&
        item.folder.scheme != Scheme::Sftp &&
        ReplaceWithTemporary(item.folder, item.name, connection_) == CURLE_OK) {
        item.state = UploadItem::State::Sent;
        return Outcome::Sent;
    }
    if (!result.ok()) return Fail(item, result);
    item.state = UploadItem::State::Sent;
    return Outcome::Sent;
}

Uploader::Outcome Uploader::SendToLocalFolder(UploadItem& item, TransferRequest& request) {
    auto folderPath = LocalPathOf(item.folder.url);
    std::error_code ec;
    // Only the last folder: the destination itself must be there, as for the pages.
    if (folderPath && item.makeFolder) {
        std::filesystem::create_directory(PathOfUtf8(*folderPath).parent_path(), ec);
    }
    if (!folderPath || !std::filesystem::is_directory(PathOfUtf8(*folderPath), ec)) {
        item.state = UploadItem::State::Failed;
        item.problem = FileFailureText(item.name, "送り先のフォルダが見つかりません: " +
                                                      (folderPath ? *folderPath : item.folder.url));
        // Only this folder is missing: the images may have a folder of their own.
        return Outcome::Failed;
    }
    FileHandle input(OpenToSend(item.localPath));
    if (!input) {
        item.state = UploadItem::State::Missing;
        item.problem = MissingFileText(item.localPath);
        return Outcome::Failed;
    }
    const NativePath temporaryPath(*folderPath + TemporaryName(item.name));
    const NativePath finalPath(*folderPath + item.name);

    request.url = FileUrl(item.folder, TemporaryName(item.name));
    request.upload = input.get();
    request.uploadSize = item.size;
    const TransferResult result = session_.Perform(connection_, Scheme::File, request);
    if (!result.ok()) {
        RemoveFile(temporaryPath);
        return Fail(item, result);
    }
    // The page keeps the permissions it had, so the web server can still read it.
    if (const FileStatus moved = MoveFinishedFileIntoPlace(temporaryPath, finalPath); !moved) {
        RemoveFile(temporaryPath);
        item.state = UploadItem::State::Failed;
        item.problem =
            FileFailureText(item.name, "送り先で本来の名前に置き換えられませんでした。\n詳しく: " +
                                           moved.problem().answer);
        return Outcome::Failed;
    }
    item.state = UploadItem::State::Sent;
    return Outcome::Sent;
}

int ReplaceWithTemporary(const RemoteFolder& folder, const std::string& name,
                         const Connection& connection) {
    auto finalPath = DecodedPath(FileUrl(folder, name));
    auto temporaryPath = DecodedPath(FileUrl(folder, TemporaryName(name)));
    if (!finalPath || !temporaryPath) return CURLE_URL_MALFORMAT;
    CurlSession session;
    if (!session.ready()) return CURLE_FAILED_INIT;
    TransferRequest request;
    request.url = folder.url;
    // Sent right after login, so the paths are relative to the login folder.
    // The list stops at the first refusal: without the temporary file
    // (MDTM fails) the old file is not deleted.
    request.afterLogin = {
        "MDTM " + FtpCommandPath(*temporaryPath), "DELE " + FtpCommandPath(*finalPath),
        "RNFR " + FtpCommandPath(*temporaryPath), "RNTO " + FtpCommandPath(*finalPath)};
    return session.Perform(connection, folder.scheme, request).code;
}

std::string TestConnection(const RemoteFolder& folder, const Connection& connection) {
    if (!SchemeAvailable(folder.scheme)) {
        return "この送り先の種類には、このパソコンの通信ライブラリが対応していません。";
    }
    if (folder.scheme == Scheme::File) {
        auto path = LocalPathOf(folder.url);
        std::error_code ec;
        if (!path || !std::filesystem::is_directory(PathOfUtf8(*path), ec)) {
            return "送り先のフォルダが見つかりません: " + (path ? *path : folder.url);
        }
#ifndef _WIN32
        // Windows grants writing by the folder's access list, which only a
        // write tries; the first file sent says so there.
        if (::access(path->c_str(), W_OK) != 0) {
            return "送り先のフォルダに書き込めません: " + *path;
        }
#endif
        return {};
    }
    CurlSession session;
    if (!session.ready()) return "通信の準備ができませんでした。";
    TransferRequest request;
    request.url = folder.url;
    const TransferResult result = session.Perform(connection, folder.scheme, request);
    return result.ok() ? std::string() : result.Describe();
}

}  // namespace qm::tavmo
