// The report designer dialog as the report-parameter forms see it. It holds
// the report definitions a form can run: the files of the form's report
// code in the host's report directory (LoadReports), or a list a screen sets
// itself. Running one reads its definition, builds the query's parameter
// list, lets the form fill it (BeforeGetQueryParams), runs the query on the
// suite database and lays the listing out (platform/report); the pages then
// go to the installed report output: the desktop's preview window and
// printer, or, headless, a PDF file in the host's output folder.
//
// Every run is recorded (LastRun: the report, the action and the parameters
// it received, the file written, pages and rows), which is what tests and
// the scenario driver look at. A report of the list that has no file is only
// recorded.
//
// Errors: a definition that cannot be read, a failing query or a file that
// cannot be written raise an Exception with the engine's Portuguese text (the
// dispatcher shows it); a definition file that is gone makes Execute return
// false (the base form's "Arq_Rel_Err").
#pragma once

#include "platform/data/component.h"
#include "platform/db/adoibquery.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace report {
class TReportDocument;
}

enum TReportAction { raPrint, raPreview, raSaveAs };

const char* ReportActionName(TReportAction a);  // "Imprimir", "Visualizar", "Salvar como"

struct TReportDefinition {
    TReportDefinition() = default;
    TReportDefinition(std::string name, std::vector<std::string> params = {}, std::string path = {},
                      std::string error = {})
        : Name(std::move(name)), Params(std::move(params)), Path(std::move(path)), Error(std::move(error)) {}

    std::string Name;                 // the title listed to the user
    std::vector<std::string> Params;  // parameter names of the report's query
    std::string Path;                 // its file ("" for a report set by a screen)
    std::string Error;                // why the file cannot be read ("" when it can)
};

// One run of a report: what it was asked and the parameters it got.
struct TReportRun {
    std::string Report;
    TReportAction Action = raPrint;
    std::string Title;  // save-as: the title given to the copy
    std::vector<std::pair<std::string, Variant>> Params;
    std::string File;  // the PDF written, or the copy saved ("" when none)
    int Pages = 0;
    long long Rows = 0;
};

// Where the pages of a run go. The headless default writes a PDF file.
class IReportOutput {
public:
    virtual ~IReportOutput() = default;
    // Preview or print `doc`; sets run.File when it wrote one.
    virtual void Show(const std::shared_ptr<report::TReportDocument>& doc, TReportAction action, TReportRun& run) = 0;
};

class TReportDesignerDialog : public TComponent {
public:
    explicit TReportDesignerDialog(TComponent* owner = nullptr) : TComponent(owner) {}

    std::vector<TReportDefinition> Reports;
    std::string ReportDir;   // where the definitions are (set by LoadReports)
    std::string ReportCode;  // whose definitions they are

    std::function<void(TComponent* Sender, TParams& Params)> BeforeGetQueryParams;

    // Fills Reports with the definitions of `code` in the host's report
    // directory (Zembra::ReportDir, else the ones installed with the module).
    void LoadReports(const std::string& code);

    // Runs the report of that index; false when there is no such report or
    // its file is gone. Save-as writes a copy titled `title` and reloads the
    // list (the copy is the report LastRun().File names).
    bool Execute(int reportIndex, TReportAction action, const std::string& title = "");
    bool HasRun() const { return runs_ > 0; }
    int RunCount() const { return runs_; }
    const TReportRun& LastRun() const { return last_; }

    // The output a front end installs (nullptr: the headless PDF writer).
    static void SetOutput(IReportOutput* output);
    // Told after every run (the scenario driver reports the files written).
    static void SetOnRun(std::function<void(const TReportRun&)> onRun);
    // The time printed beside the date on every page ("hh:mm"); "" is the
    // clock's (the default). Fixed by the screenshots, which must not change
    // from run to run.
    static void SetPrintTime(std::string hhmm);
    // The definitions installed with the module.
    static std::string InstalledReportDir();
    // Where the headless output writes (Zembra::OutputDir, else a temporary folder).
    static std::string OutputDirectory();

private:
    int runs_ = 0;
    TReportRun last_;

    void record(TReportRun run);
    void runReport(const TReportDefinition& def, TReportAction action, TReportRun& run);
};

namespace Qrddlgs {
// True when the report's query has a parameter of that name (case ignored).
bool ExistParam(TParams& params, const std::string& name);
}  // namespace Qrddlgs
