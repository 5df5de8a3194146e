// Data-set costs that must not grow with the number of loaded lines, each
// measured as a ratio within one run:
//  (a) assigning Data of 1,000,000 lines vs 1,000 (limit 2x), and vs a deep
//      copy of the 1,000,000 lines (what sharing saves);
//  (b) edit + post of one line, then its Data to two other data sets, with
//      1,000,000 lines loaded vs 1,000 (limit 3x);
//  (c) the entry filter on 1,000,000 lines and a walk over the matching lines
//      vs a hand-written loop over the same records (limit 2x).
#include "platform/data/dataset.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

const char* const kFilter = "CDEMPRESA = '01'AND NRLANCCONT = '000000000001'";

// The 25 fields of the entry lines, in screen order.
const TPacketField kLineFields[] = {
    {"CDFILLANC", TFieldType::ftString, 4},    {"CDEMPRESA", TFieldType::ftString, 2},
    {"NRLANCCONT", TFieldType::ftString, 12},  {"NRSEQLANC", TFieldType::ftString, 5},
    {"CDHISTPADR", TFieldType::ftString, 4},   {"CDCONTCTBL", TFieldType::ftString, 20},
    {"DTLANCCONT", TFieldType::ftDateTime, 0}, {"CDDOCUCONT", TFieldType::ftString, 20},
    {"IDTIPOLANC", TFieldType::ftString, 1},   {"DSHISTLANC", TFieldType::ftString, 600},
    {"VRLANCAMENT", TFieldType::ftFloat, 0},   {"IDLANCCOME", TFieldType::ftString, 1},
    {"IDLANCSALDO", TFieldType::ftString, 1},  {"IDLANCINTE", TFieldType::ftString, 1},
    {"IDLANCMANI", TFieldType::ftString, 1},   {"NMCONTCTBL", TFieldType::ftString, 40},
    {"CDCONTREDU", TFieldType::ftString, 20},  {"CDCONTCOME", TFieldType::ftString, 21},
    {"IDCONTCCUS", TFieldType::ftString, 1},   {"IDTIPOCOME", TFieldType::ftString, 1},
    {"CDOPERINS", TFieldType::ftString, 12},   {"DTULTATULAN", TFieldType::ftDateTime, 0},
    {"IDSALDLANCO", TFieldType::ftString, 1},  {"IDSALDLANGE", TFieldType::ftString, 1},
    {"IDSISTEMA", TFieldType::ftString, 3}};

std::string number(long n, int width) {
    std::string s = std::to_string(n);
    return std::string(width > static_cast<int>(s.size()) ? width - s.size() : 0, '0') + s;
}

// Entries of four lines; two companies; realistic texts.
TDataPacket BuildLines(long n) {
    TDataPacket p(std::vector<TPacketField>(std::begin(kLineFields), std::end(kLineFields)));
    for (long i = 0; i < n; ++i) {
        const long entry = i / 4 + 1;
        const double value = (i % 4 < 2 ? 1.0 : -1.0) * static_cast<double>(100 + entry % 997);
        p.AppendRow({std::string("0001"),
                     std::string(entry % 10 == 0 ? "02" : "01"),
                     number(entry, 12),
                     number(i % 4 + 1, 5),
                     std::string("0012"),
                     number(1110100000 + entry % 500, 10),
                     45000.0 + static_cast<double>(entry % 365),
                     "NF" + number(entry % 100000, 6),
                     std::string("N"),
                     "PAGTO FORNECEDOR NF " + number(entry % 100000, 6),
                     value,
                     std::string("F"),
                     std::string("N"),
                     std::string("M"),
                     std::string("N"),
                     std::string("FORNECEDORES NACIONAIS"),
                     number(entry % 500, 5),
                     number(entry % 900, 6),
                     std::string("N"),
                     std::string("F"),
                     std::string("OPERADOR"),
                     45000.0,
                     std::string("N"),
                     std::string("N"),
                     std::string("CTB")});
    }
    return p;
}

const TDataPacket& Lines(long n) {
    static std::map<long, TDataPacket> cache;
    auto it = cache.find(n);
    if (it == cache.end()) it = cache.emplace(n, BuildLines(n)).first;
    return it->second;
}

void DefineLines(TDataSet& ds) {
    for (const TPacketField& f : kLineFields) ds.AddField(f.Name, f.DataType, f.Size);
}

void BM_AssignData(benchmark::State& state) {
    const TDataPacket& lines = Lines(state.range(0));
    TClientDataSet target;
    DefineLines(target);
    for (auto _ : state) {
        target.SetData(lines);
        benchmark::DoNotOptimize(target.RecordCount());
    }
}
BENCHMARK(BM_AssignData)->Arg(1000)->Arg(1000000);

