// One transfer library session: the handle, its options and the calls that
// run a transfer. It knows nothing of upload lists; it runs one transfer as
// asked and says how it ended.
#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tavmo/curl_handles.h"
#include "tavmo/remote_url.h"

namespace qm::tavmo {

struct Connection {
    std::string user;
    std::string password;
    // sftp: the private key; the password then unlocks the key.
    std::string keyFile;
    bool passive = true;
    // TLS certificates for ftps, the host key (~/.ssh/known_hosts) for sftp.
    bool verifyPeer = true;
    // Extra certificate authorities (a private or test server), PEM file.
    std::string caFile;
    // sftp host keys; empty means ~/.ssh/known_hosts.
    std::string knownHostsFile;
    long connectTimeoutSeconds = 20;
    // Give up when nothing moves for this long.
    long stallSeconds = 30;
};

// What one transfer does once logged in.
struct TransferRequest {
    std::string url;
    // The file to send; without one the transfer only looks at the folder.
    std::FILE* upload = nullptr;
    std::uint64_t uploadSize = 0;
    // ftp: folders of the URL's path that are missing are made.
    bool makeMissingFolders = false;
    std::vector<std::string> afterLogin;   // raw commands sent right after login
    std::vector<std::string> afterUpload;  // raw commands sent once the file is complete
    // Told the bytes of this file sent so far, possibly from the transferring
    // thread; false cancels the transfer.
    std::function<bool(std::uint64_t sent)> progress;
};

// How one transfer ended.
struct TransferResult {
    CURLcode code = CURLE_OK;
    // The server answered RNFR with 350: the temporary file is there, whole.
    bool renameStarted = false;
    // The option the library refused while the transfer was set up; empty
    // when it took them all.
    std::string refusedOption;
    // The server's last refusal (a reply starting 4 or 5).
    std::string lastReply;
    std::string errorText;

    bool ok() const { return code == CURLE_OK; }
    bool cancelled() const { return code == CURLE_ABORTED_BY_CALLBACK; }
    // No connection, login refused, cancelled, a refused set-up: the next
    // file would fail alike.
    bool StopsEveryFile() const;
    // Japanese, for the user.
    std::string Describe() const;
};

class CurlSession {
  public:
    CurlSession();

    // False when the library could not make a handle.
    bool ready() const { return curl_ != nullptr; }

    // Runs one transfer with every option set afresh; the connection stays
    // open for the next one.
    TransferResult Perform(const Connection& connection, Scheme scheme,
                           const TransferRequest& request);

  private:
    EasyHandle curl_;
};

}  // namespace qm::tavmo
