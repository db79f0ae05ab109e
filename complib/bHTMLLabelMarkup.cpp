// The label's mark-up: the text prepared for drawing (parameters filled in,
// line breaks), the tags and what they do to the font and the links, and the
// drawing of the marked-up text visual line by visual line. The widget around
// it (properties, sizing, mouse and links) is bHTMLLabel.cpp.
#include "complib/bHTMLLabel.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "complib/bstring.h"
#include "platform/TextDraw.h"

namespace {

constexpr std::array<const char*, 16> Tags{
    "<B>",     "</B>",     "<I>", "</I>", "<U>",     "</U>",     "<BIG>", "</BIG>",
    "<SMALL>", "</SMALL>", "<A",  "</A>", "<COLOR=", "</COLOR>", "<TAB>", "<INDENT>"};

constexpr QChar CR = u'\r';

// Tags are ASCII: only ASCII letters are compared without case, so whether a
// tag is seen depends neither on the locale nor on exotic case mappings, and
// FindFirstTag and ApplyTag always agree on where a tag is.
bool TagAt(QStringView T, qsizetype at, const char* tag) {
    const qsizetype n = static_cast<qsizetype>(std::strlen(tag));
    if (at < 0 || at + n > T.size()) return false;
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = T[at + i].unicode();
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        if (c != static_cast<char16_t>(tag[i])) return false;
    }
    return true;
}

int TagNumberAt(QStringView T, qsizetype at) {
    for (std::size_t k = 0; k < Tags.size(); ++k)
        if (TagAt(T, at, Tags[k])) return static_cast<int>(k) + 1;
    return 0;
}

int TagLength(int tag) {
    return static_cast<int>(std::strlen(Tags[static_cast<std::size_t>(tag - 1)]));
}

// The first tag at or after From, -1 for none.
qsizetype NextTag(QStringView T, qsizetype From) {
    for (qsizetype p = T.indexOf(u'<', From); p >= 0; p = T.indexOf(u'<', p + 1))
        if (TagNumberAt(T, p)) return p;
    return -1;
}

qsizetype NextClose(QStringView T, qsizetype From) {
    return T.indexOf(u'>', From);
}

qsizetype NextLinkEnd(QStringView T, qsizetype From) {
    return T.indexOf(u"</A>", From, Qt::CaseInsensitive);
}

// Where the next match starts at or after a position, remembered: a line is
// asked again and again at growing positions, once for every visual line and
// tag, and a long line with few matches would otherwise be read to its end
// every time.
class TNextMatch {
public:
    using TScan = qsizetype (*)(QStringView, qsizetype);
    explicit TNextMatch(TScan Scan) : FScan(Scan) {}
    qsizetype Find(QStringView T, qsizetype From) {
        if (FFrom < 0 || From < FFrom || (FAt >= 0 && From > FAt)) {
            FFrom = From;
            FAt = FScan(T, From);
        }
        return FAt;
    }
    void Forget() { FFrom = -1; }

private:
    TScan FScan;
    qsizetype FFrom = -1;
    qsizetype FAt = -1; // the match from FFrom on; -1: none to the end
};

// Pen positions and heights are held below the largest widget Qt allows:
// nothing beyond can be seen, and a very long text cannot overflow them.
constexpr int kFar = QWIDGETSIZE_MAX;

int Far(qint64 v) {
    return static_cast<int>(std::clamp<qint64>(v, -kFar, kFar));
}

// The widths of short texts in one font, for the time of one drawing: a
// long text repeats the same few (a letter, a word, a prefix that fits),
// and shaping them again cost most of its drawing.
class TWidthCache {
public:
    int Width(const QString& Text, const QFont& Font, const QPaintDevice* Device) {
        if (Text.size() > kLongest) return TextWidth(Text, Font, Device);
        if (!(Font == FFont)) {
            FFont = Font;
            FWidths.clear();
        }
        const auto known = FWidths.constFind(Text);
        if (known != FWidths.cend()) return *known;
        const int w = TextWidth(Text, Font, Device);
        FWidths.insert(Text, w);
        return w;
    }

private:
    static constexpr qsizetype kLongest = 32;
    QFont FFont;
    QHash<QString, int> FWidths;
};

bool IsBreakChar(QChar c) {
    return QStringView(u" ._-/\\@#$&|").contains(c);
}

TRect Shrunk(TRect r, int by) {
    return {r.Left + by, r.Top + by, r.Right - by, r.Bottom - by};
}

