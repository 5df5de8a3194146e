// Laying a listing out on A4 pages.
//
// The rows become a stream of bands: a group's header when its key changes,
// one line per row, a group's footer with its totals when it ends, the
// report's summary at the end (or one "nothing found" line). Bands go down
// the page until the next one does not fit; then a new page starts, with
// the page header (company, title, "Página N de M", date printed, criteria,
// column headings) and the headers of the groups still open, marked
// "(continuação)". A group header never stays alone at the foot of a page.
//
// Two passes: the constructor lays every page out without drawing (only the
// count of pages, and where each one starts: the spool position and the
// running totals), and BuildPage lays one page out again and returns what to
// draw on it. Nothing but the page being built is ever held, so a listing of
// any length takes the memory of one page plus a few hundred bytes per page.
//
// Units are points (1/72 inch); y grows downwards.
#pragma once

#include "platform/report/definition.h"
#include "platform/report/spool.h"
#include "platform/report/template.h"

#include <memory>
#include <string>
#include <vector>

namespace report {

struct TTextOp {
    double x = 0, y = 0, w = 0;
    std::string text;
    double size = 7.5;
    bool bold = false;
    bool italic = false;
    TAlign align = TAlign::Left;
    int lines = 1;  // wraps up to this many lines, the last one ellipsized
    double gray = 0;
};

struct TRuleOp {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, width = 0.5, gray = 0;
};

struct TFillOp {
    double x = 0, y = 0, w = 0, h = 0, gray = 0.9;
};

struct TPage {
    std::vector<TFillOp> fills;
    std::vector<TRuleOp> rules;
    std::vector<TTextOp> texts;
};

// How many lines a text takes when wrapped to a width (the renderer's own
// measure, so that the passes and the drawing agree).
class ITextMetrics {
public:
    virtual ~ITextMetrics() = default;
    virtual int Lines(const std::string& text, double width, const std::string& font, double size, bool bold,
                      int maxLines) = 0;
};

struct TLayoutOptions {
    std::string PrintedAt;       // "dd/mm/yyyy hh:nn"
    std::string AccountPicture;  // for the "account" format
};

class TLayout {
public:
    // Runs the first pass. The definition, parameters, spool and metrics must
    // outlive the layout.
    TLayout(const TReportDef& def, const std::vector<Variant>& params, const TRowSpool& rows, ITextMetrics& metrics,
            TLayoutOptions options);
    ~TLayout();
    TLayout(const TLayout&) = delete;
    TLayout& operator=(const TLayout&) = delete;

    int PageCount() const;
    double PageWidth() const { return pageW_; }
    double PageHeight() const { return pageH_; }
    // The criteria line of the page header ("" when nothing restricts).
    const std::string& CriteriaText() const { return criteria_; }
    // What to draw on page `index` (0-based).
    TPage BuildPage(int index);

    struct TBand;
    struct TCheckpoint;

private:
    const TReportDef& def_;
    const std::vector<Variant>& params_;
    const TRowSpool& rows_;
    ITextMetrics& metrics_;
    TLayoutOptions options_;
    double pageW_, pageH_, x0_, x1_, lineH_;
    double contentTop_ = 0, contentBottom_ = 0;
    std::string criteria_;
    int criteriaLines_ = 0;
    std::vector<double> columnX_;
    std::vector<TCheckpoint> pages_;

    struct TRun;
    void buildCriteria();
    bool runPage(const TCheckpoint& start, TPage* out, int pageNo, TCheckpoint* next);
    void drawFrame(TPage& page, int pageNo) const;
    void drawBand(TPage& page, const TBand& band, double y, bool continued) const;
    double bandHeight(const TBand& band) const;
};

}  // namespace report
