#include "tavmo/transfer.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

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

std::string DefaultKnownHostsFile() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {};
    return std::string(home) + "/.ssh/known_hosts";
}

bool LocalFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool StopsEveryFile(CURLcode code) {
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_LOGIN_DENIED:
        case CURLE_ABORTED_BY_CALLBACK:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_USE_SSL_FAILED:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
            return true;
        default:
            return false;
    }
}

// The file's bytes reach the disk before the rename makes them the page.
bool FlushToDisk(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

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

// What one transfer needs while it runs, reachable from the library's callbacks.
struct TransferContext {
    ProgressObserver* observer = nullptr;
    std::uint64_t doneBefore = 0;
    std::uint64_t total = 0;
    std::string lastReply;
    // The server answered RNFR with 350: the temporary file is there, whole.
    bool renameStarted = false;
    // The option the library refused while the transfer was set up; empty
    // when it took them all.
    std::string refusedOption;
    char errorText[CURL_ERROR_SIZE] = {};
};

namespace {

// What one transfer does once logged in.
struct TransferRequest {
    std::string url;
    // The file to send; without one the transfer only looks at the folder.
    std::FILE* upload = nullptr;
    std::uint64_t uploadSize = 0;
    std::vector<std::string> afterLogin;   // raw commands sent right after login
    std::vector<std::string> afterUpload;  // raw commands sent once the file is complete
};

int OnProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto* attempt = static_cast<TransferContext*>(context);
    if (attempt->observer->CancelRequested()) return 1;
    attempt->observer->BytesSent(attempt->doneBefore + static_cast<std::uint64_t>(uploaded),
                                 attempt->total);
    return 0;
}

// Keeps the server's last refusal (an FTP reply starting 4 or 5) to quote it
// in a failure. Only incoming lines are looked at: outgoing ones carry the
// password.
int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* context) {
    if (type != CURLINFO_HEADER_IN || size == 0) return 0;
    auto* attempt = static_cast<TransferContext*>(context);
    if (size >= 3 && std::string_view(data, 3) == "350") attempt->renameStarted = true;
    if (data[0] != '4' && data[0] != '5') return 0;
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    attempt->lastReply = line;
    return 0;
}

std::string OptionName(CURLoption option) {
    const curl_easyoption* known = curl_easy_option_by_id(option);
    return std::string("CURLOPT_") + (known != nullptr ? known->name : "?");
}

// Sets options one after the other until the library refuses one; that one
// is named in the transfer's context for the failure text.
class OptionSetter {
  public:
    OptionSetter(CURL* curl, TransferContext& attempt) : curl_(curl), attempt_(attempt) {}

    template <typename Value>
    void operator()(CURLoption option, Value value) {
        if (result_ != CURLE_OK) return;
        result_ = curl_easy_setopt(curl_, option, value);
        if (result_ != CURLE_OK) attempt_.refusedOption = OptionName(option);
    }

    CURLcode result() const { return result_; }

  private:
    CURL* curl_;
    TransferContext& attempt_;
    CURLcode result_ = CURLE_OK;
};

