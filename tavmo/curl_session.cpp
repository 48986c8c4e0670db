#include "tavmo/curl_session.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "tavmo/failure_text.h"

namespace qm::tavmo {

namespace {

std::string DefaultKnownHostsFile() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {};
    return std::string(home) + "/.ssh/known_hosts";
}

// What one transfer needs while it runs, reachable from the library's callbacks.
struct TransferContext {
    const TransferRequest* request = nullptr;
    TransferResult result;
    char errorText[CURL_ERROR_SIZE] = {};
};

int OnProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    const auto* attempt = static_cast<TransferContext*>(context);
    return attempt->request->progress(static_cast<std::uint64_t>(uploaded)) ? 0 : 1;
}

// Reads the file being sent, as the library's own reader would; that one
// calls fread in the library's C runtime, which on Windows may not be the
// one the file was opened in.
size_t OnRead(char* buffer, size_t size, size_t count, void* file) {
    return std::fread(buffer, size, count, static_cast<std::FILE*>(file));
}

// Keeps the server's last refusal (an FTP reply starting 4 or 5) to quote it
// in a failure. Only incoming lines are looked at: outgoing ones carry the
// password.
int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* context) {
    if (type != CURLINFO_HEADER_IN || size == 0) return 0;
    auto& result = static_cast<TransferContext*>(context)->result;
    if (size >= 3 && std::string_view(data, 3) == "350") result.renameStarted = true;
    if (data[0] != '4' && data[0] != '5') return 0;
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    result.lastReply = line;
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
        if (result_ != CURLE_OK) attempt_.result.refusedOption = OptionName(option);
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
        set(CURLOPT_READFUNCTION, OnRead);
        set(CURLOPT_READDATA, request.upload);
        set(CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(request.uploadSize));
        if (request.makeMissingFolders) {
            // RETRY: where MKD fails because someone made the folder just
            // then, CWD is tried once more.
            set(CURLOPT_FTP_CREATE_MISSING_DIRS, static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
        }
    } else {
        set(CURLOPT_NOBODY, 1L);
    }
    if (afterLogin != nullptr) set(CURLOPT_QUOTE, afterLogin);
    if (afterUpload != nullptr) set(CURLOPT_POSTQUOTE, afterUpload);
    if (request.progress) {
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

}  // namespace

bool TransferResult::StopsEveryFile() const {
    // A refused set-up would be refused for every file alike.
    if (!refusedOption.empty()) return true;
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

std::string TransferResult::Describe() const {
    if (!refusedOption.empty()) return SetUpFailureText(refusedOption, curl_easy_strerror(code));
    return DescribeTransferFailure(code, lastReply,
                                   errorText.empty() ? curl_easy_strerror(code) : errorText);
}

CurlSession::CurlSession() : curl_(curl_easy_init()) {}

TransferResult CurlSession::Perform(const Connection& connection, Scheme scheme,
                                    const TransferRequest& request) {
    TransferContext attempt;
    attempt.request = &request;
    auto afterLogin = CommandsOf(request.afterLogin);
    auto afterUpload = CommandsOf(request.afterUpload);
    if (!afterLogin || !afterUpload) {
        attempt.result.refusedOption = OptionName(afterLogin ? CURLOPT_POSTQUOTE : CURLOPT_QUOTE);
        attempt.result.code = CURLE_OUT_OF_MEMORY;
        return attempt.result;
    }
    if (!curl_) {
        attempt.result.code = CURLE_FAILED_INIT;
        return attempt.result;
    }
    CURL* curl = curl_.get();
    curl_easy_reset(curl);
    CURLcode code = SetUpTransfer(curl, connection, scheme, request, afterLogin->get(),
                                  afterUpload->get(), attempt);
    if (code == CURLE_OK) code = curl_easy_perform(curl);
    // The handle stays for the next file with its connection open, but must
    // not keep pointing at the lists and the context, which end here.
    curl_easy_reset(curl);
    attempt.result.code = code;
    attempt.result.errorText = attempt.errorText;
    return attempt.result;
}

}  // namespace qm::tavmo
