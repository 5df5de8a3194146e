#include "host/desktop/palette.h"

namespace desk {

QColor ToQColor(TColor c) {
    if (c == clNone) return QColor();
    switch (c) {
    case clWindow: return QColor(0xFF, 0xFF, 0xFF);
    case clWindowText: return QColor(0x1F, 0x1F, 0x1F);
    case clBtnFace: return QColor(0xEE, 0xEF, 0xF1);
    case clBtnText: return QColor(0x1F, 0x1F, 0x1F);
    case clInfoBk: return QColor(0xFF, 0xFB, 0xE0);
    case clInfoText: return QColor(0x1F, 0x1F, 0x1F);
    case clHighlight: return QColor(0x2F, 0x6F, 0xB3);
    case clHighlightText: return QColor(0xFF, 0xFF, 0xFF);
    case clGrayText: return QColor(0x80, 0x80, 0x80);
    case clScrollBar: return QColor(0xE0, 0xE0, 0xE0);
    default: break;
    }
    if (c < 0) return QColor(0xEE, 0xEF, 0xF1);  // a system colour we do not know
    const unsigned v = static_cast<unsigned>(c);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

QFont BaseFont() {
    // The condensed face keeps the screens' texts inside the widths their
    // definitions give (laid out for a narrow 8-point face).
    QFont f;
    f.setFamilies({"DejaVu Sans Condensed", "DejaVu Sans", "Sans Serif"});
    f.setPointSizeF(8);
    return f;
}

QFont ToQFont(const TFont& m) {
    QFont f = BaseFont();
    if (!m.Name.empty()) f.setFamilies({QString::fromStdString(m.Name), "DejaVu Sans Condensed", "DejaVu Sans"});
    if (m.Size > 0 && m.Size != 8) f.setPointSizeF(m.Size);
    f.setBold(m.Bold);
    f.setItalic(m.Italic);
    return f;
}

}  // namespace desk
