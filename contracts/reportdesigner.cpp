#include "contracts/reportdesigner.h"

namespace {

std::function<void(const TReportRun&)>& runner() {
    static std::function<void(const TReportRun&)> r;
    return r;
}

}  // namespace

void TReportDesignerDialog::SetRunner(std::function<void(const TReportRun&)> r) {
    runner() = std::move(r);
}

bool TReportDesignerDialog::Execute(int reportIndex, TReportAction action, const std::string& title) {
    if (reportIndex < 0 || reportIndex >= static_cast<int>(Reports.size())) return false;
    const TReportDefinition& def = Reports[static_cast<std::size_t>(reportIndex)];
    TParams params;
    params.Assign(def.Params);
    if (BeforeGetQueryParams) BeforeGetQueryParams(this, params);
    TReportRun run;
    run.Report = def.Name;
    run.Action = action;
    run.Title = title.empty() ? def.Name : title;
    for (int i = 0; i < params.Count(); ++i)
        run.Params.emplace_back(params.Items(i)->Name, params.Items(i)->Value);
    last_ = run;
    ++runs_;
    if (runner()) runner()(last_);
    return true;
}

namespace Qrddlgs {

bool ExistParam(TParams& params, const std::string& name) { return params.FindParam(name) != nullptr; }

}  // namespace Qrddlgs