// What assigning Data would cost if it copied: every row into a new packet.
void BM_DeepCopyData(benchmark::State& state) {
    const TDataPacket& lines = Lines(state.range(0));
    for (auto _ : state) {
        TDataPacket copy(lines.Fields());
        for (std::size_t k = 0; k < lines.ChunkCount(); ++k)
            for (std::size_t r = 0, n = lines.ChunkRows(k); r < n; ++r) {
                const std::string_view cells = lines.ChunkRow(k, r).Bytes();
                copy.AppendStoredRow(cells.data(), cells.size());
            }
        benchmark::DoNotOptimize(copy.RecordCount());
    }
}
BENCHMARK(BM_DeepCopyData)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_EditPostAndCopy(benchmark::State& state) {
    TClientDataSet lanc, espelho, debcred;
    DefineLines(lanc);
    DefineLines(espelho);
    DefineLines(debcred);
    lanc.SetData(Lines(state.range(0)));
    lanc.SetRecNo(static_cast<int>(state.range(0) / 2));
    TField* valor = lanc.FieldByName("VRLANCAMENT");
    double v = 1;
    for (auto _ : state) {
        lanc.Edit();
        valor->SetAsFloat(v += 1);
        lanc.Post();
        espelho.SetData(lanc.GetData());
        debcred.SetData(lanc.GetData());
    }
}
BENCHMARK(BM_EditPostAndCopy)->Arg(1000)->Arg(1000000);

void BM_FilterAndWalk(benchmark::State& state) {
    TClientDataSet lanc;
    DefineLines(lanc);
    lanc.SetData(Lines(state.range(0)));
    TField* seq = lanc.FieldByName("NRSEQLANC");
    TField* valor = lanc.FieldByName("VRLANCAMENT");
    for (auto _ : state) {
        lanc.SetFiltered(false);
        lanc.SetFilter(kFilter);
        lanc.SetFiltered(true);
        double sum = 0;
        for (lanc.First(); !lanc.Eof(); lanc.Next())
            sum += valor->AsFloat() + static_cast<double>(seq->AsString().size());
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_FilterAndWalk)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The same selection written by hand over the packet's rows.
void BM_HandLoop(benchmark::State& state) {
    const TDataPacket& lines = Lines(state.range(0));
    const std::size_t emp = static_cast<std::size_t>(lines.FieldIndex("CDEMPRESA"));
    const std::size_t nr = static_cast<std::size_t>(lines.FieldIndex("NRLANCCONT"));
    const std::size_t seq = static_cast<std::size_t>(lines.FieldIndex("NRSEQLANC"));
    const std::size_t valor = static_cast<std::size_t>(lines.FieldIndex("VRLANCAMENT"));
    const std::string_view wantEmp = "01", wantNr = "000000000001";
    for (auto _ : state) {
        double sum = 0;
        for (std::size_t k = 0; k < lines.ChunkCount(); ++k) {
            for (std::size_t r = 0, rows = lines.ChunkRows(k); r < rows; ++r) {
                const TRowRef row = lines.ChunkRow(k, r);
                const TCellRef e = row.Cell(emp);
                if (e.Kind != Variant::Kind::String || e.Text != wantEmp) continue;
                const TCellRef n = row.Cell(nr);
                if (n.Kind == Variant::Kind::String && n.Text == wantNr) {
                    double v = 0;
                    row.Cell(valor).TryAsFloat(v);
                    sum += v + static_cast<double>(row.Cell(seq).Text.size());
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_HandLoop)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Console output plus the three ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            times_[r.benchmark_name()] = r.GetAdjustedRealTime() * unitScale(r.time_unit);
            cpu_[r.benchmark_name()] = r.GetAdjustedCPUTime() * unitScale(r.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        ratio("(a) Data 1.000.000 / 1.000 linhas", "BM_AssignData/1000000", "BM_AssignData/1000", 2);
        ratio("(a') Data 1.000.000 / copia profunda 1.000.000", "BM_AssignData/1000000", "BM_DeepCopyData/1000000",
              0.01);
        ratio("(b) edit+post+2 copias 1.000.000 / 1.000", "BM_EditPostAndCopy/1000000", "BM_EditPostAndCopy/1000", 3);
        ratio("(c) filtro+percurso / laco manual", "BM_FilterAndWalk/1000000", "BM_HandLoop/1000000", 2);
    }

private:
    std::map<std::string, double> times_, cpu_;
    static double unitScale(benchmark::TimeUnit u) {
        switch (u) {
        case benchmark::kNanosecond: return 1;
        case benchmark::kMicrosecond: return 1e3;
        case benchmark::kMillisecond: return 1e6;
        default: return 1e9;
        }
    }
    void ratio(const char* label, const std::string& big, const std::string& small, double limit) {
        if (!times_.count(big) || !times_.count(small)) return;
        const double r = times_[big] / times_[small];
        const double c = cpu_[big] / cpu_[small];
        std::printf("ratio %s: %.4g tempo real, %.4g CPU (limite %g) %s\n", label, r, c, limit,
                    r <= limit ? "OK" : "ACIMA DO LIMITE");
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
