#include "host/desktop/session.h"

#include "contracts/zembra.h"
#include "platform/data/datetime.h"
#include "platform/db/dbgeral.h"
#include "platform/ui/dispatch.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace desk {
namespace {

bool FixToday(const std::string& today, std::string& error) {
    if (today.empty()) return true;
    TDateTime dt = 0;
    if (!EncodeDate(std::atoi(today.substr(0, 4).c_str()), std::atoi(today.substr(5, 2).c_str()),
                    std::atoi(today.substr(8, 2).c_str()), dt)) {
        error = "--today inválido: " + today;
        return false;
    }
    SetToday(dt);
    return true;
}

}  // namespace

bool Session::Start(const Options& o, std::string& error) {
    std::string url;
    if (!drive::PrepareDatabase(o.dbUrl, o.dbFile, o.today, "ctb-host", url, error) || !FixToday(o.today, error)) return false;
    if (!o.tokenFile.empty()) {
        // The private server started below reads it from the environment too.
        ::setenv("CTB_SERVER_TOKEN_FILE", o.tokenFile.c_str(), 1);
        Zembra::SetServerTokenFile(o.tokenFile);
    }
    if (!o.server.empty()) {
        const std::size_t colon = o.server.rfind(':');
        host_ = o.server.substr(0, colon);
        port_ = std::atoi(o.server.substr(colon + 1).c_str());
    } else {
        if (!server_.Start(drive::ExecutableDir() + "/ctb11000-server", url, 30000, error)) return false;
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

void Session::OpenModule() {
    if (!module_.Loaded()) {
        std::string error;
        if (!module_.Load(drive::DefaultModulePath(), error)) throw Exception("Não foi possível carregar o módulo: " + error);
    }
    module_.IniProc();
}

}  // namespace desk
