// Real destinations for the transfer tests, each below a folder of the test's
// own: vsftpd on 127.0.0.1 (FTP, or FTPS with a certificate of its own) where
// the anonymous login writes into "pub/" with one right password, sshd taking
// a key of the test's own for this user over SFTP, or a local folder.
#pragma once

#ifndef _WIN32
#include <arpa/inet.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#ifndef _WIN32
#include "support/program_run.h"
#endif
#include "support/temp_dir.h"
#include "tavmo/transfer.h"

namespace qm::test {

enum class Kind { Ftp, Ftps, Sftp, File };
inline void PrintTo(Kind kind, std::ostream* out) {
    static const char* const names[] = {"Ftp", "Ftps", "Sftp", "LocalFolder"};
    *out << names[int(kind)];
}

#ifndef _WIN32
// A loopback port that answers (`connect`), or with `port` 0 bound to one free just now.
inline int LoopbackPort(int port, bool connect) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    auto* at = reinterpret_cast<sockaddr*>(&address);
    socklen_t size = sizeof address;
    const bool ok = (connect ? ::connect : ::bind)(fd, at, size) == 0;
    if (ok && !connect) ::getsockname(fd, at, &size);
    ::close(fd);
    return ok ? ntohs(address.sin_port) : 0;
}

#endif

class TestServer {
  public:
    static constexpr const char* kPassword = "right-secret";  // the SSH key's passphrase too
    std::string preload;   // a library loaded into the server (LD_PRELOAD); empty for none
    std::string url, dir;  // where the files land, as a URL and on disk

    explicit TestServer(std::string base) : base_(std::move(base)) {}
    ~TestServer() { Stop(); }

    // Sets up and starts the destination, and the login it takes; "" then, else why not.
    std::string Start(Kind kind, tavmo::Connection& login) {
        login.connectTimeoutSeconds = login.stallSeconds = 5;
        if (kind == Kind::File) {
            dir = base_ + "www/";
            // A Windows folder starts with its drive: "file:///C:/...".
            url = (dir.front() == '/' ? "file://" : "file:///") + dir;
            return MakeDir(dir);
        }
#ifdef _WIN32
        return "only local folders here";
    }
    std::string Restart() { return "no server here"; }
    void Stop() {}

  private:
    static std::string MakeDir(const std::string& path) {
        std::filesystem::create_directories(path);
        return {};
    }
    std::string base_;
#else
        if ((port_ = LoopbackPort(0, false)) == 0) return "no free port";
        return kind == Kind::Sftp ? SetUpSsh(login) : SetUpFtp(kind == Kind::Ftps, login);
    }
    // Starts the server again on its port, so URLs stay valid; "" or why not.
    std::string Restart() {
        const std::string log = base_ + "server.log";
        Environment env;
        if (!preload.empty()) env.push_back({"LD_PRELOAD", preload});
        pid_ = StartChild(argv_, env, log, log, true);
        for (int wait = 0; wait < 250 && pid_ > 0; ++wait) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
            if (pid_ > 0 && LoopbackPort(port_, true) != 0) return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Stop();
        return argv_[0] + " did not start: " + ReadBytes(log);
    }
    // The server and the sessions it forked end at once, the way a crashing
    // or unplugged server vanishes: they run in a process group of their own.
    void Stop() {
        if (pid_ > 0) ::kill(-pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    static std::string MakeDir(const std::string& path) {
        std::filesystem::create_directories(path);
        std::filesystem::permissions(path, std::filesystem::perms::all);
        return {};
    }
    static bool Quietly(const std::string& command) {
        return RunProgram({"/bin/sh", "-c", command}).exitStatus == 0;
    }

    // Without the sandbox and as the launching user, so a test (even as root)
    // can run it; the password list makes one password right.
    std::string SetUpFtp(bool tls, tavmo::Connection& login) {
        login.user = "anonymous";
        login.password = kPassword;
        url = (tls ? "ftps" : "ftp") + ("://127.0.0.1:" + std::to_string(port_) + "/pub/");
        MakeDir(dir = base_ + "root/pub/");
        std::ofstream(base_ + "passwords") << kPassword << "\n";
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
            << port_ << "\nanon_root=" << base_ << "root\nemail_password_file=" << base_
            << "passwords\n"
            << (tls ? "ssl_enable=YES\nallow_anon_ssl=YES\nforce_anon_logins_ssl=YES\n"
                      "force_anon_data_ssl=YES\nrequire_ssl_reuse=NO\nrsa_cert_file=" +
                          base_ + "cert.pem\nrsa_private_key_file=" + base_ + "key.pem\n"
                    : "");
        argv_ = {"/usr/sbin/vsftpd", base_ + "vsftpd.conf"};
        return Restart();
    }

    // Public key login only; the known hosts file trusts exactly this server's host key.
    std::string SetUpSsh(tavmo::Connection& login) {
        // sshd insists on its privilege separation folder, which only a service start would make.
        if (::getuid() == 0) std::filesystem::create_directories("/run/sshd");
        MakeDir(dir = base_ + "www/");
        const std::string keygen = "ssh-keygen -q -a 1 -t ed25519 -f '" + base_;
        if (!Quietly(keygen + "host' -N '' && " + keygen + "client' -N " + kPassword)) {
            return "ssh-keygen failed";
        }
        std::ofstream(base_ + "sshd_config")
            << "Port " << port_ << "\nListenAddress 127.0.0.1\nHostKey " << base_
            << "host\nAuthorizedKeysFile " << base_
            << "client.pub\nPermitRootLogin prohibit-password\nPasswordAuthentication no\n"
               "KbdInteractiveAuthentication no\nUsePAM no\nStrictModes no\nPidFile none\n"
               "Subsystem sftp internal-sftp\n";
        std::string type, key;
        std::ifstream(base_ + "host.pub") >> type >> key;
        std::ofstream(base_ + "known_hosts")
            << "[127.0.0.1]:" << port_ << " " << type << " " << key;
        login.user = ::getpwuid(::getuid())->pw_name;
        login.password = kPassword;
        login.keyFile = base_ + "client";
        login.knownHostsFile = base_ + "known_hosts";
        url = "sftp://127.0.0.1:" + std::to_string(port_) + dir;
        argv_ = {"/usr/sbin/sshd", "-D", "-e", "-f", base_ + "sshd_config"};
        return Restart();
    }

    std::string base_;
    std::vector<std::string> argv_;
    int port_ = 0;
    pid_t pid_ = -1;
#endif
};

}  // namespace qm::test
