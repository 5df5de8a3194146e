// A listing ready to be shown, printed or saved: the definition, the
// parameter values it ran with, its rows (spooled) and its pages (laid out
// in the first pass; each page is drawn when asked for).
//
// Errors: EReportError (a page that does not exist, a file that cannot be
// written). A document is used from one thread.
#pragma once

#include "platform/report/definition.h"
#include "platform/report/layout.h"
#include "platform/report/spool.h"

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

namespace report {

class TPangoText;

// A page as an image: 32-bit pixels 0xAARRGGBB in host byte order (cairo's
// ARGB32, which is Qt's Format_ARGB32_Premultiplied), rows of `stride` bytes.
struct TPageImage {
    int width = 0, height = 0, stride = 0;
    std::vector<unsigned char> pixels;
};

class TReportDocument {
public:
    // Lays the pages out (the first pass). `params` follows def.Params.
    TReportDocument(TReportDef def, std::vector<Variant> params, std::unique_ptr<TRowSpool> rows,
                    TLayoutOptions options);
    ~TReportDocument();
    TReportDocument(const TReportDocument&) = delete;
    TReportDocument& operator=(const TReportDocument&) = delete;

    const TReportDef& Definition() const { return def_; }
    const std::vector<Variant>& Params() const { return params_; }
    const TRowSpool& Rows() const { return *rows_; }
    int PageCount() const;
    double PageWidth() const;   // points
    double PageHeight() const;  // points
    const std::string& CriteriaText() const;

    // Draws page `index` (0-based) on a cairo context in points.
    void DrawPage(int index, cairo_t* cr);
    // The page on white paper at `dpi` dots per inch.
    TPageImage RenderPage(int index, double dpi);
    // Every page into a PDF file (written beside and renamed, so a failed run
    // never leaves half a file under the name).
    void WritePdf(const std::string& path);

private:
    TReportDef def_;
    std::vector<Variant> params_;
    std::unique_ptr<TRowSpool> rows_;
    std::unique_ptr<TPangoText> text_;
    std::unique_ptr<TLayout> layout_;
};

}  // namespace report