void Offset(TRect& r, int by) {
    r.Left += by;
    r.Top += by;
    r.Right += by;
    r.Bottom += by;
}

// "#RRGGBB": up to six hexadecimal digits; anything else in them gives black.
QColor HexColor(const QString& digits) {
    unsigned v = 0;
    for (QChar c : digits) {
        const int d = QStringView(u"0123456789abcdef").indexOf(c.toLower());
        if (d < 0 || c.unicode() > 0x7F) return QColor(Qt::black);
        v = v * 16 + static_cast<unsigned>(d);
    }
    if (digits.isEmpty()) return QColor(Qt::black);
    return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void SetSizeOf(QFont& font, const QFont& from) {
    if (from.pointSize() > 0)
        font.setPointSize(from.pointSize());
    else if (from.pixelSize() > 0)
        font.setPixelSize(from.pixelSize());
}

// The first i in 1..n for which Over(i) holds (0: none), where Over holds
// from some i on and never before: for the widths of a text's prefixes, which
// grow with i. Steps that double from Guess, then halving, find it without
// trying every prefix of a long text; the guess is what fitted on the line
// before, so a long word wraps into lines of about the same length, each
// found in two measurements.
template <class TOver> qsizetype FirstOver(qsizetype n, qsizetype Guess, TOver Over) {
    qsizetype fits = std::clamp<qsizetype>(Guess, 1, n); // 0: nothing known to fit
    qsizetype i = 0;
    if (Over(fits)) {
        i = fits;
        fits = 0;
        for (qsizetype step = 1; i - step >= 1; step *= 2) {
            if (!Over(i - step)) {
                fits = i - step;
                break;
            }
            i -= step;
        }
    } else {
        for (qsizetype step = 1; fits < n; step *= 2) {
            const qsizetype next = std::min(n, fits + step);
            if (Over(next)) {
                i = next;
                break;
            }
            fits = next;
        }
    }
    while (i > 0 && i - fits > 1) {
        const qsizetype mid = (fits + i) / 2;
        (Over(mid) ? i : fits) = mid;
    }
    return i;
}

} // namespace

// The values one drawing call works with.
struct TbHTMLLabel::TDrawCall {
    unsigned Flags = 0;
    unsigned PieceFlags = 0;
    int X0 = 0;
    int Indent = 0;
    int X = 0;
    bool Measured = false; // a piece of the visual line has been measured
    qsizetype Fitted = 1;  // how many characters of the last piece cut fitted
    TWidthCache Widths;
};

// One line of the text, drawn visual line by visual line. The text is never
// cut or copied whole: a visual line starts at Pos, after Head (the link
// opened on the line before and still open, "<A ...>"), so a long line costs
// no more than its length.
struct TbHTMLLabel::TLineCursor {
    explicit TLineCursor(const QString& Text) : Line(Text) {}
    void AppendBlank() {
        Line += u' ';
        Tags.Forget();
        Closes.Forget();
        LinkEnds.Forget();
    }
    // The visual line LineHead + the line from Pos on gets a blank at its end
    // when it is one tag, or a single link. (A head is a whole "<A ...>" and
    // has no "</A>" but at its very end.)
    void BlankAfterLoneTag(const QString& LineHead) {
        if (LineHead.isEmpty()) {
            const int first = TagNumberAt(Line, Pos);
            if (first && Line.size() - Pos == TagLength(first)) AppendBlank();
        }
        if (LineHead.isEmpty() && !TagAt(Line, Pos, "<A")) return;
        const qsizetype size = LineHead.size() + Line.size() - Pos;
        qsizetype end = LineHead.indexOf(QStringLiteral("</A>"), 0, Qt::CaseInsensitive);
        if (end < 0) {
            end = LinkEnds.Find(Line, Pos);
            if (end >= 0) end += LineHead.size() - Pos;
        }
        if (end == size - 4) AppendBlank();
    }
    QString Line;
    qsizetype Pos = 0;
    QString Head;
    QString Shown; // what the last visual line shows, its head included
    TNextMatch Tags{NextTag};
    TNextMatch Closes{NextClose};
    TNextMatch LinkEnds{NextLinkEnd};
};

