// The desktop with about 100,000 lines loaded in the entry screen (the real
// module, server and a large demo database): scrolling the browse grid from
// top to bottom page by page, jumping to its end, and opening an entry on
// the form page. Everything is painted offscreen, as a display would be.
//
// The database is CTB_BENCH_DB when set, else created once in /tmp with
// ctb-demo (170,000 lines, of which about 100,000 belong to company 01).
#include "host/common/session.h"
#include "host/desktop/gridview.h"
#include "host/desktop/host.h"
#include "host/desktop/options.h"
#include "host/desktop/steps.h"
#include "host/desktop/uidrive.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

desk::DesktopHost* g_host = nullptr;

desk::GridView* BrowseGrid() { return static_cast<desk::GridView*>(desk::WidgetNamed(*g_host, "dbgPadrao")); }

TDataSet* Lines() { return dynamic_cast<TDataSet*>(desk::FindComponent("cdsLancCont")); }

TTabSheet* Sheet(const char* name) { return dynamic_cast<TTabSheet*>(desk::FindComponent(name)); }

void SelectPage(const char* name) {
    TTabSheet* s = Sheet(name);
    g_host->Act([s] { s->PageControl()->UserSelectPage(s); });
}

// Back on the browse page with every line loaded (the form page keeps only
// the entry it shows).
void BackToBrowse() {
    if (Sheet("tshFolhaDados")->PageControl()->ActivePage()->Name != "tshFolhaDados") SelectPage("tshFolhaDados");
}

void BM_BrowseGridScrollTopToBottom(benchmark::State& state) {
    BackToBrowse();
    desk::GridView* v = BrowseGrid();
    QScrollBar* sb = v->verticalScrollBar();
    long pages = 0;
    double slowest = 0;
    for (auto _ : state) {
        pages = 0;
        for (int at = 0;; at += sb->pageStep()) {
            const auto start = std::chrono::steady_clock::now();
            sb->setValue(at);
            v->viewport()->repaint();
            slowest = std::max(
                slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            ++pages;
            if (at >= sb->maximum()) break;
        }
        sb->setValue(0);
    }
    state.counters["rows"] = v->model()->rowCount();
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["slowest_page_ms"] = slowest;
}

void BM_BrowseGridJumpToEnd(benchmark::State& state) {
    BackToBrowse();
    desk::GridView* v = BrowseGrid();
    QScrollBar* sb = v->verticalScrollBar();
    for (auto _ : state) {
        sb->setValue(sb->maximum());
        v->viewport()->repaint();
        sb->setValue(0);
        v->viewport()->repaint();
    }
}

// Moving to a line and opening its entry on the form page (the screen loads
// the entry from the server and paints the page).
void BM_OpenEntry(benchmark::State& state) {
    const int row = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        BackToBrowse();
        TDBGrid* g = BrowseGrid()->Grid();
        const int target = std::min(row, g->RowCount() - 1);
        g_host->Act([g, target] { g->UserMoveToRow(target); });
        state.ResumeTiming();
        SelectPage("tshFormulario");
        g_host->Main()->repaint();
    }
}

// Returning to the browse page reloads every line from the server.
void BM_ReloadBrowsePage(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        if (Sheet("tshFormulario")->PageControl()->ActivePage()->Name != "tshFormulario") SelectPage("tshFormulario");
        state.ResumeTiming();
        SelectPage("tshFolhaDados");
        g_host->Main()->repaint();
    }
    state.counters["rows"] = Lines()->RecordCount();
}

BENCHMARK(BM_BrowseGridScrollTopToBottom)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BrowseGridJumpToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEntry)->Arg(10)->Arg(50000)->Arg(99000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReloadBrowsePage)->Unit(benchmark::kMillisecond)->Iterations(3);

std::string BenchDatabase() {
    if (const char* env = std::getenv("CTB_BENCH_DB"); env && *env) return env;
    const std::string path = "/tmp/ctb-bench-desktop-170k.db";
    if (std::filesystem::exists(path)) return path;
    std::string error;
    const int status = hostcommon::RunProgram(
        {hostcommon::ExecutableDir() + "/ctb-demo", "--db", path, "--size", "170000", "--year", "2024"}, error);
    if (status != 0) std::fprintf(stderr, "ctb-demo failed: %s\n", error.c_str());
    return path;
}

// Opens the screen and loads company 01's whole year through the filter.
bool LoadLines() {
    desk::StepRunner r(20, 120000);
    auto w = [](const char* n) { return desk::WidgetNamed(*g_host, n); };
    r.Add("open", [] {
        g_host->Main()->EntryCommand()->trigger();
        return true;
    });
    r.Add("company", [w] {
        if (!w("edtCdEmpresa")) return false;
        desk::PressKey(w("edtCdEmpresa"), Qt::Key_Tab);
        return true;
    });
    r.Add("filter", [w] {
        if (!Application->TopModal()) return false;
        for (auto [n, d] : {std::pair{"depIni", "01/01/2024"}, std::pair{"depFim", "31/12/2024"}}) {
            desk::Click(w(n));
            desk::PressKey(w(n), Qt::Key_A, Qt::ControlModifier);
            desk::TypeText(w(n), d);
        }
        desk::Click(w("sbtConfirma"));
        return true;
    });
    r.Add("loaded", [] { return !Application->TopModal() && Lines() && Lines()->Active(); });
    bool done = false;
    r.OnDone = [&] { done = true; };
    r.Start();
    while (!done) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return !r.Failed();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    desk::Options o;
    o.dbFile = BenchDatabase();
    o.today = "2024-12-31";
    hostcommon::Session session;
    std::string error;
    if (!session.Start(o, "ctb-host", error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    desk::DesktopHost host;
    g_host = &host;
    host.Start([&session] { session.OpenModule(); });
    host.Main()->show();
    QElapsedTimer t;
    t.start();
    if (!LoadLines()) return 1;
    std::printf("loaded %d lines of company 01 through the filter in %lld ms\n", Lines()->RecordCount(),
                static_cast<long long>(t.elapsed()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    host.RequestQuit();
    Application->Reset();
    session.Stop();
    return 0;
}
