// The report designer dialog as the report-parameter forms see it. It holds
// the report definitions a form can run (name and the parameters of the
// report's query); running one builds the query's parameter list, lets the
// form fill it (BeforeGetQueryParams) and hands the report to the installed
// report runner. Without a runner the run is only recorded (LastRun), which
// is what tests and the scenario driver look at.
#pragma once

#include "platform/data/component.h"
#include "platform/db/adoibquery.h"

#include <functional>
#include <string>
#include <vector>

enum TReportAction { raPrint, raPreview, raSaveAs };

struct TReportDefinition {
    std::string Name;
    std::vector<std::string> Params;  // parameter names of the report's query
};

// One run of a report: what it was asked and the parameters it got.
struct TReportRun {
    std::string Report;
    TReportAction Action = raPrint;
    std::string Title;  // save-as: the title given to the copy
    std::vector<std::pair<std::string, Variant>> Params;
};

class TReportDesignerDialog : public TComponent {
public:
    explicit TReportDesignerDialog(TComponent* owner = nullptr) : TComponent(owner) {}

    std::vector<TReportDefinition> Reports;
    std::string ReportDir;  // where the suite keeps the definitions

    std::function<void(TComponent* Sender, TParams& Params)> BeforeGetQueryParams;

    // Runs the report of that index; false when there is no such report.
    bool Execute(int reportIndex, TReportAction action, const std::string& title = "");
    bool HasRun() const { return runs_ > 0; }
    int RunCount() const { return runs_; }
    const TReportRun& LastRun() const { return last_; }

    // What shows or prints a report; a desktop host installs one.
    static void SetRunner(std::function<void(const TReportRun&)> runner);

private:
    int runs_ = 0;
    TReportRun last_;
};

namespace Qrddlgs {
// True when the report's query has a parameter of that name (case ignored).
bool ExistParam(TParams& params, const std::string& name);
}  // namespace Qrddlgs
