#include "TextDraw.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

QFontMetrics Metrics(const QFont& font, const QPaintDevice* device) {
    return device ? QFontMetrics(font, device) : QFontMetrics(font);
}

// Qt breaks lines at LF only.
QString QtLines(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

} // namespace

int DrawText(const QString& Text, TRect& r, unsigned Flags, const QFont& Font,
             const QPaintDevice* Device, QPainter* Painter, const QColor& Color) {
    const QString s = QtLines(Text);
    int qt = Qt::AlignTop;
    qt |= (Flags & DT_CENTER)  ? Qt::AlignHCenter
          : (Flags & DT_RIGHT) ? Qt::AlignRight
                               : Qt::AlignLeft;
    if (Flags & DT_WORDBREAK) qt |= Qt::TextWordWrap;
    if (Flags & DT_EXPANDTABS) qt |= Qt::TextExpandTabs;
    if (!(Flags & DT_NOPREFIX)) qt |= Qt::TextShowMnemonic;
    const QFontMetrics m = Metrics(Font, Device);
    if (Flags & DT_CALCRECT) {
        int w = 0;
        int h = 0;
        const bool plainLine = !s.contains(u'\n') &&
                               !(qt & (Qt::TextWordWrap | Qt::TextShowMnemonic)) &&
                               !((qt & Qt::TextExpandTabs) && s.contains(u'\t'));
        if (plainLine) {
            // The same width as TextWidth: pieces of one line add up exactly.
            w = m.horizontalAdvance(s);
            h = m.height();
        } else {
            const int width = (Flags & DT_WORDBREAK) ? std::max(r.Right - r.Left, 1) : 1 << 24;
            const QRect b =
                m.boundingRect(QRect(0, 0, width, 1 << 24), qt & ~Qt::AlignHorizontal_Mask, s);
            w = b.width();
            h = s.isEmpty() ? m.height() : b.height();
        }
        r.Right = r.Left + w;
        r.Bottom = r.Top + h;
        return h;
    }
    if (!Painter) return 0;
    const QRect box(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
    QRect drawn;
    Painter->save();
    Painter->setFont(Font);
    Painter->setPen(Color);
    if (Flags & DT_RTLREADING) Painter->setLayoutDirection(Qt::RightToLeft);
    Painter->drawText(box, qt, s, &drawn);
    Painter->restore();
    return drawn.height();
}

int TextWidth(const QString& Text, const QFont& Font, const QPaintDevice* Device) {
    return Metrics(Font, Device).horizontalAdvance(Text);
}

int TextHeight(const QFont& Font, const QPaintDevice* Device) {
    return Metrics(Font, Device).height();
}

void AddFontPoints(QFont& Font, int Points, const QPaintDevice* Device) {
    int size = Font.pointSize();
    if (size <= 0) {
        const int dpi = Device ? Device->logicalDpiY() : 96;
        size = std::max(1, Font.pixelSize() * 72 / std::max(dpi, 1));
    }
    Font.setPointSize(std::clamp(size + Points, 1, 400));
}
