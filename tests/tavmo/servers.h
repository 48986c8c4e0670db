// Real servers for the transfer tests, on 127.0.0.1 and free ports, each with
// its own configuration below a folder of the test's own.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace qm::test {

// Whether a loopback port can be bound (it is free) or connected to (it answers).
inline bool LoopbackPort(int port, bool connect) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    auto* at = reinterpret_cast<sockaddr*>(&address);
    const bool ok = fd >= 0 && (connect ? ::connect(fd, at, sizeof address)
                                        : ::bind(fd, at, sizeof address)) == 0;
    ::close(fd);
    return ok;
}

// The first of `count` consecutive ports that are free just now; 0 if none found.
inline int FreePorts(int count) {
    std::random_device random;
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int first = std::uniform_int_distribution<int>(20000, 60000)(random);
        int port = first;
        while (port < first + count && LoopbackPort(port, false)) ++port;
        if (port == first + count) return first;
    }
    return 0;
}

// A server in a process group of its own, so stopping it ends the sessions it
// forked too.
class ServerProcess {
  public:
    explicit ServerProcess(std::string base) : base_(std::move(base)) {}
    ~ServerProcess() { Stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Kills the server at once, sessions under way included, the way a crashing
    // or unplugged server vanishes.
    void Stop() {
        if (pid_ <= 0) return;
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  protected:
    // Runs `argv` (output to server.log) until `ready`; empty then, else why not.
    std::string Spawn(std::vector<std::string> argv, const std::function<bool()>& ready) {
        const std::string log = base_ + "server.log";
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            std::vector<char*> args;
            for (auto& argument : argv) args.push_back(argument.data());
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        if (pid_ < 0) return "fork failed";
        ::setpgid(pid_, pid_);  // before the child gets to it, so Stop never misses the group
        for (int wait = 0; wait < 250; ++wait) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return argv[0] + " stopped at once: " + ReadBytes(log);
            }
            if (ready()) return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Stop();
        return argv[0] + " did not start: " + ReadBytes(log);
    }

    std::string base_;
    pid_t pid_ = -1;
};

// vsftpd: anonymous login with write access into "pub/"; the password list
// makes one password right and every other one wrong.
class FtpServer : public ServerProcess {
  public:
    static constexpr const char* kUser = "anonymous";
    static constexpr const char* kPassword = "right-secret";
    static bool Available() { return ::access("/usr/sbin/vsftpd", X_OK) == 0; }

    explicit FtpServer(std::string base) : ServerProcess(std::move(base)) {
        std::filesystem::create_directories(base_ + "root/pub");
        std::filesystem::permissions(base_ + "root/pub", std::filesystem::perms::all);
        std::ofstream(base_ + "passwords") << kPassword << "\n";
    }

    // Explicit TLS (AUTH TLS) required, with this certificate and key.
    void UseTls(const std::string& certFile, const std::string& keyFile) {
        tls_ =
            "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
            "force_anon_data_ssl=YES\nrequire_ssl_reuse=NO\nrsa_cert_file=" +
            certFile + "\nrsa_private_key_file=" + keyFile + "\n";
    }

    // A second Start after Stop keeps the ports, so URLs stay valid.
    std::string Start() {
        if (port_ == 0 && (port_ = FreePorts(kPassivePorts + 1)) == 0) return "no free ports";
        std::ofstream(base_ + "vsftpd.conf")
            << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nlisten_port=" << port_
            << "\nbackground=NO\nanonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\n"
            << "anon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
            << "anon_umask=022\nanon_root=" << base_ << "root\n"
            << "no_anon_password=NO\nsecure_email_list_enable=YES\nemail_password_file=" << base_
            << "passwords\n"
            // Needed to run from a test, possibly as root.
            << "seccomp_sandbox=NO\nallow_writeable_chroot=YES\nrun_as_launching_user=YES\n"
            << "pasv_enable=YES\npasv_address=127.0.0.1\npasv_min_port=" << port_ + 1
            << "\npasv_max_port=" << port_ + kPassivePorts
            << "\nport_enable=YES\nconnect_from_port_20=NO\nutf8_filesystem=YES\n"
            << "xferlog_enable=NO\nsyslog_enable=NO\ndelay_failed_login=0\n"
            << "delay_successful_login=0\nvsftpd_log_file=" << base_ << "transfer.log\n"
            << tls_;
        return Spawn({"/usr/sbin/vsftpd", base_ + "vsftpd.conf"},
                     [this] { return LoopbackPort(port_, true); });
    }

