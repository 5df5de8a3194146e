#include "platform/report/layout.h"

#include "platform/report/report_error.h"

#include <algorithm>

namespace report {

namespace {
constexpr double kPtPerMm = 72.0 / 25.4;
constexpr double kIndent = 8;        // per group level
constexpr double kPad = 2;           // inside a column
constexpr double kFooterSpace = 14;  // page footer band
}  // namespace

struct TLayout::TBand {
    enum Kind { Header, Detail, Footer, Summary, Empty } kind = Detail;
    int level = 0;
    std::vector<std::string> cells;  // header: text; footer/summary: label, text; empty: text
    int lines = 1;                   // detail: lines of its tallest cell
};

// The band generator's whole state: copied at each page start, so that a page
// can be laid out again from there.
struct TGenState {
    std::int64_t pos = 0;
    bool started = false, finished = false;
    std::vector<Variant> prev;
    std::vector<std::vector<TAccum>> groupTotals;
    std::vector<TAccum> reportTotals;
    std::vector<TLayout::TBand> queue;
    std::size_t head = 0;
};

struct TLayout::TCheckpoint {
    TGenState gen;
    bool hasBand = false;
    TBand band;
    std::vector<std::string> openHeaders;  // groups open when the page starts
};

// One pass over the rows from a checkpoint: produces the bands in order.
struct TLayout::TRun {
    TLayout& L;
    TGenState gen;
    TRowSpool::TReader reader;
    std::vector<Variant> row;

    TRun(TLayout& l, const TGenState& g) : L(l), gen(g), reader(l.rows_, g.pos) {}

    TEvalContext ctx(const std::vector<Variant>* r, const std::vector<TAccum>* totals) const {
        TEvalContext c;
        c.row = r;
        c.params = &L.params_;
        c.totals = totals;
        c.accountPicture = L.options_.AccountPicture;
        return c;
    }

    void push(TBand b) { gen.queue.push_back(std::move(b)); }

    void pushFooter(int level) {
        const TGroupDef& g = L.def_.Groups[static_cast<std::size_t>(level)];
        if (!g.HasFooter) return;
        const TEvalContext c = ctx(&gen.prev, &gen.groupTotals[static_cast<std::size_t>(level)]);
        push({TBand::Footer, level, {Evaluate(g.FooterLabel, L.def_, c), Evaluate(g.FooterText, L.def_, c)}, 1});
    }

    void pushEnd() {
        const int groups = static_cast<int>(L.def_.Groups.size());
        if (!gen.started) {
            push({TBand::Empty, 0, {L.def_.EmptyText}, 1});
            return;
        }
        for (int level = groups - 1; level >= 0; --level) pushFooter(level);
        if (L.def_.HasSummary) {
            const TEvalContext c = ctx(&gen.prev, &gen.reportTotals);
            push({TBand::Summary,
                  0,
                  {Evaluate(L.def_.SummaryLabel, L.def_, c), Evaluate(L.def_.SummaryText, L.def_, c)},
                  1});
        }
    }

    int changedLevel() const {
        const int groups = static_cast<int>(L.def_.Groups.size());
        if (!gen.started) return 0;
        for (int level = 0; level < groups; ++level) {
            const auto k = static_cast<std::size_t>(L.def_.Groups[static_cast<std::size_t>(level)].KeyField);
            if (row[k] != gen.prev[k]) return level;
        }
        return groups;
    }

    TBand detail() {
        TBand b{TBand::Detail, static_cast<int>(L.def_.Groups.size()), {}, 1};
        const TEvalContext c = ctx(&row, nullptr);
        for (std::size_t i = 0; i < L.def_.Columns.size(); ++i) {
            const TColumnDef& col = L.def_.Columns[i];
            b.cells.push_back(Evaluate(col.Text, L.def_, c));
            if (col.Lines > 1 && !b.cells.back().empty()) {
                const double w = col.Width * kPtPerMm - 2 * kPad;
                b.lines = std::max(b.lines,
                                   L.metrics_.Lines(b.cells.back(), w, L.def_.Font, L.def_.FontSize, false, col.Lines));
            }
        }
        return b;
    }

