// The canvas a grid's owner drawing paints on: TCanvas over a QPainter.
#pragma once

#include "platform/ui/grid.h"

#include <QImage>
#include <QPainter>

namespace desk {

class PainterCanvas : public TCanvas {
public:
    explicit PainterCanvas(QPainter& painter) : p_(painter) {}
    void FillRect(const TRect& r) override;
    // The text's top-left corner at (x, y), clipped to `clip`; a text that
    // does not fit ends in "…" instead of a letter cut in half.
    void TextRect(const TRect& clip, int x, int y, const std::string& text) override;
    void BrushCopy(const TRect& dest, const TImage* picture, const TRect& source, TColor transparent) override;

private:
    QPainter& p_;
};

// A canvas that paints nothing: it records how far right a cell's drawing
// reaches, from the cell's left edge, and whether the drawing filled the
// whole cell (then the grid's default text under it does not show). The grid
// sizes its columns with it.
class MeasuringCanvas : public TCanvas {
public:
    explicit MeasuringCanvas(const TRect& cell) : cell_(cell) {}
    void FillRect(const TRect& r) override;
    void TextRect(const TRect& clip, int x, int y, const std::string& text) override;
    void BrushCopy(const TRect& dest, const TImage* picture, const TRect& source, TColor transparent) override;

    int Extent() const { return extent_; }
    bool CoveredCell() const { return covered_; }

private:
    TRect cell_;
    int extent_ = 0;
    bool covered_ = false;
    void reach(int right);
};

// The picture of an image control as the desktop draws it, with the
// transparent colour turned into transparency. A picture without bytes (or
// with bytes that do not decode) gives the module's standard marker: a small
// page with a magnifier, so an owner-drawn cell still shows its mark.
QImage PictureOf(const TImage* image, TColor transparent);

}  // namespace desk