QString TbHTMLLabel::PrepareCaptionText() {
    QString S = StrTrimRight(FCaptionStrings->Text());
    if (S.isEmpty()) S = Caption();
    S = FillParameters(S);

    const QString noWordWrap = QStringLiteral("<NOWORDWRAP>");
    if (StrSearch(noWordWrap, S, 1, false)) {
        S = StrDeleteAll(noWordWrap, S, false);
        if (WordWrap()) {
            QLabel::setWordWrap(false);
            AdjustBounds();
            S += QStringLiteral("<B>");
        }
    }

    S.remove(u'\n');
    const QString br = QStringLiteral("<BR>");
    if (FCaptionSkipEnter) {
        S = StrReplace(br + CR, br, S, true, false);
        S.replace(CR, u' ');
    }
    S = StrReplace(br, QString(CR), S, true, false);
    if (S.startsWith(CR)) S.prepend(u' ');
    const QString twoLines = QStringLiteral("\r\r");
    while (S.contains(twoLines))
        S.replace(twoLines, QStringLiteral("\r \r"));
    return S;
}

// Parameters, in one pass over the text. The search goes on after each
// parameter, so a value can never form a new parameter, not even together
// with the text around it.
QString TbHTMLLabel::FillParameters(const QString& S) {
    const QString open = QStringLiteral("<VAR>");
    const QString close = QStringLiteral("</VAR>");
    const TStrFinder finder(S, false);
    QString filled;
    int copied = 1; // the first character of S not taken over yet
    while (const int p1 = finder.Find(open, copied)) {
        const int p2 = finder.Find(close, p1 + static_cast<int>(open.size()));
        if (p2 == 0) break;
        const QString name = S.mid(p1 - 1 + open.size(), p2 - p1 - open.size());
        QString value;
        if (FDesigning) {
            value = u'[' + name + u']';
        } else if (OnGetParameter) {
            value = name;
            OnGetParameter(this, value);
        }
        filled += QStringView(S).mid(copied - 1, p1 - copied);
        filled += StrDeleteAll(close, StrDeleteAll(open, value, false), false);
        copied = p2 + static_cast<int>(close.size());
    }
    if (copied == 1) return S;
    filled += QStringView(S).mid(copied - 1);
    return filled;
}

void TbHTMLLabel::ClearAnchors() {
    // A "<A" without ">" is never closed: its saved font must not reach the
    // next drawing, whose first "</A>" would put it back.
    FAnchorFontSave.reset();
    FAnchorList.clear();
    FCurrentAnchor.reset();
    FInAnchor = false;
    FOpenAnchorTag.clear();
}

int TbHTMLLabel::FindFirstTag(const QString& T) const {
    return static_cast<int>(NextTag(T, 0) + 1);
}

int TbHTMLLabel::ApplyTag(QString& T, bool MeasureOnly) {
    const int tag = TagNumberAt(T, 0);
    if (tag == tagNone) return tagNone;
    const qsizetype close = tag == tagA || tag == tagColor ? T.indexOf(u'>') : -1;
    T.remove(0, ApplyTagAt(tag, T, close, MeasureOnly));
    return tag;
}

qsizetype TbHTMLLabel::ApplyTagAt(int tag, QStringView T, qsizetype Close, bool MeasureOnly) {
    qsizetype length = TagLength(tag);
    QString argument;
    if (tag == tagA || tag == tagColor) {
        if (tag == tagA) FOpenAnchorTag = Close < 0 ? QString() : T.left(Close + 1).toString();
        if (Close >= 0) {
            argument = T.mid(length, Close - length).toString();
            length = Close + 1;
        }
    }
    switch (tag) {
    case tagA:
        OpenAnchor(argument, MeasureOnly);
        break;
    case tagAEnd:
        CloseAnchor(MeasureOnly);
        break;
    case tagColor:
        ApplyColor(argument);
        break;
    case tagColorEnd:
        FCanvas.Color = FontColor();
        break;
    default:
        ApplyFontTag(tag);
        break;
    }
    return length;
}

void TbHTMLLabel::ApplyFontTag(int Tag) {
    QFont& f = FCanvas.Font;
    switch (Tag) {
    case tagB:
    case tagBEnd:
        f.setBold(Tag == tagB);
        break;
    case tagI:
    case tagIEnd:
        f.setItalic(Tag == tagI);
        break;
    case tagU:
    case tagUEnd:
        f.setUnderline(Tag == tagU);
        break;
    case tagBig:
    case tagSmall:
        AddFontPoints(f, Tag == tagBig ? 2 : -2, this);
        break;
    case tagBigEnd:
    case tagSmallEnd:
        SetSizeOf(f, font());
        break;
    default:
        break; // <TAB> and <INDENT> move the pen while drawing
    }
}

