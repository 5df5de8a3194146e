#include "platform/report/render.h"

#include <pango/pangocairo.h>

#include <map>
#include <tuple>

namespace report {

namespace {

// Text fit for pango: valid UTF-8 on one line (a line break in a history
// text reads as a blank).
std::string clean(const std::string& text) {
    std::string out;
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        out = text;
    } else {
        gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
        out = valid;
        g_free(valid);
    }
    for (char& c : out)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return out;
}

PangoAlignment pangoAlign(TAlign a) {
    switch (a) {
    case TAlign::Right: return PANGO_ALIGN_RIGHT;
    case TAlign::Center: return PANGO_ALIGN_CENTER;
    case TAlign::Left: return PANGO_ALIGN_LEFT;
    }
    return PANGO_ALIGN_LEFT;
}

}  // namespace

struct TPangoText::TImpl {
    PangoContext* context = nullptr;
    PangoLayout* layout = nullptr;
    std::map<std::tuple<std::string, double, bool, bool>, PangoFontDescription*> fonts;

    TImpl() {
        context = pango_font_map_create_context(pango_cairo_font_map_get_default());
        cairo_font_options_t* fo = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
        pango_cairo_context_set_font_options(context, fo);
        cairo_font_options_destroy(fo);
        pango_cairo_context_set_resolution(context, 72);
        layout = pango_layout_new(context);
    }
    ~TImpl() {
        for (auto& [k, d] : fonts) pango_font_description_free(d);
        g_object_unref(layout);
        g_object_unref(context);
    }

    PangoFontDescription* font(const std::string& family, double size, bool bold, bool italic) {
        auto key = std::make_tuple(family, size, bold, italic);
        auto it = fonts.find(key);
        if (it != fonts.end()) return it->second;
        PangoFontDescription* d = pango_font_description_new();
        pango_font_description_set_family(d, family.c_str());
        pango_font_description_set_size(d, static_cast<gint>(size * PANGO_SCALE));
        pango_font_description_set_weight(d, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_font_description_set_style(d, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
        fonts.emplace(key, d);
        return d;
    }

    void set(const std::string& text, double width, PangoFontDescription* desc, int lines, TAlign align) {
        pango_layout_set_font_description(layout, desc);
        pango_layout_set_width(layout, pango_units_from_double(width));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        pango_layout_set_height(layout, -std::max(1, lines));
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        pango_layout_set_alignment(layout, pangoAlign(align));
        const std::string t = clean(text);
        pango_layout_set_text(layout, t.data(), static_cast<int>(t.size()));
    }
};

TPangoText::TPangoText() : impl_(std::make_unique<TImpl>()) {}
TPangoText::~TPangoText() = default;

int TPangoText::Lines(const std::string& text, double width, const std::string& font, double size, bool bold,
                      int maxLines) {
    impl_->set(text, width, impl_->font(font, size, bold, false), maxLines, TAlign::Left);
    return std::max(1, pango_layout_get_line_count(impl_->layout));
}

void TPangoText::Draw(cairo_t* cr, const TPage& page, const std::string& font) {
    for (const TFillOp& f : page.fills) {
        cairo_set_source_rgb(cr, f.gray, f.gray, f.gray);
        cairo_rectangle(cr, f.x, f.y, f.w, f.h);
        cairo_fill(cr);
    }
    for (const TRuleOp& r : page.rules) {
        cairo_set_source_rgb(cr, r.gray, r.gray, r.gray);
        cairo_set_line_width(cr, r.width);
        cairo_move_to(cr, r.x1, r.y1);
        cairo_line_to(cr, r.x2, r.y2);
        cairo_stroke(cr);
    }
    for (const TTextOp& t : page.texts) {
        if (t.text.empty()) continue;
        impl_->set(t.text, t.w, impl_->font(font, t.size, t.bold, t.italic), t.lines, t.align);
        cairo_set_source_rgb(cr, t.gray, t.gray, t.gray);
        cairo_move_to(cr, t.x, t.y);
        pango_cairo_show_layout(cr, impl_->layout);
    }
}

}  // namespace report
