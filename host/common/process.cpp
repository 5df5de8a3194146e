#include "host/common/process.h"

#include "host/common/options.h"

#include "platform/db/dbgeral.h"

#include "contracts/zembra.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/prctl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace hostcommon {
namespace {

std::vector<char*> ArgPointers(const std::vector<std::string>& argv) {
    std::vector<char*> p;
    for (const std::string& a : argv) p.push_back(const_cast<char*>(a.c_str()));
    p.push_back(nullptr);
    return p;
}

// Reads one line from fd within the deadline; false on end of file or timeout.
bool ReadLine(int fd, std::string& line, std::chrono::steady_clock::time_point deadline) {
    line.clear();
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        int r = poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        char c;
        ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return !line.empty();
        if (c == '\n') return true;
        line += c;
    }
}

}  // namespace

std::string ExecutableDir() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<std::size_t>(n));
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

int RunProgram(const std::vector<std::string>& argv, std::string& error) {
    std::vector<char*> args = ArgPointers(argv);
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0) {
        error = std::string("não foi possível iniciar ") + argv[0] + ": " + std::strerror(errno);
        return -1;
    }
    if (pid == 0) {
        execv(args[0], args.data());
        std::fprintf(stderr, "não foi possível executar %s: %s\n", args[0], std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) {
            error = "o processo " + argv[0] + " se perdeu";
            return -1;
        }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    error = argv[0] + " terminou pelo sinal " + std::to_string(WTERMSIG(status));
    return -1;
}

bool ParseListeningLine(const std::string& line, int& port) {
    static const std::string marker = "escutando em ";
    std::size_t at = line.find(marker);
    if (at == std::string::npos) return false;
    std::string addr = line.substr(at + marker.size());
    while (!addr.empty() && (addr.back() == '\r' || addr.back() == ' ')) addr.pop_back();
    std::string host;
    return SplitHostPort(addr, host, port);
}

bool ServerProcess::Start(const std::string& program, const std::string& dbUrl, int timeoutMs, std::string& error) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    std::vector<std::string> argv = {program, "--db", dbUrl, "--listen", "127.0.0.1:0"};
    std::vector<char*> args = ArgPointers(argv);
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0) {
        error = std::string("não foi possível iniciar o servidor: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // A host killed outright (SIGTERM, SIGKILL) takes its private server
        // with it instead of leaving it serving the database alone.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(fds[1], STDOUT_FILENO);
        execv(args[0], args.data());
        std::fprintf(stderr, "não foi possível executar %s: %s\n", args[0], std::strerror(errno));
        _exit(127);
    }
    close(fds[1]);
    pid_ = pid;
    outFd_ = fds[0];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string line;
    while (ReadLine(outFd_, line, deadline)) {
        if (ParseListeningLine(line, port_)) break;
    }
    if (port_ == 0) {
        error = "o servidor " + program + " não informou a porta";
        Stop();
        return false;
    }
    int fd = outFd_;
    drain_ = std::thread([fd] {
        char buf[512];
        while (true) {
            ssize_t n = read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
        }
    });
    return true;
}

void ServerProcess::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        bool gone = false;
        for (int i = 0; i < 100 && !gone; ++i) {
            pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_ || (r < 0 && errno != EINTR)) gone = true;
            else usleep(50 * 1000);
        }
        if (!gone) {
            kill(pid_, SIGKILL);
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
        }
        pid_ = -1;
    }
    if (drain_.joinable()) drain_.join();
    if (outFd_ >= 0) {
        close(outFd_);
        outFd_ = -1;
    }
}

ServerProcess::~ServerProcess() { Stop(); }

bool PrepareDatabase(const std::string& dbUrl, const std::string& dbFile, const std::string& today,
                     const std::string& host, std::string& url, std::string& error) {
    if (!dbUrl.empty()) {
        url = dbUrl;
        return true;
    }
    if (dbFile.empty()) {
        url = Zembra::DatabaseURL();
        if (url.empty()) error = "sem banco de dados: informe --db ARQUIVO ou --db-url URL (ou defina CTB_DB)";
        return !url.empty();
    }
    url = dbFile;
    // A PostgreSQL URL given as --db names a database on a server, never a
    // file to create: it is used as it is.
    TDBDialect dialect = TDBDialect::None;
    std::string target;
    if (SplitDatabaseURL(dbFile, dialect, target) && dialect == TDBDialect::PostgreSQL) return true;
    if (std::filesystem::exists(dbFile)) return true;
    std::printf("%s: criando o banco de demonstração %s\n", host.c_str(), dbFile.c_str());
    std::vector<std::string> demo = {ExecutableDir() + "/ctb-demo", "--db", dbFile};
    if (!today.empty()) {
        demo.push_back("--year");
        demo.push_back(today.substr(0, 4));
    }
    const int status = RunProgram(demo, error);
    if (status != 0 && error.empty()) error = "ctb-demo falhou (código " + std::to_string(status) + ")";
    return status == 0;
}

}  // namespace hostcommon
