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
    // The text's top-left corner at (x, y), clipped to `clip`.
    void TextRect(const TRect& clip, int x, int y, const std::string& text) override;
    void BrushCopy(const TRect& dest, const TImage* picture, const TRect& source,
                   TColor transparent) override;

private:
    QPainter& p_;
};

// The picture of an image control as the desktop draws it, with the
// transparent colour turned into transparency. A picture without bytes (or
// with bytes that do not decode) gives the module's standard marker: a small
// page with a magnifier, so an owner-drawn cell still shows its mark.
QImage PictureOf(const TImage* image, TColor transparent);

}  // namespace desk
