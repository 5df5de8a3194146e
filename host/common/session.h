// What a host sets up before its first screen opens: the database (a demo
// database created when --db names a missing file), the application server
// (a private one started beside the host unless --server names one), the host
// configuration the module reads, and the module itself, loaded on first use.
#pragma once

#include "host/common/module.h"
#include "host/common/options.h"
#include "host/common/process.h"

#include <string>

namespace hostcommon {

class Session {
public:
    // False with `error` set when the database cannot be prepared or opened,
    // the server does not start, or --server or --today is malformed.
    // `program` names the host in what it prints.
    bool Start(const StartOptions& o, const std::string& program, std::string& error);
    // Stops the private server, if any; the destructor does too.
    void Stop() { server_.Stop(); }

    // Loads libctb11000.so unless it is loaded; false with `error` set.
    bool LoadModule(std::string& error);
    // Loads the module on first use and calls IniProc. Errors reach the
    // caller as exceptions (the dispatcher shows them in an error box).
    void OpenModule();

    std::string ServerAddress() const { return host_ + ":" + std::to_string(port_); }
    // True for the private server started by Start, whose port changes from
    // run to run.
    bool OwnServer() const { return ownServer_; }

private:
    ServerProcess server_;
    Module module_;
    std::string host_ = "127.0.0.1";
    int port_ = 0;
    bool ownServer_ = false;
};

}  // namespace hostcommon
