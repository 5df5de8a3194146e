#include "platform/report/document.h"

#include "platform/report/render.h"
#include "platform/report/report_error.h"

#include <cairo-pdf.h>

#include <cmath>
#include <cstdio>

namespace report {

TReportDocument::TReportDocument(TReportDef def, std::vector<Variant> params, std::unique_ptr<TRowSpool> rows,
                                 TLayoutOptions options)
    : def_(std::move(def)), params_(std::move(params)), rows_(std::move(rows)), text_(std::make_unique<TPangoText>()) {
    params_.resize(std::max(params_.size(), def_.Params.size()));
    layout_ = std::make_unique<TLayout>(def_, params_, *rows_, *text_, std::move(options));
}

TReportDocument::~TReportDocument() = default;

int TReportDocument::PageCount() const { return layout_->PageCount(); }
double TReportDocument::PageWidth() const { return layout_->PageWidth(); }
double TReportDocument::PageHeight() const { return layout_->PageHeight(); }
const std::string& TReportDocument::CriteriaText() const { return layout_->CriteriaText(); }

void TReportDocument::DrawPage(int index, cairo_t* cr) {
    const TPage page = layout_->BuildPage(index);
    text_->Draw(cr, page, def_.Font);
}

TPageImage TReportDocument::RenderPage(int index, double dpi) {
    const double scale = dpi / 72.0;
    TPageImage img;
    img.width = static_cast<int>(std::lround(PageWidth() * scale));
    img.height = static_cast<int>(std::lround(PageHeight() * scale));
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.width, img.height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        throw EReportError("Memória insuficiente para mostrar a página do relatório.");
    }
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_scale(cr, scale, scale);
    try {
        DrawPage(index, cr);
    } catch (...) {
        cairo_destroy(cr);
        cairo_surface_destroy(s);
        throw;
    }
    cairo_destroy(cr);
    cairo_surface_flush(s);
    img.stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    img.pixels.assign(data, data + static_cast<std::size_t>(img.stride) * static_cast<std::size_t>(img.height));
    cairo_surface_destroy(s);
    return img;
}

void TReportDocument::WritePdf(const std::string& path) {
    const std::string partial = path + ".parcial";
    cairo_surface_t* s = cairo_pdf_surface_create(partial.c_str(), PageWidth(), PageHeight());
    cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_TITLE, def_.Title.c_str());
    cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_CREATOR, "CTB11000");
    cairo_t* cr = cairo_create(s);
    bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    try {
        for (int i = 0; ok && i < PageCount(); ++i) {
            DrawPage(i, cr);
            cairo_show_page(cr);
            ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        }
    } catch (...) {
        cairo_destroy(cr);
        cairo_surface_destroy(s);
        std::remove(partial.c_str());
        throw;
    }
    cairo_destroy(cr);
    cairo_surface_finish(s);
    ok = ok && cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(s);
    if (!ok || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        throw EReportError("Não foi possível gravar o arquivo " + path + ".");
    }
}

}  // namespace report