void TbHTMLLabel::OpenAnchor(const QString& Argument, bool MeasureOnly) {
    FAnchorFontSave = FCanvas;
    FCanvas.Font.setUnderline(true);
    if (FColorsOn) {
        const bool hovered = static_cast<int>(FAnchorList.size()) == FHoverIndex;
        FCanvas.Color = Resolve(hovered ? clHotLight : clHighlight);
        if (FAnchorColor != clNone) FCanvas.Color = Resolve(FAnchorColor);
    }
    if (MeasureOnly) return;
    FInAnchor = true;
    FCurrentAnchor = std::make_unique<TAnchorInfo>();
    const qsizetype eq = Argument.indexOf(u'=');
    if (eq < 0) {
        FCurrentAnchor->LinkName = StrTrim(Argument);
    } else {
        FCurrentAnchor->AttrName = StrTrim(Argument.left(eq)).toUpper();
        FCurrentAnchor->LinkName = StrTrim(Argument.mid(eq + 1));
    }
}

void TbHTMLLabel::CloseAnchor(bool MeasureOnly) {
    FOpenAnchorTag.clear();
    if (FAnchorFontSave) {
        FCanvas = *FAnchorFontSave;
        FAnchorFontSave.reset();
    }
    if (FInAnchor && !MeasureOnly) {
        FInAnchor = false;
        if (FCurrentAnchor) FAnchorList.push_back(std::move(FCurrentAnchor));
    }
}

void TbHTMLLabel::ApplyColor(const QString& Argument) {
    if (!FColorsOn) return;
    if (Argument.startsWith(u'#')) {
        FCanvas.Color = HexColor(Argument.mid(1, 6));
        return;
    }
    TColor c = clBlack;
    if (IdentToColor(QStringLiteral("cl") + Argument, c)) FCanvas.Color = Resolve(c);
}

void TbHTMLLabel::DrawCaptionText(TRect& Rect, unsigned Flags, QPainter* Painter) {
    const QString Text = PrepareCaptionText();
    if (Text.isEmpty()) return;
    FColorsOn = true;
    const bool paints = !(Flags & DT_CALCRECT);
    if (paints && !Painter) return;
    QPainter* const outerPainter = FPainter;
    FPainter = paints ? Painter : nullptr;
    struct Restore {
        QPainter*& p;
        QPainter* v;
        ~Restore() { p = v; }
    } restore{FPainter, outerPainter};

    if (FShowBeveled && paints) DrawBevel(*Painter);
    if (!FShowText3D && FindFirstTag(Text) == 0)
        DrawPlain(Text, Rect, Flags, Painter);
    else
        DrawMarkup(Text, Rect, Flags);
}

// A sunken edge around the whole label.
void TbHTMLLabel::DrawBevel(QPainter& Painter) {
    const int w = width();
    const int h = height();
    Painter.save();
    Painter.setPen(Resolve(clBtnShadow));
    Painter.drawPolyline(QPolygon({QPoint(0, h - 1), QPoint(0, 0), QPoint(w - 1, 0)}));
    Painter.setPen(Resolve(clBtnHighlight));
    Painter.drawPolyline(QPolygon({QPoint(w - 1, 0), QPoint(w - 1, h - 1), QPoint(1, h - 1)}));
    Painter.restore();
}

void TbHTMLLabel::DrawPlain(const QString& Text, TRect& Rect, unsigned Flags, QPainter* Painter) {
    TRect inner = Shrunk(Rect, FInnerSpace);
    QString t = Text;
    if ((Flags & DT_CALCRECT) && (t.isEmpty() || t == u"&")) t += u' ';
    if (layoutDirection() == Qt::RightToLeft) Flags |= DT_RTLREADING;
    if (!isEnabled() && !(Flags & DT_CALCRECT)) {
        TRect etched = inner;
        Offset(etched, 1);
        DrawText(t, etched, Flags, font(), this, Painter, Resolve(clBtnHighlight));
        DrawText(t, inner, Flags, font(), this, Painter, Resolve(clBtnShadow));
    } else {
        DrawText(t, inner, Flags, font(), this, Painter, FontColor());
    }
    Rect = Shrunk(inner, -FInnerSpace);
    // A text cut off by the label's edge shows whole in the tip.
    if (FAutoHint && !FDesigning)
        setToolTip(TextWidth(Text, font(), this) >= width() ? Text : QString());
}

