#include "platform/TextDraw.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

QFontMetrics Metrics(const QFont& font, const QPaintDevice* device) {
    return device ? QFontMetrics(font, device) : QFontMetrics(font);
}

// The text as shown with mnemonics: "&" marks the next character, "&&" is "&".
QString WithoutMnemonics(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && ++i == text.size()) break;
        s += text[i];
    }
    return s;
}

// Lines are laid out here rather than by Qt's text layout, whose lines are
// higher than the font's height (rounded ascent and descent each): every line
// is QFontMetrics::height() high, as the lines of the mark-up drawing are.
struct TLayout {
    const QFontMetrics& Metrics;
    unsigned Flags;

    int Width(const QString& line) const {
        const QString shown = (Flags & DT_NOPREFIX) ? line : WithoutMnemonics(line);
        if ((Flags & DT_EXPANDTABS) && shown.contains(u'\t'))
            return Metrics.boundingRect(QRect(0, 0, 1 << 24, 1 << 24), Qt::TextExpandTabs, shown)
                .width();
        return Metrics.horizontalAdvance(shown);
    }

    // Lines end at CR, LF or CR LF; with DT_WORDBREAK they also break between
    // words, and a word wider than the width keeps a line of its own.
    QStringList Lines(const QString& text, int width) const {
        QString s = text;
        s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        s.replace(u'\r', u'\n');
        const QStringList lines = s.split(u'\n');
        if (!(Flags & DT_WORDBREAK)) return lines;
        QStringList visual;
        for (const QString& line : lines) {
            const QStringList words = line.split(u' ');
            QString current = words.front();
            for (qsizetype k = 1; k < words.size(); ++k) {
                const QString longer = current + u' ' + words[k];
                if (Width(longer) <= width) {
                    current = longer;
                } else {
                    visual << current;
                    current = words[k];
                }
            }
            visual << current;
        }
        return visual;
    }
};

} // namespace

int DrawText(const QString& Text, TRect& r, unsigned Flags, const QFont& Font,
             const QPaintDevice* Device, QPainter* Painter, const QColor& Color) {
    const QFontMetrics m = Metrics(Font, Device);
    const TLayout layout{m, Flags};
    const QStringList lines = layout.Lines(Text, r.Right - r.Left);
    const int h = m.height();
    if (Flags & DT_CALCRECT) {
        int w = 0;
        for (const QString& line : lines)
            w = std::max(w, layout.Width(line));
        r.Right = r.Left + w;
        r.Bottom = r.Top + h * static_cast<int>(lines.size());
        return r.Bottom - r.Top;
    }
    if (!Painter) return 0;
    int qt = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    qt |= (Flags & DT_CENTER)  ? Qt::AlignHCenter
          : (Flags & DT_RIGHT) ? Qt::AlignRight
                               : Qt::AlignLeft;
    if (Flags & DT_EXPANDTABS) qt |= Qt::TextExpandTabs;
    if (!(Flags & DT_NOPREFIX)) qt |= Qt::TextShowMnemonic;
    const QRect box(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
    Painter->save();
    Painter->setClipRect(box, Qt::IntersectClip);
    Painter->setFont(Font);
    Painter->setPen(Color);
    if (Flags & DT_RTLREADING) Painter->setLayoutDirection(Qt::RightToLeft);
    int top = r.Top;
    for (const QString& line : lines) {
        if (top >= r.Bottom) break;
        Painter->drawText(QRect(box.left(), top, box.width(), h), qt, line);
        top += h;
    }
    Painter->restore();
    return top - r.Top;
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
