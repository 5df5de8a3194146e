#include "host/common/session.h"

#include "contracts/zembra.h"
#include "platform/data/datetime.h"
#include "platform/db/dbgeral.h"
#include "platform/ui/dispatch.h"

#include <cstdlib>

namespace hostcommon {
namespace {

bool FixToday(const std::string& today, std::string& error) {
    if (today.empty()) return true;
    TDateTime dt = 0;
    if (!ParseToday(today, dt)) {
        error = "--today inválido: " + today;
        return false;
    }
    SetToday(dt);
    return true;
}

void UseTokenFile(const std::string& tokenFile) {
    if (tokenFile.empty()) return;
    // The private server started after this reads it from the environment too.
    ::setenv("CTB_SERVER_TOKEN_FILE", tokenFile.c_str(), 1);
    Zembra::SetServerTokenFile(tokenFile);
}

}  // namespace

bool Session::Start(const StartOptions& o, const std::string& program, std::string& error) {
    std::string url;
    if (!PrepareDatabase(o.dbUrl, o.dbFile, o.today, program, url, error) || !FixToday(o.today, error)) return false;
    UseTokenFile(o.tokenFile);
    if (!o.server.empty()) {
        if (!SplitHostPort(o.server, host_, port_)) {
            error = "--server deve ser HOST:PORTA: " + o.server;
            return false;
        }
    } else {
        if (!server_.Start(ExecutableDir() + "/ctb11000-server", url, 30000, error)) return false;
        port_ = server_.Port();
        ownServer_ = true;
    }
    Zembra::SetEmprProc(o.company);
    Zembra::SetOperador(o.operatorName);
    Zembra::SetWebURL(host_);
    Zembra::SetWebPort(port_);
    Zembra::SetDatabaseURL(url);
    try {
        dtmDBGeral().Open(url);
    } catch (const std::exception& e) {
        error = std::string("não foi possível abrir o banco de dados: ") + e.what();
        return false;
    }
    return true;
}

bool Session::LoadModule(std::string& error) { return module_.Loaded() || module_.Load(DefaultModulePath(), error); }

void Session::OpenModule() {
    std::string error;
    if (!LoadModule(error)) throw Exception("Não foi possível carregar o módulo: " + error);
    module_.IniProc();
}

}  // namespace hostcommon