void TbHTMLLabel::DrawMarkup(const QString& Text, TRect& Rect, unsigned Flags) {
    const bool paints = !(Flags & DT_CALCRECT);
    TDrawCall c;
    c.Flags = Flags & ~(DT_CENTER | DT_RIGHT | DT_WORDBREAK | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS |
                        DT_WORD_ELLIPSIS);
    c.Flags |= DT_NOPREFIX | DT_EXPANDTABS;
    if (layoutDirection() == Qt::RightToLeft) c.Flags |= DT_RTLREADING;
    const TRect area = Shrunk(Rect, FInnerSpace);
    FCanvas = {font(), FontColor()};
    int widest = 0; // of the visual lines
    int height = 0; // of the visual lines so far
    ClearAnchors();
    const Qt::Alignment alignment = Alignment();
    const QStringList lines =
        StrTrim(Text).isEmpty() ? QStringList() : Text.split(CR, Qt::KeepEmptyParts);
    for (const QString& line : lines) {
        if (line.isEmpty()) break; // the first empty line ends the text
        TLineCursor cursor(line);
        c.X0 = 0;
        c.Indent = 0;
        while (cursor.Pos < cursor.Line.size()) {
            const int top = area.Top + height;
            const int lineHeight = MeasureVisualLine(c, cursor, area, paints);
            widest = std::max(widest, c.X);
            height = Far(qint64(height) + lineHeight);
            if (paints) PaintVisualLine(c, cursor.Shown, area, top, alignment);
            if (alignment == Qt::AlignLeft) c.X0 = c.Indent;
        }
    }
    const TRect outer = Rect;
    Rect.Right = WordWrap() ? outer.Right : outer.Left + widest + 2 * FInnerSpace + 2;
    Rect.Bottom = outer.Top + height + 2 * FInnerSpace + 2;
}

int TbHTMLLabel::MeasureVisualLine(TDrawCall& c, TLineCursor& Cursor, const TRect& Area,
                                   bool Paints) {
    TRect extent = Area;
    extent.Left = c.X0;
    c.X = c.X0;
    c.Measured = false;
    const TCanvasFont before = FCanvas;
    DrawLine(c, Cursor, extent, true, WordWrap());
    // The painting applies the same tags again.
    if (Paints) FCanvas = before;
    // A visual line of tags only has nothing to measure; it takes the
    // height of a blank line rather than that of the whole label.
    return c.Measured ? extent.Bottom - extent.Top : TextHeight(FCanvas.Font, this);
}

void TbHTMLLabel::PaintVisualLine(TDrawCall& c, const QString& Shown, const TRect& Area, int Top,
                                  Qt::Alignment Alignment) {
    int left = Area.Left + 1 + c.X0;
    if (Alignment == Qt::AlignRight)
        left = Area.Right - c.X - 1;
    else if (Alignment == Qt::AlignHCenter)
        left = std::max(Area.Left + (Area.Right - Area.Left - c.X) / 2, left);
    if (!isEnabled() || FShowText3D) {
        FColorsOn = false;
        const TCanvasFont keep = FCanvas;
        TRect shadowAt{left, Top, Area.Right, Area.Bottom};
        Offset(shadowAt, FShadowSize);
        FCanvas.Color = Resolve(isEnabled() ? FShadowColor : clBtnHighlight);
        TLineCursor shadow(Shown);
        DrawLine(c, shadow, shadowAt, false, false);
        FCanvas = keep;
        if (!isEnabled()) FCanvas.Color = Resolve(clBtnShadow);
    }
    FColorsOn = isEnabled();
    TRect textAt{left, Top, Area.Right, Area.Bottom};
    TLineCursor text(Shown);
    DrawLine(c, text, textAt, false, false);
}

