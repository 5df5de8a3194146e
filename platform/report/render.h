// Drawing laid-out pages with cairo, text set by pango (fontconfig fonts,
// full Unicode, Portuguese accents). Text is measured and set with hinting
// of metrics off at 72 units per inch, so a page measures the same whatever
// it is drawn on: a PDF, an image for the screen or a printer.
#pragma once

#include "platform/report/layout.h"

#include <cairo.h>

#include <memory>
#include <string>

namespace report {

class TPangoText : public ITextMetrics {
public:
    TPangoText();
    ~TPangoText() override;
    TPangoText(const TPangoText&) = delete;
    TPangoText& operator=(const TPangoText&) = delete;

    int Lines(const std::string& text, double width, const std::string& font, double size, bool bold,
              int maxLines) override;
    // Draws the page on `cr`, whose user units are points (white paper is
    // the caller's business).
    void Draw(cairo_t* cr, const TPage& page, const std::string& font);

private:
    struct TImpl;
    std::unique_ptr<TImpl> impl_;
};

}  // namespace report