// Every option of one transfer, on a handle just reset: the connection (login,
// passive mode, TLS or host keys), the time limits, what to send and which
// commands go with it, and the progress report when someone watches. The
// command lists must live until the transfer is over.
CURLcode SetUpTransfer(CURL* curl, const Connection& connection, Scheme scheme,
                       const TransferRequest& request, const curl_slist* afterLogin,
                       const curl_slist* afterUpload, TransferContext& attempt) {
    OptionSetter set(curl, attempt);
    set(CURLOPT_ERRORBUFFER, attempt.errorText);
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_VERBOSE, 1L);
    set(CURLOPT_DEBUGFUNCTION, OnDebug);
    set(CURLOPT_DEBUGDATA, &attempt);
    set(CURLOPT_CONNECTTIMEOUT, connection.connectTimeoutSeconds);
    set(CURLOPT_SERVER_RESPONSE_TIMEOUT, connection.stallSeconds);
    set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(CURLOPT_LOW_SPEED_TIME, connection.stallSeconds);
    set(CURLOPT_PROTOCOLS_STR, "ftp,ftps,sftp,file");
    if (!connection.user.empty()) set(CURLOPT_USERNAME, connection.user.c_str());
    if (!connection.password.empty() && connection.keyFile.empty()) {
        set(CURLOPT_PASSWORD, connection.password.c_str());
    }
    switch (scheme) {
        case Scheme::Ftps:
            set(CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            set(CURLOPT_SSL_VERIFYPEER, connection.verifyPeer ? 1L : 0L);
            set(CURLOPT_SSL_VERIFYHOST, connection.verifyPeer ? 2L : 0L);
            if (!connection.caFile.empty()) set(CURLOPT_CAINFO, connection.caFile.c_str());
            [[fallthrough]];
        case Scheme::Ftp:
            if (!connection.passive) set(CURLOPT_FTPPORT, "-");
            break;
        case Scheme::Sftp:
            if (!connection.keyFile.empty()) {
                set(CURLOPT_SSH_AUTH_TYPES, static_cast<long>(CURLSSH_AUTH_PUBLICKEY));
                set(CURLOPT_SSH_PRIVATE_KEYFILE, connection.keyFile.c_str());
                if (!connection.password.empty()) {
                    set(CURLOPT_KEYPASSWD, connection.password.c_str());
                }
            } else {
                set(CURLOPT_SSH_AUTH_TYPES,
                    static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
            }
            if (connection.verifyPeer) {
                const std::string knownHosts = connection.knownHostsFile.empty()
                                                   ? DefaultKnownHostsFile()
                                                   : connection.knownHostsFile;
                set(CURLOPT_SSH_KNOWNHOSTS, knownHosts.c_str());
            }
            break;
        case Scheme::File:
            break;
    }
    set(CURLOPT_URL, request.url.c_str());
    if (request.upload != nullptr) {
        set(CURLOPT_UPLOAD, 1L);
        set(CURLOPT_READDATA, request.upload);
        set(CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(request.uploadSize));
    } else {
        set(CURLOPT_NOBODY, 1L);
    }
    if (afterLogin != nullptr) set(CURLOPT_QUOTE, afterLogin);
    if (afterUpload != nullptr) set(CURLOPT_POSTQUOTE, afterUpload);
    if (attempt.observer != nullptr) {
        set(CURLOPT_NOPROGRESS, 0L);
        set(CURLOPT_XFERINFOFUNCTION, OnProgress);
        set(CURLOPT_XFERINFODATA, &attempt);
    }
    return set.result();
}

// A list of raw commands, or nothing when the library had no memory for it.
std::optional<CommandList> CommandsOf(const std::vector<std::string>& commands) {
    CommandList list;
    for (const auto& command : commands) {
        if (!Append(list, command)) return std::nullopt;
    }
    return list;
}

// Runs one transfer on `curl`, set up afresh. A refused set-up comes back as
// the library's code with `attempt.refusedOption` naming the option.
CURLcode PerformTransfer(CURL* curl, const Connection& connection, Scheme scheme,
                         const TransferRequest& request, TransferContext& attempt) {
    auto afterLogin = CommandsOf(request.afterLogin);
    auto afterUpload = CommandsOf(request.afterUpload);
    if (!afterLogin || !afterUpload) {
        attempt.refusedOption = OptionName(afterLogin ? CURLOPT_POSTQUOTE : CURLOPT_QUOTE);
        return CURLE_OUT_OF_MEMORY;
    }
    curl_easy_reset(curl);
    CURLcode result = SetUpTransfer(curl, connection, scheme, request, afterLogin->get(),
                                    afterUpload->get(), attempt);
    if (result == CURLE_OK) result = curl_easy_perform(curl);
    // The handle stays for the next file with its connection open, but must
    // not keep pointing at the lists and the context, which end here.
    curl_easy_reset(curl);
    return result;
}

std::string LibraryDetail(CURLcode code, const char* errorText) {
    if (errorText != nullptr && *errorText != '\0') return errorText;
    return curl_easy_strerror(code);
}

std::string DescribeFailure(CURLcode code, const TransferContext& attempt) {
    if (!attempt.refusedOption.empty()) {
        return SetUpFailureText(attempt.refusedOption, curl_easy_strerror(code));
    }
    return DescribeTransferFailure(code, attempt.lastReply, LibraryDetail(code, attempt.errorText));
}

}  // namespace

