#include "tests/package/module_env.h"

#include "contracts/zembra.h"
#include "host/common/process.h"
#include "platform/data/datetime.h"
#include "platform/db/dbgeral.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace module_env {
namespace {

class Environment : public ::testing::Environment {
public:
    bool ready = false;
    std::string why;

    void SetUp() override {
        char tmpl[] = "/tmp/ctb-package-test.XXXXXX";
        if (!mkdtemp(tmpl)) {
            why = "cannot create a temporary folder";
            return;
        }
        dir_ = tmpl;
        const std::string bin = hostcommon::ExecutableDir();
        const std::string db = dir_ + "/demo.db";
        int status = hostcommon::RunProgram({bin + "/ctb-demo", "--db", db, "--year", std::to_string(kYear)}, why);
        if (status != 0) {
            why = "ctb-demo failed: " + why;
            return;
        }
        if (!server_.Start(bin + "/ctb11000-server", db, 30000, why)) return;
        Zembra::SetEmprProc("01");
        Zembra::SetOperador("teste");
        Zembra::SetWebURL("127.0.0.1");
        Zembra::SetWebPort(server_.Port());
        Zembra::SetDatabaseURL(db);
        TDateTime today = 0;
        EncodeDate(kYear, kMonth, kDay, today);
        SetToday(today);
        try {
            dtmDBGeral().Open(db);
        } catch (const std::exception& e) {
            why = e.what();
            return;
        }
        ready = true;
    }

    void TearDown() override {
        server_.Stop();
        dtmDBGeral().Close();
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }

private:
    std::string dir_;
    hostcommon::ServerProcess server_;
};

Environment* const environment = static_cast<Environment*>(::testing::AddGlobalTestEnvironment(new Environment));

}  // namespace

bool Ready(std::string* why) {
    if (why) *why = environment->why;
    return environment->ready;
}

}  // namespace module_env
