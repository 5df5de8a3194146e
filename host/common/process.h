// Child processes of a host: the demo database generator, run to the end,
// and a private application server that lives as long as the host's run.
#pragma once

#include <string>
#include <thread>
#include <vector>

namespace hostcommon {

// The folder of the running executable (where the host's siblings live).
std::string ExecutableDir();

// Runs a program to completion with inherited output; returns its exit status,
// or -1 with `error` set when it could not be started or was killed.
int RunProgram(const std::vector<std::string>& argv, std::string& error);

// The database a host works on: the URL given, else the file given (created
// with the schema and demo data by ctb-demo when missing; the demo's year of
// entries follows `today`, "YYYY-MM-DD", when set), else the configured one.
// `host` names the program in what it prints. false with `error` set.
bool PrepareDatabase(const std::string& dbUrl, const std::string& dbFile, const std::string& today,
                     const std::string& host, std::string& url, std::string& error);

// Finds "escutando em HOST:PORT" in one line of server output; false otherwise.
bool ParseListeningLine(const std::string& line, int& port);

// ctb11000-server started with --listen 127.0.0.1:0; the port is read from its
// "escutando em 127.0.0.1:PORT" line. Stopped (SIGTERM, then SIGKILL after a
// grace period) by Stop or the destructor.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // false with `error` set when the program does not start or does not
    // announce its port within `timeoutMs`.
    bool Start(const std::string& program, const std::string& dbUrl, int timeoutMs, std::string& error);
    int Port() const { return port_; }
    void Stop();

private:
    int pid_ = -1;
    int port_ = 0;
    int outFd_ = -1;
    std::thread drain_;  // keeps reading the server's output so it never blocks on a full pipe
};

}  // namespace hostcommon
