// What ctb-host sets up before the main window opens: the database (a demo
// database created when --db names a missing file), the application server
// (started beside ctb-host unless --server names one), the host
// configuration the module reads, and the module itself, loaded on first use.
#pragma once

#include "host/desktop/options.h"
#include "host/drive/module.h"
#include "host/drive/process.h"

#include <string>

namespace desk {

class Session {
public:
    // False with `error` set when the database cannot be prepared or opened,
    // the server does not start, or --today is not a date.
    bool Start(const Options& o, std::string& error);
    void Stop() { server_.Stop(); }

    // Loads libctb11000.so on first use and calls IniProc. Errors reach the
    // caller (the dispatcher shows them in an error box).
    void OpenModule();

    std::string ServerAddress() const { return host_ + ":" + std::to_string(port_); }
    // What the status bar shows: the address named by --server, or "local"
    // for the server started here, whose port changes from run to run (the
    // address is in the hint), so that screenshots stay the same.
    std::string ServerLabel() const { return ownServer_ ? "local" : ServerAddress(); }

private:
    drive::ServerProcess server_;
    drive::Module module_;
    std::string host_ = "127.0.0.1";
    int port_ = 0;
    bool ownServer_ = false;
};

}  // namespace desk