void TbHTMLLabel::DrawLine(TDrawCall& c, TLineCursor& Cursor, TRect& R, bool Measuring, bool Wrap) {
    c.PieceFlags = c.Flags | (Measuring ? DT_CALCRECT : 0u);
    const QString head = std::exchange(Cursor.Head, QString());
    const qsizetype start = Cursor.Pos;
    // The visual line's text is head + the line from start on.
    Cursor.BlankAfterLoneTag(head);

    if (!head.isEmpty()) ApplyTagAt(tagA, head, head.size() - 1, Measuring);
    const QString& line = Cursor.Line;
    qsizetype q = start; // the first character not drawn yet
    qsizetype restAt = -1;
    while (true) {
        const qsizetype tagAt = Cursor.Tags.Find(line, q);
        const qsizetype pieceEnd = tagAt < 0 ? line.size() : tagAt;
        if (tagAt < 0 || tagAt > q) {
            const qsizetype cut = DrawPiece(c, R, QStringView(line).sliced(q, pieceEnd - q), Wrap);
            if (cut >= 0) {
                restAt = q + cut;
                break;
            }
        }
        if (tagAt < 0) break;
        const int tag = TagNumberAt(line, tagAt);
        const qsizetype close =
            tag == tagA || tag == tagColor ? Cursor.Closes.Find(line, tagAt) : -1;
        q = tagAt + ApplyTagAt(tag, QStringView(line).sliced(tagAt), close < 0 ? -1 : close - tagAt,
                               Measuring);
        if (tag == tagTab) {
            R.Left = Far(qint64(FTabGridWidth) * (R.Left / FTabGridWidth + 1));
            c.X = R.Left;
        } else if (tag == tagIndent && Measuring) {
            c.Indent = R.Left - 1;
        }
    }
    const qsizetype shownEnd = restAt < 0 ? line.size() : restAt;
    Cursor.Shown = head;
    Cursor.Shown += QStringView(line).sliced(start, shownEnd - start);
    Cursor.Pos = shownEnd;
    if (!FOpenAnchorTag.isEmpty()) {
        if (restAt >= 0) Cursor.Head = FOpenAnchorTag;
        CloseAnchor(Measuring);
    }
}

qsizetype TbHTMLLabel::DrawPiece(TDrawCall& c, TRect& R, QStringView Piece, bool Wrap) {
    const bool measuring = c.PieceFlags & DT_CALCRECT;
    qsizetype cut = -1; // where the rest of the piece begins; -1: nothing left over
    QString S;
    if (Wrap && !Piece.isEmpty())
        cut = WrapPiece(c, R, Piece, S);
    else
        S = Piece.toString();
    if (FInAnchor && FCurrentAnchor) FCurrentAnchor->Bounds = R;
    const int w = c.Widths.Width(S, FCanvas.Font, this);
    if (!S.isEmpty()) {
        // Painting is clipped to R: a piece right of the line's end or below
        // the label's bottom (most of a long text) shows nothing.
        if (measuring || (R.Left < R.Right && R.Top < R.Bottom))
            DrawText(S, R, c.PieceFlags, FCanvas.Font, this, FPainter, FCanvas.Color);
        if (measuring) c.Measured = true;
    } else if (measuring) {
        R.Right = R.Left; // nothing measured: no width
    }
    if (FInAnchor && FCurrentAnchor) {
        TRect& b = FCurrentAnchor->Bounds;
        b.Right = Far(qint64(b.Left) + w);
        b.Bottom = b.Top + TextHeight(FCanvas.Font, this);
    }
    // Only a measurement tells the line's width; a painted piece leaves R.Right.
    if (measuring) c.X = Far(qint64(c.X) + R.Right - R.Left);
    R.Left = Far(qint64(R.Left) + w);
    return cut;
}

qsizetype TbHTMLLabel::WrapPiece(TDrawCall& c, const TRect& R, QStringView Piece, QString& Shown) {
    const int avail = width() - R.Left - 2 - 2 * FInnerSpace;
    const qsizetype n = Piece.size();
    const qsizetype over = FirstOver(n, c.Fitted, [&](qsizetype i) {
        return c.Widths.Width(Piece.left(i).toString(), FCanvas.Font, this) > avail;
    });
    if (over > 0) c.Fitted = over - 1;
    const bool atLineStart = R.Left <= c.X0 + FInnerSpace + 1;
    if (over == 0 || (over == 1 && atLineStart)) {
        Shown = Piece.toString();
        return -1;
    }
    qsizetype breakAt = -1; // after the last blank or punctuation that fits
    for (qsizetype k = over; k >= 1 && breakAt < 0; --k)
        if (IsBreakChar(Piece[k - 1])) breakAt = k;
    if (breakAt < 0) {
        breakAt = atLineStart ? over - 1 : 0;
        // Never between the two halves of a surrogate pair.
        if (breakAt > 1 && Piece[breakAt - 1].isHighSurrogate()) --breakAt;
    }
    Shown = StrTrim(Piece.left(breakAt).toString());
    return breakAt < n ? breakAt : -1;
}
