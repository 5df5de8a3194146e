// ctb-drive: the headless scenario driver (see docs/drive.md).
#include "contracts/reportdesigner.h"
#include "host/common/session.h"
#include "host/drive/interpreter.h"
#include "host/drive/options.h"
#include "host/drive/script.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"

#include <cstdio>
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
    hostcommon::Session session;
    if (!session.Start(o, "ctb-drive", error)) return SetupError(error);
    SetServices(nullptr);
    // Reports have no printer here: each one is a PDF file, named on the output.
    TReportDesignerDialog::SetOnRun([](const TReportRun& run) {
        if (run.File.empty()) return;
        std::printf("ctb-drive: %s \"%s\": %s (%d página(s), %lld linha(s))\n", ReportActionName(run.Action),
                    run.Title.c_str(), run.File.c_str(), run.Pages, run.Rows);
        std::fflush(stdout);
    });
    CreateMainWindow();

    if (!session.LoadModule(error)) return SetupError(error);

    drive::Interpreter interpreter([&session] { session.OpenModule(); });
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
    session.Stop();
    return failed == 0 ? 0 : 1;
}
