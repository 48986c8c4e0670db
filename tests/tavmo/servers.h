// Real servers for the transfer tests, on 127.0.0.1 and free ports, each with
// its own configuration below a folder of the test's own.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace qm::test {

// Whether a loopback port can be bound (it is free) or connected to (it answers).
inline bool LoopbackPort(int port, bool connect) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    auto* at = reinterpret_cast<sockaddr*>(&address);
    const bool ok = (connect ? ::connect : ::bind)(fd, at, sizeof address) == 0;
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

// A server in a process group of its own, so that stopping it ends the
// sessions it forked too, the way a crashing or unplugged server vanishes.
class ServerProcess {
  public:
    explicit ServerProcess(std::string base) : base_(std::move(base)) {}
    ~ServerProcess() { Stop(); }
    std::string preload;  // a library loaded into the server (LD_PRELOAD); empty for none

    void Stop() {
        if (pid_ > 0) ::kill(-pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  protected:
    // Runs `argv` (output to server.log) until it answers on `port`; empty then, else why not.
    std::string Spawn(std::vector<std::string> argv, int port) {
        const std::string log = base_ + "server.log";
        if ((pid_ = ::fork()) == 0) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            ::dup2(fd, 1), ::dup2(fd, 2), ::setpgid(0, 0);
            std::vector<char*> args;
            for (auto& argument : argv) args.push_back(argument.data());
            args.push_back(nullptr);
            if (!preload.empty()) ::setenv("LD_PRELOAD", preload.c_str(), 1);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::setpgid(pid_, pid_);  // here too, so Stop never comes before the child's own call
        for (int wait = 0; wait < 250 && pid_ > 0; ++wait) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
            if (pid_ > 0 && LoopbackPort(port, true)) return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Stop();
        return argv[0] + " did not start: " + ReadBytes(log);
    }
    // Runs a set-up command quietly; false when it fails.
    static bool Quietly(const std::string& command) {
        return std::system((command + " </dev/null >/dev/null 2>&1").c_str()) == 0;
    }

    std::string base_;
    pid_t pid_ = -1;
};

// vsftpd: anonymous login with write access into "pub/"; the password list
// makes one password right and every other one wrong. With `tls`, explicit
// TLS (AUTH TLS) with a certificate of its own is required. Runs without the
// sandbox and as the launching user, so a test (even as root) can run it.
class FtpServer : public ServerProcess {
  public:
    static constexpr const char* kPassword = "right-secret";
    bool tls = false;

    explicit FtpServer(std::string base) : ServerProcess(std::move(base)) {
        std::filesystem::create_directories(PubDir());
        std::filesystem::permissions(PubDir(), std::filesystem::perms::all);
        std::ofstream(base_ + "passwords") << kPassword << "\n";
    }

    // A second Start after Stop keeps the ports, so URLs stay valid.
    std::string Start() {
        if (port_ == 0 && (port_ = FreePorts(11)) == 0) return "no free ports";
        if (tls && !Quietly("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                            "-nodes -days 2 -subj /CN=127.0.0.1 -keyout '" +
                            base_ + "key.pem' -out '" + base_ + "cert.pem'")) {
            return "openssl could not make a certificate";
        }
        std::ofstream(base_ + "vsftpd.conf")
            << "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\nbackground=NO\n"
               "anonymous_enable=YES\nlocal_enable=NO\nwrite_enable=YES\nanon_upload_enable=YES\n"
               "anon_mkdir_write_enable=YES\nanon_other_write_enable=YES\nanon_umask=022\n"
               "no_anon_password=NO\nsecure_email_list_enable=YES\nseccomp_sandbox=NO\n"
               "allow_writeable_chroot=YES\nrun_as_launching_user=YES\npasv_enable=YES\n"
               "pasv_address=127.0.0.1\nutf8_filesystem=YES\nxferlog_enable=NO\n"
               "delay_failed_login=0\ndelay_successful_login=0\nlisten_port="
            << port_ << "\npasv_min_port=" << port_ + 1 << "\npasv_max_port=" << port_ + 10
            << "\nanon_root=" << base_ << "root\nemail_password_file=" << base_ << "passwords\n"
            << (tls ? "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                      "force_anon_data_ssl=YES\nrequire_ssl_reuse=NO\nrsa_cert_file=" +
                          base_ + "cert.pem\nrsa_private_key_file=" + base_ + "key.pem\n"
                    : "");
        return Spawn({"/usr/sbin/vsftpd", base_ + "vsftpd.conf"}, port_);
    }

    std::string Url(const std::string& scheme) const {
        return scheme + "://127.0.0.1:" + std::to_string(port_) + "/pub/";
    }
    std::string PubDir() const { return base_ + "root/pub/"; }

  private:
    int port_ = 0;
};

// sshd with its own host key, public key login only, for the user running the
// tests; the known hosts file trusts exactly this server's host key.
class SshServer : public ServerProcess {
  public:
    static constexpr const char* kKeyPassphrase = "key-passphrase";
    using ServerProcess::ServerProcess;

    std::string Start() {
        // sshd insists on its privilege separation folder, which only a
        // service start would have made.
        if (::getuid() == 0) std::filesystem::create_directories("/run/sshd");
        std::filesystem::create_directories(WwwDir());
        for (const auto& [name, passphrase] : {std::pair{"host", ""}, {"client", kKeyPassphrase}}) {
            if (!Quietly("ssh-keygen -q -a 1 -t ed25519 -N '" + std::string(passphrase) + "' -f '" +
                         File(name) + "'")) {
                return "ssh-keygen failed";
            }
        }
        const int port = FreePorts(1);
        std::ofstream(File("sshd_config"))
            << "Port " << port << "\nListenAddress 127.0.0.1\nHostKey " << File("host")
            << "\nAuthorizedKeysFile " << File("client.pub")
            << "\nPermitRootLogin prohibit-password\nPasswordAuthentication no\n"
               "KbdInteractiveAuthentication no\nUsePAM no\nStrictModes no\nPidFile none\n"
               "Subsystem sftp internal-sftp\n";
        std::string type, key;
        std::ifstream(File("host.pub")) >> type >> key;
        std::ofstream(File("known_hosts")) << "[127.0.0.1]:" << port << " " << type << " " << key;
        url_ = "sftp://127.0.0.1:" + std::to_string(port) + WwwDir();
        return Spawn({"/usr/sbin/sshd", "-D", "-e", "-f", File("sshd_config")}, port);
    }

    static std::string UserName() { return ::getpwuid(::getuid())->pw_name; }
    std::string Url() const { return url_; }
    std::string WwwDir() const { return base_ + "www/"; }
    std::string File(const std::string& name) const { return base_ + name; }  // "client"...

  private:
    std::string url_;
};

}  // namespace qm::test