    int port() const { return port_; }
    std::string Url(const std::string& folder = "pub/") const {
        return "ftp://127.0.0.1:" + std::to_string(port_) + "/" + folder;
    }
    // The local folder behind Url("pub/").
    std::string PubDir() const { return base_ + "root/pub/"; }

  private:
    static constexpr int kPassivePorts = 10;
    std::string tls_;
    int port_ = 0;
};

// sshd with its own host key, public key login only, for the user running the
// tests. The client trusts exactly this server's host key.
class SshServer : public ServerProcess {
  public:
    static constexpr const char* kKeyPassphrase = "key-passphrase";
    static bool Available() {
        return ::access("/usr/sbin/sshd", X_OK) == 0 && ::access("/usr/bin/ssh-keygen", X_OK) == 0;
    }
    static std::string UserName() {
        const passwd* entry = ::getpwuid(::getuid());
        return entry != nullptr ? entry->pw_name : "";
    }

    explicit SshServer(std::string base) : ServerProcess(std::move(base)) {
        std::filesystem::create_directories(base_ + "www");
    }

    std::string Start() {
        // sshd insists on its privilege separation folder, which only a
        // service start would have made.
        if (::getuid() == 0) std::filesystem::create_directories("/run/sshd");
        if (!Keygen("host", "") || !Keygen("client", kKeyPassphrase) || !Keygen("stranger", "")) {
            return "ssh-keygen failed";
        }
        if ((port_ = FreePorts(1)) == 0) return "no free port";
        std::filesystem::copy_file(base_ + "client.pub", base_ + "authorized_keys");
        std::ofstream(base_ + "sshd_config")
            << "Port " << port_ << "\nListenAddress 127.0.0.1\nHostKey " << base_ << "host\n"
            << "AuthorizedKeysFile " << base_ << "authorized_keys\n"
            << "PermitRootLogin prohibit-password\nPasswordAuthentication no\n"
            << "KbdInteractiveAuthentication no\nUsePAM no\nStrictModes no\nPidFile none\n"
            << "Subsystem sftp internal-sftp\n";
        std::ifstream hostKey(base_ + "host.pub");
        std::string type, key;
        hostKey >> type >> key;
        std::ofstream(KnownHosts()) << "[127.0.0.1]:" << port_ << " " << type << " " << key << "\n";
        std::ofstream{EmptyKnownHosts()};
        return Spawn({"/usr/sbin/sshd", "-D", "-e", "-f", base_ + "sshd_config"}, [this] {
            return ReadBytes(base_ + "server.log").find("Server listening") != std::string::npos;
        });
    }

    std::string Url() const { return "sftp://127.0.0.1:" + std::to_string(port_) + WwwDir(); }
    std::string WwwDir() const { return base_ + "www/"; }
    std::string ClientKey() const { return base_ + "client"; }
    std::string StrangerKey() const { return base_ + "stranger"; }
    std::string KnownHosts() const { return base_ + "known_hosts"; }
    std::string EmptyKnownHosts() const { return base_ + "empty_known_hosts"; }

  private:
    bool Keygen(const std::string& name, const std::string& passphrase) const {
        const std::string command = "/usr/bin/ssh-keygen -q -a 1 -t ed25519 -N '" + passphrase +
                                    "' -f '" + base_ + name + "' </dev/null >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }

    int port_ = 0;
};

}  // namespace qm::test
