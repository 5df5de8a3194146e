#include "contracts/reportdesigner.h"

#include "contracts/zembra.h"
#include "platform/data/datetime.h"
#include "platform/db/dbgeral.h"
#include "platform/report/catalogue.h"
#include "platform/report/document.h"
#include "platform/report/query.h"
#include "platform/report/report_error.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

#include <chrono>
#include <ctime>
#include <dlfcn.h>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The headless output: the pages as a PDF file in the output folder, named
// after the report code and the moment (never over an earlier file).
class TPdfOutput : public IReportOutput {
public:
    void Show(const std::shared_ptr<report::TReportDocument>& doc, TReportAction, TReportRun& run) override {
        const fs::path dir = TReportDesignerDialog::OutputDirectory();
        std::error_code ec;
        fs::create_directories(dir, ec);
        const std::string stamp = stampNow("%Y%m%d-%H%M%S");
        fs::path path;
        for (int n = 1;; ++n) {
            path = dir / (doc->Definition().Code + "-" + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".pdf");
            if (!fs::exists(path, ec)) break;
        }
        doc->WritePdf(path.string());
        run.File = path.string();
    }

    static std::string stampNow(const char* format) {
        const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        std::tm local{};
        localtime_r(&t, &local);
        char buf[32];
        std::strftime(buf, sizeof buf, format, &local);
        return buf;
    }
};

TPdfOutput& pdfOutput() {
    static TPdfOutput o;
    return o;
}

IReportOutput*& installedOutput() {
    static IReportOutput* o = nullptr;
    return o;
}

std::function<void(const TReportRun&)>& onRun() {
    static std::function<void(const TReportRun&)> f;
    return f;
}

std::string& fixedPrintTime() {
    static std::string t;
    return t;
}

// The date printed on every page: the module's today with the clock's time.
std::string printedAt() {
    return DateToStr(Date()) + " " + (fixedPrintTime().empty() ? TPdfOutput::stampNow("%H:%M") : fixedPrintTime());
}

std::vector<Variant> valuesOf(const report::TReportDef& def, TParams& params) {
    std::vector<Variant> values;
    for (const report::TParamDef& p : def.Params) {
        TParam* t = params.FindParam(p.Name);
        values.push_back(t ? t->Value : Variant());
    }
    return values;
}

}  // namespace

const char* ReportActionName(TReportAction a) {
    switch (a) {
    case raPrint: return "Imprimir";
    case raPreview: return "Visualizar";
    case raSaveAs: return "Salvar como";
    }
    return "";
}

void TReportDesignerDialog::SetOutput(IReportOutput* output) { installedOutput() = output; }

void TReportDesignerDialog::SetPrintTime(std::string hhmm) { fixedPrintTime() = std::move(hhmm); }

void TReportDesignerDialog::SetOnRun(std::function<void(const TReportRun&)> f) { onRun() = std::move(f); }

std::string TReportDesignerDialog::InstalledReportDir() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&TReportDesignerDialog::InstalledReportDir), &info) && info.dli_fname) {
        const fs::path beside = fs::path(info.dli_fname).parent_path() / "reports";
        std::error_code ec;
        if (fs::is_directory(beside, ec)) return beside.string();
    }
#ifdef CTB_SOURCE_REPORT_DIR
    return CTB_SOURCE_REPORT_DIR;
#else
    return "reports";
#endif
}

std::string TReportDesignerDialog::OutputDirectory() {
    if (!Zembra::OutputDir().empty()) return Zembra::OutputDir();
    std::error_code ec;
    fs::path tmp = fs::temp_directory_path(ec);
    if (ec) tmp = "/tmp";
    return (tmp / "ctb-relatorios").string();
}

void TReportDesignerDialog::LoadReports(const std::string& code) {
    ReportCode = code;
    ReportDir = Zembra::ReportDir().empty() ? InstalledReportDir() : Zembra::ReportDir();
    Reports.clear();
    for (const report::TReportFile& f : report::FindReports(ReportDir, code)) {
        TReportDefinition d;
        d.Name = f.Title;
        d.Path = f.Path;
        d.Error = f.Error;
        if (d.Error.empty()) d.Params = report::LoadDefinition(f.Path).ParamNames();
        Reports.push_back(std::move(d));
    }
}

void TReportDesignerDialog::record(TReportRun run) {
    last_ = std::move(run);
    ++runs_;
    if (onRun()) onRun()(last_);
}

void TReportDesignerDialog::runReport(const TReportDefinition& def, TReportAction action, TReportRun& run) {
    const report::TReportDef rd = report::LoadDefinition(def.Path);
    TParams params;
    params.Assign(rd.ParamNames());
    if (BeforeGetQueryParams) BeforeGetQueryParams(this, params);
    for (int i = 0; i < params.Count(); ++i) run.Params.emplace_back(params.Items(i)->Name, params.Items(i)->Value);
    if (action == raSaveAs) {
        report::TReportFile source{def.Path, def.Name, ""};
        run.File = report::SaveCopy(ReportDir, ReportCode.empty() ? rd.Code : ReportCode, source, run.Title);
        LoadReports(ReportCode.empty() ? rd.Code : ReportCode);
        return;
    }
    std::vector<Variant> values = valuesOf(rd, params);
    std::shared_ptr<report::TReportDocument> doc;
    {
        TBusyGuard busy(7);
        auto rows = report::RunReportQuery(dtmDBGeral(), rd, values);
        report::TLayoutOptions options;
        options.PrintedAt = printedAt();
        options.AccountPicture = Zembra::DBPict(Zembra::ptContCtbl);
        doc = std::make_shared<report::TReportDocument>(rd, std::move(values), std::move(rows), options);
    }
    run.Pages = doc->PageCount();
    run.Rows = doc->Rows().RowCount();
    IReportOutput* out = installedOutput() ? installedOutput() : &pdfOutput();
    out->Show(doc, action, run);
}

bool TReportDesignerDialog::Execute(int reportIndex, TReportAction action, const std::string& title) {
    if (reportIndex < 0 || reportIndex >= static_cast<int>(Reports.size())) return false;
    const TReportDefinition def = Reports[static_cast<std::size_t>(reportIndex)];
    TReportRun run;
    run.Report = def.Name;
    run.Action = action;
    run.Title = title.empty() ? def.Name : title;
    if (def.Path.empty()) {
        TParams params;
        params.Assign(def.Params);
        if (BeforeGetQueryParams) BeforeGetQueryParams(this, params);
        for (int i = 0; i < params.Count(); ++i) run.Params.emplace_back(params.Items(i)->Name, params.Items(i)->Value);
        record(std::move(run));
        return true;
    }
    std::error_code ec;
    if (!fs::is_regular_file(def.Path, ec)) return false;
    if (!def.Error.empty()) throw Exception(def.Error);
    try {
        runReport(def, action, run);
    } catch (const report::EReportError& e) {
        throw Exception(e.what());
    }
    record(std::move(run));
    return true;
}

namespace Qrddlgs {

bool ExistParam(TParams& params, const std::string& name) { return params.FindParam(name) != nullptr; }

}  // namespace Qrddlgs
