// ctb-drive: the headless scenario driver (see docs/drive.md).
#include "contracts/reportdesigner.h"
#include "contracts/zembra.h"
#include "host/drive/compare.h"
#include "host/drive/interpreter.h"
#include "host/drive/module.h"
#include "host/drive/options.h"
#include "host/drive/process.h"
#include "host/drive/script.h"
#include "platform/data/datetime.h"
#include "platform/db/dbgeral.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The host's main window: the MDI frame the entry screen is a child of and
// the parent of the busy animation, as in the desktop host.
void CreateMainWindow() {
    TForm* frame = nullptr;
    Application->CreateForm(frame);
    frame->Name = "frmPrincipal";
    frame->Caption = "ctb-drive";
    frame->FormStyle = fsMDIForm;
    Application->MainForm = frame;
    frame->Show();
}

int SetupError(const std::string& text) {
    std::fprintf(stderr, "ctb-drive: %s\n", text.c_str());
    return 2;
}

bool FixToday(const std::string& today, std::string& error) {
    if (today.empty()) return true;
    int y = 0, m = 0, d = 0;
    TDateTime dt = 0;
    if (!drive::ParseDate(today, y, m, d) || !EncodeDate(y, m, d, dt)) {
        error = "--today inválido: " + today;
        return false;
    }
    SetToday(dt);
    return true;
}

bool ReadScript(const std::string& path, drive::Script& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "não foi possível ler o roteiro " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    out = drive::ParseScript(text.str(), path);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    drive::Options o;
    std::string error;
    if (!drive::ParseOptions(argc, argv, o, error)) {
        std::fprintf(stderr, "ctb-drive: %s\n\n%s", error.c_str(), drive::UsageText().c_str());
        return 2;
    }
    if (o.help) {
        std::printf("%s", drive::UsageText().c_str());
        return 0;
    }
    std::string url;
    if (!drive::PrepareDatabase(o.dbUrl, o.dbFile, o.today, "ctb-drive", url, error) || !FixToday(o.today, error)) return SetupError(error);

    if (!o.tokenFile.empty()) {
        // The private server started below reads it from the environment too.
        ::setenv("CTB_SERVER_TOKEN_FILE", o.tokenFile.c_str(), 1);
        Zembra::SetServerTokenFile(o.tokenFile);
    }
    drive::ServerProcess server;
    std::string host = "127.0.0.1";
    int port = 0;
    if (!o.server.empty()) {
        drive::SplitHostPort(o.server, host, port);
    } else {
        if (!server.Start(drive::ExecutableDir() + "/ctb11000-server", url, 30000, error)) return SetupError(error);
        port = server.Port();
    }

    Zembra::SetEmprProc(o.company);
    Zembra::SetOperador(o.operatorName);
    Zembra::SetWebURL(host);
    Zembra::SetWebPort(port);
    Zembra::SetDatabaseURL(url);
    try {
        dtmDBGeral().Open(url);
    } catch (const std::exception& e) {
        return SetupError(std::string("não foi possível abrir o banco de dados: ") + e.what());
    }
    SetServices(nullptr);
    // Reports have no printer here: each one is a PDF file, named on the output.
    TReportDesignerDialog::SetOnRun([](const TReportRun& run) {
        if (run.File.empty()) return;
        std::printf("ctb-drive: %s \"%s\": %s (%d página(s), %lld linha(s))\n", ReportActionName(run.Action),
                    run.Title.c_str(), run.File.c_str(), run.Pages, run.Rows);
        std::fflush(stdout);
    });
    CreateMainWindow();

    drive::Module module;
    if (!module.Load(drive::DefaultModulePath(), error)) return SetupError(error);

    drive::Interpreter interpreter([&module] { module.IniProc(); });
    interpreter.timings = o.timings;
    int unreadable = 0;
    for (const std::string& path : o.scripts) {
        drive::Script script;
        if (!ReadScript(path, script, error)) {
            std::printf("%s: FALHOU: %s\n", path.c_str(), error.c_str());
            ++unreadable;
            continue;
        }
        interpreter.Run(script);
    }
    int failed = interpreter.Failed() + unreadable;
    std::printf("%d ok, %d falha(s)\n", interpreter.Passed(), failed);
    std::fflush(stdout);
    server.Stop();
    return failed == 0 ? 0 : 1;
}
