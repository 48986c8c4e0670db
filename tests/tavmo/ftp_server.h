// A real FTP server for the tests: vsftpd on 127.0.0.1, a free port, its own
// configuration and folder. Anonymous login with write access into "pub/";
// the password list makes one password right and every other one wrong.
#pragma once

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace qm::test {

class FtpServer {
  public:
    static constexpr const char* kUser = "anonymous";
    static constexpr const char* kPassword = "right-secret";

    // `base` is a folder of the test's own; the server lives below it.
    explicit FtpServer(std::string base) : base_(std::move(base)) {
        std::filesystem::create_directories(base_ + "root/pub");
        std::filesystem::permissions(base_ + "root/pub", std::filesystem::perms::all);
        std::ofstream(base_ + "passwords") << kPassword << "\n";
    }
    ~FtpServer() { Stop(); }
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    static std::string Program() {
        for (const char* candidate : {"/usr/sbin/vsftpd", "/usr/local/sbin/vsftpd"}) {
            if (::access(candidate, X_OK) == 0) return candidate;
        }
        return {};
    }

    // Explicit TLS (AUTH TLS) with this certificate and key.
    void UseTls(std::string certFile, std::string keyFile) {
        certFile_ = std::move(certFile);
        keyFile_ = std::move(keyFile);
    }

    // Starts the server and waits until it answers; a second Start after Stop
    // uses the same ports, so URLs stay valid. Empty when running, else why not.
    std::string Start() {
        if (Program().empty()) return "vsftpd is not installed";
        if (port_ == 0 && !ChoosePorts()) return "no free loopback ports";
        WriteConfig();
        pid_ = ::fork();
        if (pid_ < 0) return "fork failed";
        if (pid_ == 0) {
            int log = ::open((base_ + "server.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            if (log >= 0) {
                ::dup2(log, 1);
                ::dup2(log, 2);
            }
            const std::string program = Program();
            const std::string config = base_ + "vsftpd.conf";
            ::execl(program.c_str(), program.c_str(), config.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return "vsftpd stopped at once: " + ReadBytes(base_ + "server.log");
            }
            if (Answers()) return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Stop();
        return "vsftpd did not answer: " + ReadBytes(base_ + "server.log");
    }

    // Kills the server at once, the sessions under way included, as a
    // crashing or unplugged server would vanish.
    void Stop() {
        if (pid_ <= 0) return;
        for (pid_t session : Descendants(pid_)) ::kill(session, SIGKILL);
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    bool running() const { return pid_ > 0; }
    int port() const { return port_; }
    std::string Url(const std::string& folder = "pub/") const {
        return "ftp://127.0.0.1:" + std::to_string(port_) + "/" + folder;
    }
    // The local folder behind Url("pub/").
    std::string PubDir() const { return base_ + "root/pub/"; }

  private:
    static bool PortFree(int port) {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) return false;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return free;
    }

    // One control port and a run of passive ports, all free just now.
    bool ChoosePorts() {
        std::random_device random;
        std::uniform_int_distribution<int> start(20000, 60000);
        for (int attempt = 0; attempt < 50; ++attempt) {
            const int first = start(random);
            bool free = true;
            for (int port = first; port <= first + kPassivePorts && free; ++port) {
                free = PortFree(port);
            }
            if (free) {
                port_ = first;
                return true;
            }
        }
        return false;
    }

    bool Answers() const {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) return false;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return ok;
    }

    void WriteConfig() const {
        std::ofstream config(base_ + "vsftpd.conf");
        config << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n"
               << "listen_port=" << port_ << "\n"
               << "background=NO\n"
               // Anonymous with write access; the password list is the password check.
               << "anonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
               << "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
               << "anon_other_write_enable=YES\nanon_umask=022\n"
               << "anon_root=" << base_ << "root\n"
               << "no_anon_password=NO\nsecure_email_list_enable=YES\n"
               << "email_password_file=" << base_
               << "passwords\n"
               // Needed to run from a test, possibly as root.
               << "seccomp_sandbox=NO\nallow_writeable_chroot=YES\nrun_as_launching_user=YES\n"
               << "pasv_enable=YES\npasv_address=127.0.0.1\n"
               << "pasv_min_port=" << port_ + 1 << "\npasv_max_port=" << port_ + kPassivePorts
               << "\n"
               << "port_enable=YES\nconnect_from_port_20=NO\n"
               << "utf8_filesystem=YES\nxferlog_enable=NO\nsyslog_enable=NO\n"
               << "delay_failed_login=0\ndelay_successful_login=0\n"
               << "vsftpd_log_file=" << base_ << "transfer.log\n";
        if (!certFile_.empty()) {
            config << "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                   << "force_anon_data_ssl=YES\nrequire_ssl_reuse=NO\n"
                   << "rsa_cert_file=" << certFile_ << "\nrsa_private_key_file=" << keyFile_
                   << "\n";
        }
    }

    // Every process below `root`: the listener forks one session per login.
    static std::vector<pid_t> Descendants(pid_t root) {
        std::multimap<pid_t, pid_t> children;
        if (DIR* proc = ::opendir("/proc")) {
            while (dirent* entry = ::readdir(proc)) {
                const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
                if (pid <= 0) continue;
                std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
                std::string text((std::istreambuf_iterator<char>(stat)),
                                 std::istreambuf_iterator<char>());
                const auto close = text.rfind(')');
                if (close == std::string::npos) continue;
                std::istringstream rest(text.substr(close + 2));
                char state = 0;
                pid_t parent = 0;
                rest >> state >> parent;
                children.emplace(parent, pid);
            }
            ::closedir(proc);
        }
        std::vector<pid_t> found;
        std::vector<pid_t> queue{root};
        while (!queue.empty()) {
            const pid_t next = queue.back();
            queue.pop_back();
            auto range = children.equal_range(next);
            for (auto it = range.first; it != range.second; ++it) {
                found.push_back(it->second);
                queue.push_back(it->second);
            }
        }
        return found;
    }

    static constexpr int kPassivePorts = 10;
    std::string base_;
    std::string certFile_;
    std::string keyFile_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace qm::test
