// Sending files to the remote folder. Each file is written under a temporary
// name and renamed into place only when it is complete, so a broken connection
// never leaves a half-written page under its real name. The list remembers
// what has been sent: sending again (a retry) sends only what is left.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tavmo/curl_session.h"
#include "tavmo/remote_url.h"

namespace qm::tavmo {

struct UploadItem {
    enum class State { Pending, Sent, Failed, Missing };

    std::string localPath;  // UTF-8 file system path
    std::string name;       // the name it gets in the remote folder
    RemoteFolder folder;
    bool makeFolder = false;  // the last folder of `folder` is made when missing
    std::uint64_t size = 0;
    State state = State::Pending;
    std::string problem;  // Japanese, for Failed and Missing
};

// The temporary name a file is written under before it is renamed into place.
std::string TemporaryName(const std::string& name);

// The size of the local regular file `path` (UTF-8); std::nullopt for
// anything else.
std::optional<std::uint64_t> LocalFileSize(const std::string& path);

// A remote path as an sftp rename or rm command takes it: quoted, with
// backslash escapes; "/~/" (the home folder) becomes a relative path.
std::string SftpCommandPath(const std::string& decodedPath);

class ProgressObserver {
  public:
    virtual ~ProgressObserver() = default;
    virtual void FileStarted(const UploadItem& /*item*/) {}
    // Bytes over the whole list, files sent on an earlier try included.
    virtual void BytesSent(std::uint64_t /*done*/, std::uint64_t /*total*/) {}
    virtual void FileFinished(const UploadItem& /*item*/) {}
    // Polled during transfers, possibly from the transferring thread.
    virtual bool CancelRequested() { return false; }
};

class Uploader {
  public:
    Uploader(Connection connection, std::vector<UploadItem> items);
    ~Uploader();
    Uploader(const Uploader&) = delete;
    Uploader& operator=(const Uploader&) = delete;

    // Sends every item not sent yet, in order. A failure of one file lets the
    // next ones go on; a failure that would fail them all (no connection, login
    // refused, cancelled) stops the run and leaves the rest pending. True when
    // every item is sent.
    bool SendPending(ProgressObserver& observer);

    const std::vector<UploadItem>& items() const { return items_; }
    bool AllSent() const;
    bool cancelled() const { return cancelled_; }
    std::uint64_t TotalBytes() const;
    std::uint64_t SentBytes() const;

  private:
    enum class Outcome { Sent, Failed, StopAll };

    Outcome SendOne(UploadItem& item, ProgressObserver& observer);
    // `request` comes with its progress report; these add what is sent where.
    Outcome SendToLocalFolder(UploadItem& item, TransferRequest& request);
    Outcome SendToServer(UploadItem& item, TransferRequest& request);
    Outcome Fail(UploadItem& item, const TransferResult& result);
    void RefreshSize(UploadItem& item);

    Connection connection_;
    std::vector<UploadItem> items_;
    CurlSession session_;  // one for the whole run, so one login serves every file
    bool cancelled_ = false;
};

// A remote path as an FTP command takes it, relative to the login folder
// the way the URL's path is ("/pub/a.html" -> "pub/a.html").
std::string FtpCommandPath(const std::string& decodedPath);

// For servers that refuse to rename onto an existing file: deletes `name` in
// `folder`, then renames its temporary file to it. The transfer library's
// result code (0 when done).
int ReplaceWithTemporary(const RemoteFolder& folder, const std::string& name,
                         const Connection& connection);

// Logs in and looks at the folder without sending anything. Empty when all is
// well, else a Japanese explanation.
std::string TestConnection(const RemoteFolder& folder, const Connection& connection);

}  // namespace qm::tavmo
