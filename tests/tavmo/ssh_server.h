// A real SSH server for the sftp tests: sshd on 127.0.0.1, a free port, its
// own host key, configuration and authorized key, for the user running the
// tests. Public key login only.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "support/temp_dir.h"

namespace qm::test {

class SshServer {
  public:
    static constexpr const char* kKeyPassphrase = "key-passphrase";

    explicit SshServer(std::string base) : base_(std::move(base)) {
        std::filesystem::create_directories(base_ + "www");
    }
    ~SshServer() { Stop(); }
    SshServer(const SshServer&) = delete;
    SshServer& operator=(const SshServer&) = delete;

    static bool Available() {
        return ::access("/usr/sbin/sshd", X_OK) == 0 && ::access("/usr/bin/ssh-keygen", X_OK) == 0;
    }

    static std::string UserName() {
        const passwd* entry = ::getpwuid(::getuid());
        return entry != nullptr ? entry->pw_name : "";
    }

    // Makes the keys and starts the server; empty when it runs, else why not.
    std::string Start() {
        if (!Available()) return "sshd is not installed";
        // sshd insists on its privilege separation folder, which a service
        // start would make; a machine that never started the service lacks it.
        if (::getuid() == 0) std::filesystem::create_directories("/run/sshd");
        if (!Keygen("host", "") || !Keygen("client", kKeyPassphrase) || !Keygen("stranger", "")) {
            return "ssh-keygen failed";
        }
        std::filesystem::copy_file(base_ + "client.pub", base_ + "authorized_keys",
                                   std::filesystem::copy_options::overwrite_existing);
        if (!ChoosePort()) return "no free loopback port";
        std::ofstream(base_ + "sshd_config")
            << "Port " << port_ << "\nListenAddress 127.0.0.1\nHostKey " << base_ << "host\n"
            << "AuthorizedKeysFile " << base_ << "authorized_keys\n"
            << "PermitRootLogin prohibit-password\nPasswordAuthentication no\n"
            << "KbdInteractiveAuthentication no\nUsePAM no\nStrictModes no\nPidFile none\n"
            << "Subsystem sftp internal-sftp\n";
        // The client trusts exactly this server's host key.
        std::ifstream hostKey(base_ + "host.pub");
        std::string type, key;
        hostKey >> type >> key;
        std::ofstream(base_ + "known_hosts")
            << "[127.0.0.1]:" << port_ << " " << type << " " << key << "\n";
        std::ofstream(base_ + "empty_known_hosts");

        pid_ = ::fork();
        if (pid_ < 0) return "fork failed";
        if (pid_ == 0) {
            int log = ::open((base_ + "sshd.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            if (log >= 0) {
                ::dup2(log, 1);
                ::dup2(log, 2);
            }
            const std::string config = base_ + "sshd_config";
            ::execl("/usr/sbin/sshd", "/usr/sbin/sshd", "-D", "-e", "-f", config.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return "sshd stopped at once: " + ReadBytes(base_ + "sshd.log");
            }
            if (ReadBytes(base_ + "sshd.log").find("Server listening") != std::string::npos) {
                return {};
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        Stop();
        return "sshd did not start: " + ReadBytes(base_ + "sshd.log");
    }

    void Stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
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

    bool ChoosePort() {
        std::random_device random;
        std::uniform_int_distribution<int> pick(20000, 60000);
        for (int attempt = 0; attempt < 50; ++attempt) {
            const int port = pick(random);
            int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            const bool free =
                ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            ::close(fd);
            if (free) {
                port_ = port;
                return true;
            }
        }
        return false;
    }

    std::string base_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace qm::test