    void readRow() {
        if (!reader.Read(row)) {
            pushEnd();
            gen.finished = true;
            return;
        }
        gen.pos = reader.Position();
        const int groups = static_cast<int>(L.def_.Groups.size());
        const int changed = changedLevel();
        if (gen.started)
            for (int level = groups - 1; level >= changed; --level) pushFooter(level);
        for (int level = changed; level < groups; ++level) {
            auto& totals = gen.groupTotals[static_cast<std::size_t>(level)];
            std::fill(totals.begin(), totals.end(), TAccum{});
            const TEvalContext c = ctx(&row, nullptr);
            push({TBand::Header,
                  level,
                  {Evaluate(L.def_.Groups[static_cast<std::size_t>(level)].Header, L.def_, c)},
                  1});
        }
        push(detail());
        for (auto& totals : gen.groupTotals) Accumulate(L.def_, row, totals);
        Accumulate(L.def_, row, gen.reportTotals);
        gen.prev = row;
        gen.started = true;
    }

    bool next(TBand& out) {
        while (gen.head >= gen.queue.size()) {
            gen.queue.clear();
            gen.head = 0;
            if (gen.finished) return false;
            readRow();
        }
        out = std::move(gen.queue[gen.head++]);
        return true;
    }

    // The band after `band` (a header must not end a page alone).
    bool peekDetailLines(int& lines) {
        TBand b;
        TGenState saved = gen;
        const std::int64_t pos = reader.Position();
        lines = 0;
        while (next(b)) {
            if (b.kind == TBand::Detail) {
                lines = b.lines;
                break;
            }
            if (b.kind != TBand::Header) break;
        }
        gen = std::move(saved);
        reader.Seek(pos);
        return lines > 0;
    }
};

TLayout::TLayout(const TReportDef& def, const std::vector<Variant>& params, const TRowSpool& rows,
                 ITextMetrics& metrics, TLayoutOptions options)
    : def_(def), params_(params), rows_(rows), metrics_(metrics), options_(std::move(options)) {
    if (params_.size() < def_.Params.size()) throw EReportError("Parâmetros do relatório incompletos.");
    pageW_ = PageWidthMm(def_.Orientation) * kPtPerMm;
    pageH_ = PageHeightMm(def_.Orientation) * kPtPerMm;
    x0_ = kPageMarginMm * kPtPerMm;
    x1_ = pageW_ - x0_;
    lineH_ = def_.FontSize * 1.25;
    double x = x0_;
    for (const TColumnDef& c : def_.Columns) {
        columnX_.push_back(x);
        x += c.Width * kPtPerMm;
    }
    columnX_.push_back(x);
    buildCriteria();
    const double criteriaH = criteriaLines_ * def_.FontSize * 1.25;
    contentTop_ = x0_ + 14 + 17 + criteriaH + 3 + 3 + (lineH_ + 4) + 3;
    contentBottom_ = pageH_ - x0_ - kFooterSpace;
    if (contentBottom_ - contentTop_ < 12 * lineH_)
        throw EReportError("Os critérios do relatório não deixam espaço para as linhas da página.");

    TCheckpoint first;
    first.gen.groupTotals.assign(def_.Groups.size(), std::vector<TAccum>(def_.Totals.size()));
    first.gen.reportTotals.assign(def_.Totals.size(), TAccum{});
    pages_.push_back(first);
    for (int page = 0;; ++page) {
        TCheckpoint next;
        if (!runPage(pages_.back(), nullptr, page, &next)) break;
        pages_.push_back(std::move(next));
    }
}

TLayout::~TLayout() = default;

int TLayout::PageCount() const { return static_cast<int>(pages_.size()); }

void TLayout::buildCriteria() {
    std::string out;
    for (const TCriterionDef& c : def_.Criteria) {
        auto holds = [&](const std::pair<int, std::string>& cond) {
            return params_[static_cast<std::size_t>(cond.first)].AsString() == cond.second;
        };
        const bool on =
            std::all_of(c.When.begin(), c.When.end(), holds) && std::none_of(c.Unless.begin(), c.Unless.end(), holds);
        TEvalContext ctx;
        ctx.params = &params_;
        ctx.accountPicture = options_.AccountPicture;
        const std::string value = on ? Evaluate(c.Text, def_, ctx) : c.Otherwise;
        if (value.empty()) continue;
        if (!out.empty()) out += "   ·   ";
        out += c.Label + ": " + value;
    }
    criteria_ = out;
    criteriaLines_ = out.empty() ? 0 : metrics_.Lines(out, x1_ - x0_, def_.Font, def_.FontSize, false, 4);
}

double TLayout::bandHeight(const TBand& b) const {
    switch (b.kind) {
    case TBand::Header: return lineH_ + (b.level == 0 ? 6 : 4);
    case TBand::Detail: return b.lines * lineH_ + 2;
    case TBand::Footer: return lineH_ + 7;
    case TBand::Summary: return lineH_ + 12;
    case TBand::Empty: return lineH_ + 12;
    }
    return lineH_;
}

bool TLayout::runPage(const TCheckpoint& start, TPage* out, int pageNo, TCheckpoint* next) {
    TRun run(*this, start.gen);
    std::vector<std::string> open = start.openHeaders;
    double y = contentTop_;
    if (out) drawFrame(*out, pageNo);
    auto place = [&](const TBand& b, bool continued) {
        if (out) drawBand(*out, b, y, continued);
        y += bandHeight(b);
        if (continued) return;
        if (b.kind == TBand::Header) {
            open.resize(static_cast<std::size_t>(b.level));
            open.push_back(b.cells[0]);
        } else if (b.kind == TBand::Footer) {
            open.resize(static_cast<std::size_t>(b.level));
        }
    };
    if (start.hasBand) {
        // Groups still open above the band that starts the page are named again.
        std::size_t repeat = 0;
        if (start.band.kind == TBand::Detail) repeat = open.size();
        else if (start.band.kind == TBand::Header)
            repeat = std::min(open.size(), static_cast<std::size_t>(start.band.level));
        else if (start.band.kind == TBand::Footer)
            repeat = std::min(open.size(), static_cast<std::size_t>(start.band.level) + 1);
        for (std::size_t level = 0; level < repeat; ++level)
            place({TBand::Header, static_cast<int>(level), {open[level] + " (continuação)"}, 1}, true);
        place(start.band, false);
    }
    TBand band;
    while (run.next(band)) {
        double need = bandHeight(band);
        if (band.kind == TBand::Header) {
            int lines = 0;
            if (run.peekDetailLines(lines)) need += lines * lineH_ + 2;
        }
        const bool pageHasBands = y > contentTop_;
        if (pageHasBands && y + need > contentBottom_) {
            if (next) {
                next->gen = run.gen;
                next->hasBand = true;
                next->band = std::move(band);
                next->openHeaders = open;
            }
            return true;
        }
        place(band, false);
    }
    return false;
}

TPage TLayout::BuildPage(int index) {
    if (index < 0 || index >= PageCount()) throw EReportError("Página inexistente no relatório.");
    TPage page;
    runPage(pages_[static_cast<std::size_t>(index)], &page, index, nullptr);
    return page;
}

void TLayout::drawFrame(TPage& p, int pageNo) const {
    const double w = x1_ - x0_;
    TEvalContext ctx;
    ctx.params = &params_;
    ctx.accountPicture = options_.AccountPicture;
    double y = x0_;
    p.texts.push_back({x0_, y, w * 0.7, Evaluate(def_.Company, def_, ctx), 10, true, false, TAlign::Left, 1, 0});
    p.texts.push_back({x0_ + w * 0.7, y + 1, w * 0.3,
                       "Página " + std::to_string(pageNo + 1) + " de " + std::to_string(PageCount()), 8, false, false,
                       TAlign::Right, 1, 0});
    y += 14;
    p.texts.push_back({x0_, y, w * 0.7, def_.Title, 12, true, false, TAlign::Left, 1, 0});
    p.texts.push_back(
        {x0_ + w * 0.7, y + 3, w * 0.3, "Emitido em " + options_.PrintedAt, 8, false, false, TAlign::Right, 1, 0.3});
    y += 17;
    if (criteriaLines_ > 0)
        p.texts.push_back({x0_, y, w, criteria_, def_.FontSize, false, false, TAlign::Left, criteriaLines_, 0.25});
    y += criteriaLines_ * def_.FontSize * 1.25 + 3;
    p.rules.push_back({x0_, y, x1_, y, 0.8, 0});
    y += 3;
    p.fills.push_back({x0_, y, w, lineH_ + 4, 0.88});
    for (std::size_t i = 0; i < def_.Columns.size(); ++i) {
        const TColumnDef& c = def_.Columns[i];
        p.texts.push_back({columnX_[i] + kPad, y + 2, columnX_[i + 1] - columnX_[i] - 2 * kPad, c.Title, def_.FontSize,
                           true, false, c.Align, 1, 0});
    }
    y += lineH_ + 4;
    p.rules.push_back({x0_, y, x1_, y, 0.4, 0});

    const double fy = pageH_ - x0_ - kFooterSpace + 4;
    p.rules.push_back({x0_, fy, x1_, fy, 0.4, 0.5});
    p.texts.push_back({x0_, fy + 2, w * 0.6, def_.Code + " · " + def_.Title, 6.5, false, false, TAlign::Left, 1, 0.4});
    p.texts.push_back({x0_ + w * 0.6, fy + 2, w * 0.4,
                       "Página " + std::to_string(pageNo + 1) + " de " + std::to_string(PageCount()), 6.5, false, false,
                       TAlign::Right, 1, 0.4});
}

void TLayout::drawBand(TPage& p, const TBand& b, double y, bool continued) const {
    const double size = def_.FontSize;
    const double indent = x0_ + kPad + b.level * kIndent;
    switch (b.kind) {
    case TBand::Header:
        if (b.level == 0) p.fills.push_back({x0_, y + 1, x1_ - x0_, lineH_ + 4, 0.94});
        p.texts.push_back({indent, y + (b.level == 0 ? 3 : 2), x1_ - indent - kPad, b.cells[0], size, true, continued,
                           TAlign::Left, 1, 0});
        break;
    case TBand::Detail:
        for (std::size_t i = 0; i < def_.Columns.size(); ++i) {
            const TColumnDef& c = def_.Columns[i];
            if (b.cells[i].empty()) continue;
            p.texts.push_back({columnX_[i] + kPad, y + 1, columnX_[i + 1] - columnX_[i] - 2 * kPad, b.cells[i], size,
                               false, false, c.Align, c.Lines, 0});
        }
        break;
    case TBand::Footer:
    case TBand::Summary: {
        const bool summary = b.kind == TBand::Summary;
        const double top = y + (summary ? 4 : 2);
        p.rules.push_back({summary ? x0_ : indent, top, x1_, top, summary ? 0.8 : 0.3, summary ? 0 : 0.45});
        const double ts = summary ? size + 0.5 : size;
        const double half = (x1_ - indent) * 0.4;
        p.texts.push_back({indent, top + 2, half, b.cells[0], ts, true, false, TAlign::Left, 1, 0});
        p.texts.push_back(
            {indent + half, top + 2, x1_ - kPad - indent - half, b.cells[1], ts, true, false, TAlign::Right, 1, 0});
        break;
    }
    case TBand::Empty:
        p.texts.push_back({indent, y + 6, x1_ - indent, b.cells[0], size + 1, false, true, TAlign::Left, 1, 0.2});
        break;
    }
}

}  // namespace report