Uploader::Uploader(Connection connection, std::vector<UploadItem> items)
    : connection_(std::move(connection)), items_(std::move(items)), curl_(curl_easy_init()) {
    for (auto& item : items_) RefreshSize(item);
}

Uploader::~Uploader() = default;

void Uploader::RefreshSize(UploadItem& item) {
    struct stat st {};
    if (::stat(item.localPath.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        item.size = static_cast<std::uint64_t>(st.st_size);
    }
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
    struct stat st {};
    if (::stat(item.localPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        item.state = UploadItem::State::Missing;
        item.problem = MissingFileText(item.localPath);
        return Outcome::Failed;
    }
    item.size = static_cast<std::uint64_t>(st.st_size);
    if (!SafeRemoteName(item.name)) {
        item.state = UploadItem::State::Failed;
        item.problem = FileFailureText(
            item.name, "この名前のファイルは送れません(改行などの制御文字が含まれています)。");
        return Outcome::Failed;
    }
    if (!curl_) {
        item.state = UploadItem::State::Failed;
        item.problem = FileFailureText(item.name, "通信の準備ができませんでした。");
        return Outcome::StopAll;
    }
    TransferContext attempt;
    attempt.observer = &observer;
    attempt.total = TotalBytes();
    attempt.doneBefore = SentBytes();
    return item.folder.scheme == Scheme::File ? SendToLocalFolder(item, attempt)
                                              : SendToServer(item, attempt);
}

Uploader::Outcome Uploader::Fail(UploadItem& item, CURLcode code, const TransferContext& attempt) {
    if (code == CURLE_ABORTED_BY_CALLBACK) cancelled_ = true;
    item.state = UploadItem::State::Failed;
    item.problem = FileFailureText(item.name, DescribeFailure(code, attempt));
    // A refused set-up would be refused for every file alike.
    return !attempt.refusedOption.empty() || StopsEveryFile(code) ? Outcome::StopAll
                                                                  : Outcome::Failed;
}

Uploader::Outcome Uploader::SendToServer(UploadItem& item, TransferContext& attempt) {
    FileHandle input(std::fopen(item.localPath.c_str(), "rb"));
    if (!input) {
        item.state = UploadItem::State::Missing;
        item.problem = MissingFileText(item.localPath);
        return Outcome::Failed;
    }
    const std::string temporary = TemporaryName(item.name);
    TransferRequest request;
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
        // An sftp rename does not replace an existing file, so the old one
        // goes first; the new one is complete by then.
        request.afterUpload = {
            "*rm " + SftpCommandPath(*finalPath),
            "rename " + SftpCommandPath(*temporaryPath) + " " + SftpCommandPath(*finalPath)};
    } else {
        // RNFR/RNTO run in the folder the transfer changed into.
        request.afterUpload = {"RNFR " + temporary, "RNTO " + item.name};
    }

    const CURLcode result =
        PerformTransfer(curl_.get(), connection_, item.folder.scheme, request, attempt);
    if (result == CURLE_QUOTE_ERROR && attempt.renameStarted &&
        item.folder.scheme != Scheme::Sftp &&
        ReplaceWithTemporary(item.folder, item.name, connection_) == CURLE_OK) {
        item.state = UploadItem::State::Sent;
        return Outcome::Sent;
    }
    if (result != CURLE_OK) return Fail(item, result, attempt);
    item.state = UploadItem::State::Sent;
    return Outcome::Sent;
}

Uploader::Outcome Uploader::SendToLocalFolder(UploadItem& item, TransferContext& attempt) {
    auto folderPath = DecodedPath(item.folder.url);
    std::error_code ec;
    if (!folderPath || !std::filesystem::is_directory(*folderPath, ec)) {
        item.state = UploadItem::State::Failed;
        item.problem = FileFailureText(item.name, "送り先のフォルダが見つかりません: " +
                                                      (folderPath ? *folderPath : item.folder.url));
        // Only this folder is missing: the images may have a folder of their own.
        return Outcome::Failed;
    }
    FileHandle input(std::fopen(item.localPath.c_str(), "rb"));
    if (!input) {
        item.state = UploadItem::State::Missing;
        item.problem = MissingFileText(item.localPath);
        return Outcome::Failed;
    }
    const std::string temporaryPath = *folderPath + TemporaryName(item.name);
    const std::string finalPath = *folderPath + item.name;

    TransferRequest request;
    request.url = FileUrl(item.folder, TemporaryName(item.name));
    request.upload = input.get();
    request.uploadSize = item.size;
    const CURLcode result =
        PerformTransfer(curl_.get(), connection_, Scheme::File, request, attempt);
    if (result != CURLE_OK) {
        ::unlink(temporaryPath.c_str());
        return Fail(item, result, attempt);
    }
    // The page keeps the permissions it had, so the web server can still read it.
    struct stat old {};
    if (::stat(finalPath.c_str(), &old) == 0) ::chmod(temporaryPath.c_str(), old.st_mode & 07777);
    if (!FlushToDisk(temporaryPath) || ::rename(temporaryPath.c_str(), finalPath.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temporaryPath.c_str());
        item.state = UploadItem::State::Failed;
        item.problem = FileFailureText(
            item.name, "送り先で本来の名前に置き換えられませんでした。\n詳しく: " + reason);
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
    EasyHandle curl(curl_easy_init());
    if (!curl) return CURLE_FAILED_INIT;
    TransferContext attempt;
    TransferRequest request;
    request.url = folder.url;
    // Sent right after login, so the paths are relative to the login folder.
    // The list stops at the first refusal: without the temporary file
    // (MDTM fails) the old file is not deleted.
    request.afterLogin = {
        "MDTM " + FtpCommandPath(*temporaryPath), "DELE " + FtpCommandPath(*finalPath),
        "RNFR " + FtpCommandPath(*temporaryPath), "RNTO " + FtpCommandPath(*finalPath)};
    return PerformTransfer(curl.get(), connection, folder.scheme, request, attempt);
}

std::string TestConnection(const RemoteFolder& folder, const Connection& connection) {
    if (!SchemeAvailable(folder.scheme)) {
        return "この送り先の種類には、このパソコンの通信ライブラリが対応していません。";
    }
    if (folder.scheme == Scheme::File) {
        auto path = DecodedPath(folder.url);
        std::error_code ec;
        if (!path || !std::filesystem::is_directory(*path, ec)) {
            return "送り先のフォルダが見つかりません: " + (path ? *path : folder.url);
        }
        if (::access(path->c_str(), W_OK) != 0) {
            return "送り先のフォルダに書き込めません: " + *path;
        }
        return {};
    }
    EasyHandle curl(curl_easy_init());
    if (!curl) return "通信の準備ができませんでした。";
    TransferContext attempt;
    TransferRequest request;
    request.url = folder.url;
    const CURLcode result =
        PerformTransfer(curl.get(), connection, folder.scheme, request, attempt);
    if (result == CURLE_OK) return {};
    return DescribeFailure(result, attempt);
}

}  // namespace qm::tavmo
