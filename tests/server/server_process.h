// A real ctb11000-server process for reliability tests: started on a free
// loopback port over a database file, killed at will, always reaped.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace storetest {

// The folder of the running test program; the server is built beside it.
inline std::string ProgramDir() { return std::filesystem::read_symlink("/proc/self/exe").parent_path().string(); }

class TServerProcess {
public:
    // Starts `ctb11000-server --db DB --listen 127.0.0.1:0` and waits (at most
    // timeout) for its "escutando em 127.0.0.1:PORT" line. addressSpace, when
    // given, caps the server's memory (as `ulimit -v` would).
    explicit TServerProcess(const std::string& db, std::chrono::milliseconds timeout = std::chrono::seconds(20),
                            rlim_t addressSpace = 0) {
        std::string binary = ProgramDir() + "/ctb11000-server";
        if (!std::filesystem::exists(binary)) throw std::runtime_error("sem servidor: " + binary);
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork");
        if (pid_ == 0) {
            if (addressSpace) {
                const rlimit cap{addressSpace, addressSpace};
                setrlimit(RLIMIT_AS, &cap);
            }
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            execl(binary.c_str(), binary.c_str(), "--db", db.c_str(), "--listen", "127.0.0.1:0",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        fd_ = out[0];
        port_ = ReadPort(timeout);
    }

    ~TServerProcess() {
        Kill(SIGKILL);
        if (fd_ >= 0) close(fd_);
    }

    TServerProcess(const TServerProcess&) = delete;
    TServerProcess& operator=(const TServerProcess&) = delete;

    int Port() const { return port_; }
    // False once the process has ended (it is reaped then).
    bool Running() {
        if (pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) pid_ = -1;
        return pid_ > 0;
    }

    // Sends the signal and reaps the process; returns its wait status.
    int Kill(int signal) {
        if (pid_ <= 0) return status_;
        ::kill(pid_, signal);
        waitpid(pid_, &status_, 0);
        pid_ = -1;
        return status_;
    }

private:
    int ReadPort(std::chrono::milliseconds timeout) {
        std::string text;
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (text.find('\n') == std::string::npos) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                throw std::runtime_error("o servidor não informou a porta: " + text);
            char buf[256];
            ssize_t n = read(fd_, buf, sizeof buf);
            if (n <= 0) throw std::runtime_error("o servidor terminou: " + text);
            text.append(buf, static_cast<std::size_t>(n));
        }
        std::string line = text.substr(0, text.find('\n'));
        std::size_t colon = line.rfind(':');
        if (line.rfind("escutando em ", 0) != 0 || colon == std::string::npos)
            throw std::runtime_error("linha inesperada do servidor: " + line);
        return std::stoi(line.substr(colon + 1));
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    int port_ = 0;
    int status_ = 0;
};

}  // namespace storetest
