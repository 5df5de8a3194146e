#include "host/desktop/canvas.h"

#include "host/desktop/palette.h"

#include <QFontMetrics>
#include <QPainterPath>

#include <algorithm>

namespace desk {
namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// A 16 x 16 page with its corner folded and a magnifier over it.
QImage StandardMarker() {
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x55, 0x5F, 0x6D));
    p.setBrush(Qt::white);
    QPainterPath page;
    page.moveTo(2.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(2.5, 14.5);
    page.closeSubpath();
    p.drawPath(page);
    p.drawLine(QPointF(4.5, 6.5), QPointF(9.5, 6.5));
    p.drawLine(QPointF(4.5, 8.5), QPointF(8.5, 8.5));
    p.setPen(QPen(QColor(0x2F, 0x6F, 0xB3), 1.4));
    p.setBrush(QColor(0xD8, 0xE8, 0xF8));
    p.drawEllipse(QPointF(10, 10), 3, 3);
    p.drawLine(QPointF(12.2, 12.2), QPointF(15, 15));
    return img;
}

QImage WithTransparency(QImage img, TColor transparent) {
    img = img.convertToFormat(QImage::Format_ARGB32);
    if (transparent == clNone) return img;
    const QRgb key = ToQColor(transparent).rgb() & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    return img;
}

}  // namespace

QImage PictureOf(const TImage* image, TColor transparent) {
    if (image && !image->Picture.empty()) {
        QImage img;
        if (img.loadFromData(image->Picture.data(), static_cast<int>(image->Picture.size())))
            return WithTransparency(img, transparent);
    }
    static const QImage marker = StandardMarker();
    return marker;
}

void PainterCanvas::FillRect(const TRect& r) {
    QColor c = ToQColor(Brush.Color);
    if (c.isValid()) p_.fillRect(ToQRect(r), c);
}

void PainterCanvas::TextRect(const TRect& clip, int x, int y, const std::string& text) {
    p_.save();
    p_.setClipRect(ToQRect(clip), Qt::IntersectClip);
    p_.setFont(ToQFont(Font));
    QColor c = ToQColor(Font.Color);
    p_.setPen(c.isValid() ? c : QColor(Qt::black));
    QFontMetrics fm(p_.font());
    const QString full = QString::fromStdString(text);
    const int room = clip.Right - x;
    const QString shown = fm.horizontalAdvance(full) > room ? fm.elidedText(full, Qt::ElideRight, room) : full;
    p_.drawText(QPoint(x, y + fm.ascent()), shown);
    p_.restore();
}

void PainterCanvas::BrushCopy(const TRect& dest, const TImage* picture, const TRect& source, TColor transparent) {
    QImage img = PictureOf(picture, transparent);
    QRect from = ToQRect(source).intersected(img.rect());
    if (from.isEmpty()) return;
    // Rows and columns past the picture are left as the cell was painted.
    QRect to(dest.Left, dest.Top, std::min(dest.Width(), from.width()), std::min(dest.Height(), from.height()));
    p_.drawImage(to, img, QRect(from.topLeft(), to.size()));
}

void MeasuringCanvas::reach(int right) { extent_ = std::max(extent_, right - cell_.Left); }

void MeasuringCanvas::FillRect(const TRect& r) {
    if (r.Left <= cell_.Left && r.Top <= cell_.Top && r.Right >= cell_.Right && r.Bottom >= cell_.Bottom)
        covered_ = true;
}

void MeasuringCanvas::TextRect(const TRect& clip, int x, int /*y*/, const std::string& text) {
    if (text.empty()) return;
    const QFontMetrics fm(ToQFont(Font));
    reach(std::min(clip.Right, x + fm.horizontalAdvance(QString::fromStdString(text))));
}

void MeasuringCanvas::BrushCopy(const TRect& dest, const TImage* /*picture*/, const TRect& source,
                                TColor /*transparent*/) {
    reach(dest.Left + std::min(dest.Width(), source.Width()));
}

}  // namespace desk
