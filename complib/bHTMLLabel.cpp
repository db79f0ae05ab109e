#include "complib/bHTMLLabel.h"

#include <QDesktopServices>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "complib/bdlg.h"
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

QRect ToQRect(const TRect& r) {
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
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
    QString Line;
    qsizetype Pos = 0;
    QString Head;
    QString Shown; // what the last visual line shows, its head included
    TNextMatch Tags{NextTag};
    TNextMatch Closes{NextClose};
    TNextMatch LinkEnds{NextLinkEnd};
};

void TbHTMLLabelStrings::Assign(const QStringList& Lines) {
    FLines = Lines;
    Changed();
}

void TbHTMLLabelStrings::Add(const QString& Line) {
    FLines.append(Line);
    Changed();
}

void TbHTMLLabelStrings::Clear() {
    FLines.clear();
    Changed();
}

QString TbHTMLLabelStrings::Text() const {
    QString s;
    for (const QString& line : FLines)
        s += line + QStringLiteral("\r\n");
    return s;
}

void TbHTMLLabelStrings::Changed() {
    FOwner.Changed();
}

TbHTMLLabel::TbHTMLLabel(QWidget* parent)
    : QLabel(parent), FCaptionStrings(std::make_unique<TbHTMLLabelStrings>(*this)) {
    setMouseTracking(true);
}

TbHTMLLabel::~TbHTMLLabel() = default;

void TbHTMLLabel::SetCaption(const QString& S) {
    QLabel::setText(S);
    Changed();
}

void TbHTMLLabel::SetWordWrap(bool V) {
    QLabel::setWordWrap(V);
    Changed();
}

Qt::Alignment TbHTMLLabel::Alignment() const {
    const Qt::Alignment a = alignment();
    if (a & Qt::AlignRight) return Qt::AlignRight;
    if (a & Qt::AlignHCenter) return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

void TbHTMLLabel::SetAlignment(Qt::Alignment A) {
    QLabel::setAlignment((A & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
    update();
}

void TbHTMLLabel::SetAutoSize(bool V) {
    FAutoSize = V;
    Changed();
}

void TbHTMLLabel::Loaded() {
    FAutoHint = toolTip().isEmpty();
    AdjustBounds();
}

void TbHTMLLabel::SetCaptionStrings(const QStringList& Lines) {
    FCaptionStrings->Assign(Lines);
    SetCaption(QString());
}

void TbHTMLLabel::SetCaptionSkipEnter(bool V) {
    FCaptionSkipEnter = V;
    update();
}

void TbHTMLLabel::SetAnchorColor(TColor V) {
    FAnchorColor = V;
    update();
}

void TbHTMLLabel::SetShowText3D(bool V) {
    FShowText3D = V;
    update();
}

void TbHTMLLabel::SetShadowColor(TColor V) {
    FShadowColor = V;
    update();
}

void TbHTMLLabel::SetShadowSize(int V) {
    // Far beyond any real shadow, and no coordinate can overflow.
    FShadowSize = std::clamp(V, -10000, 10000);
    update();
}

void TbHTMLLabel::SetShowBeveled(bool V) {
    FShowBeveled = V;
    update();
}

void TbHTMLLabel::SetInnerSpace(int V) {
    FInnerSpace = std::clamp(V, 0, 255);
    Changed();
}

void TbHTMLLabel::SetTabGridWidth(int V) {
    FTabGridWidth = std::clamp(V, 1, 255);
    Changed();
}

QColor TbHTMLLabel::FontColor() const {
    return palette().color(QPalette::Active, QPalette::WindowText);
}

QColor TbHTMLLabel::Resolve(TColor c) const {
    return ColorToQColor(c, FontColor());
}

void TbHTMLLabel::Changed() {
    AdjustBounds();
    update();
}

QString TbHTMLLabel::PrepareCaptionText() {
    QString S = StrTrimRight(FCaptionStrings->Text());
    if (S.isEmpty()) S = Caption();

    // Parameters, in one pass over the text. The search goes on after each
    // parameter, so a value can never form a new parameter, not even together
    // with the text around it.
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
    if (copied > 1) {
        filled += QStringView(S).mid(copied - 1);
        S = filled;
    }

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
    QFont& f = FCanvas.Font;
    switch (tag) {
    case tagB:
        f.setBold(true);
        break;
    case tagBEnd:
        f.setBold(false);
        break;
    case tagI:
        f.setItalic(true);
        break;
    case tagIEnd:
        f.setItalic(false);
        break;
    case tagU:
        f.setUnderline(true);
        break;
    case tagUEnd:
        f.setUnderline(false);
        break;
    case tagBig:
        AddFontPoints(f, 2, this);
        break;
    case tagSmall:
        AddFontPoints(f, -2, this);
        break;
    case tagBigEnd:
    case tagSmallEnd:
        SetSizeOf(f, font());
        break;
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
        break; // <TAB> and <INDENT> move the pen while drawing
    }
    return length;
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

    if (FShowBeveled && paints) {
        const int w = width();
        const int h = height();
        Painter->save();
        Painter->setPen(Resolve(clBtnShadow));
        Painter->drawPolyline(QPolygon({QPoint(0, h - 1), QPoint(0, 0), QPoint(w - 1, 0)}));
        Painter->setPen(Resolve(clBtnHighlight));
        Painter->drawPolyline(QPolygon({QPoint(w - 1, 0), QPoint(w - 1, h - 1), QPoint(1, h - 1)}));
        Painter->restore();
    }

    if (!FShowText3D && FindFirstTag(Text) == 0) {
        TRect r = Shrunk(Rect, FInnerSpace);
        DrawPlain(Text, r, Flags, Painter);
        Rect = Shrunk(r, -FInnerSpace);
        if (FAutoHint && !FDesigning)
            setToolTip(TextWidth(Text, font(), this) >= width() ? Text : QString());
        return;
    }

    TDrawCall c;
    c.Flags = Flags & ~(DT_CENTER | DT_RIGHT | DT_WORDBREAK | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS |
                        DT_WORD_ELLIPSIS);
    c.Flags |= DT_NOPREFIX | DT_EXPANDTABS;
    if (layoutDirection() == Qt::RightToLeft) c.Flags |= DT_RTLREADING;
    const TRect outer = Rect;
    Rect = Shrunk(Rect, FInnerSpace);
    FCanvas = {font(), FontColor()};
    TRect D = Rect;
    int MaxW = 0;
    int TotalH = 0;
    ClearAnchors();
    const Qt::Alignment alignment = Alignment();
    const QStringList lines =
        StrTrim(Text).isEmpty() ? QStringList() : Text.split(CR, Qt::KeepEmptyParts);
    for (const QString& line : lines) {
        if (line.isEmpty()) break; // the first empty line ends the text
        TLineCursor L(line);
        c.X0 = 0;
        c.Indent = 0;
        while (L.Pos < L.Line.size()) {
            TRect M = Rect;
            M.Left = c.X0;
            c.X = c.X0;
            c.Measured = false;
            const TCanvasFont before = FCanvas;
            DrawLine(c, L, M, true, WordWrap());
            if (paints) FCanvas = before;
            MaxW = std::max(MaxW, c.X);
            // A visual line of tags only has nothing to measure; it takes the
            // height of a blank line rather than that of the whole label.
            TotalH = Far(qint64(TotalH) +
                         (c.Measured ? M.Bottom - M.Top : TextHeight(FCanvas.Font, this)));
            if (paints) {
                int XL = Rect.Left + 1 + c.X0;
                if (alignment == Qt::AlignRight)
                    XL = Rect.Right - c.X - 1;
                else if (alignment == Qt::AlignHCenter)
                    XL = std::max(Rect.Left + (Rect.Right - Rect.Left - c.X) / 2, XL);
                D.Left = XL;
                if (!isEnabled() || FShowText3D) {
                    FColorsOn = false;
                    const TCanvasFont keep = FCanvas;
                    Offset(D, FShadowSize);
                    FCanvas.Color = Resolve(isEnabled() ? FShadowColor : clBtnHighlight);
                    TLineCursor shadow(L.Shown);
                    DrawLine(c, shadow, D, false, false);
                    FCanvas = keep;
                    Offset(D, -FShadowSize);
                    D.Left = XL;
                    if (!isEnabled()) FCanvas.Color = Resolve(clBtnShadow);
                }
                FColorsOn = isEnabled();
                TLineCursor shown(L.Shown);
                DrawLine(c, shown, D, false, false);
                D.Top = Rect.Top + TotalH;
            }
            if (alignment == Qt::AlignLeft) c.X0 = c.Indent;
        }
    }
    Rect.Left = outer.Left;
    Rect.Top = outer.Top;
    Rect.Right = WordWrap() ? outer.Right : outer.Left + MaxW + 2 * FInnerSpace + 2;
    Rect.Bottom = outer.Top + TotalH + 2 * FInnerSpace + 2;
}

void TbHTMLLabel::DrawPlain(const QString& Text, TRect& Rect, unsigned Flags, QPainter* Painter) {
    QString t = Text;
    if ((Flags & DT_CALCRECT) && (t.isEmpty() || t == u"&")) t += u' ';
    if (layoutDirection() == Qt::RightToLeft) Flags |= DT_RTLREADING;
    if (!isEnabled() && !(Flags & DT_CALCRECT)) {
        TRect etched = Rect;
        Offset(etched, 1);
        DrawText(t, etched, Flags, font(), this, Painter, Resolve(clBtnHighlight));
        DrawText(t, Rect, Flags, font(), this, Painter, Resolve(clBtnShadow));
    } else {
        DrawText(t, Rect, Flags, font(), this, Painter, FontColor());
    }
}

void TbHTMLLabel::DrawLine(TDrawCall& c, TLineCursor& L, TRect& R, bool Measuring, bool Wrap) {
    c.PieceFlags = c.Flags | (Measuring ? DT_CALCRECT : 0u);
    const QString head = std::exchange(L.Head, QString());
    const qsizetype start = L.Pos;
    // The visual line's text is head + the line from start on. A line of one
    // tag, or one that is a single link, gets a blank at its end. (A head is
    // a whole "<A ...>" and has no "</A>" but at its very end.)
    if (head.isEmpty()) {
        const int first = TagNumberAt(L.Line, start);
        if (first && L.Line.size() - start == TagLength(first)) L.AppendBlank();
    }
    if (!head.isEmpty() || TagAt(L.Line, start, "<A")) {
        const qsizetype size = head.size() + L.Line.size() - start;
        qsizetype end = head.indexOf(QStringLiteral("</A>"), 0, Qt::CaseInsensitive);
        if (end < 0) {
            end = L.LinkEnds.Find(L.Line, start);
            if (end >= 0) end += head.size() - start;
        }
        if (end == size - 4) L.AppendBlank();
    }

    if (!head.isEmpty()) ApplyTagAt(tagA, head, head.size() - 1, Measuring);
    qsizetype q = start; // the first character not drawn yet
    qsizetype restAt = -1;
    while (true) {
        const qsizetype P = L.Tags.Find(L.Line, q);
        const qsizetype pieceEnd = P < 0 ? L.Line.size() : P;
        if (P < 0 || P > q) {
            const qsizetype cut =
                DrawPiece(c, R, QStringView(L.Line).sliced(q, pieceEnd - q), Wrap);
            if (cut >= 0) {
                restAt = q + cut;
                break;
            }
        }
        if (P < 0) break;
        const int K = TagNumberAt(L.Line, P);
        const qsizetype close = K == tagA || K == tagColor ? L.Closes.Find(L.Line, P) : -1;
        q = P + ApplyTagAt(K, QStringView(L.Line).sliced(P), close < 0 ? -1 : close - P, Measuring);
        if (K == tagTab) {
            R.Left = Far(qint64(FTabGridWidth) * (R.Left / FTabGridWidth + 1));
            c.X = R.Left;
        } else if (K == tagIndent && Measuring) {
            c.Indent = R.Left - 1;
        }
    }
    const qsizetype shownEnd = restAt < 0 ? L.Line.size() : restAt;
    L.Shown = head;
    L.Shown += QStringView(L.Line).sliced(start, shownEnd - start);
    L.Pos = shownEnd;
    if (!FOpenAnchorTag.isEmpty()) {
        if (restAt >= 0) L.Head = FOpenAnchorTag;
        CloseAnchor(Measuring);
    }
}

qsizetype TbHTMLLabel::DrawPiece(TDrawCall& c, TRect& R, QStringView Piece, bool Wrap) {
    const bool measuring = c.PieceFlags & DT_CALCRECT;
    const int avail = width() - R.Left - 2 - 2 * FInnerSpace;
    qsizetype cut = -1; // where the rest of the piece begins; -1: nothing left over
    QString S;
    if (Wrap && !Piece.isEmpty()) {
        // The first i with the first i characters wider than avail (0: all
        // fit). Widths grow with i, so steps that double from a guess, then
        // halving, find it without measuring every prefix of a long text.
        // The guess is what fitted on the line before: a long word wraps
        // into lines of about the same length, found in two measurements.
        const auto over = [&](qsizetype i) {
            return c.Widths.Width(Piece.left(i).toString(), FCanvas.Font, this) > avail;
        };
        const qsizetype n = Piece.size();
        qsizetype fits = std::clamp<qsizetype>(c.Fitted, 1, n); // 0: nothing known to fit
        qsizetype i = 0;
        if (over(fits)) {
            i = fits;
            fits = 0;
            for (qsizetype step = 1; i - step >= 1; step *= 2) {
                if (!over(i - step)) {
                    fits = i - step;
                    break;
                }
                i -= step;
            }
        } else {
            for (qsizetype step = 1; fits < n; step *= 2) {
                const qsizetype next = std::min(n, fits + step);
                if (over(next)) {
                    i = next;
                    break;
                }
                fits = next;
            }
        }
        while (i > 0 && i - fits > 1) {
            const qsizetype mid = (fits + i) / 2;
            (over(mid) ? i : fits) = mid;
        }
        if (i > 0) c.Fitted = i - 1;
        const bool atLineStart = R.Left <= c.X0 + FInnerSpace + 1;
        if (i > 0 && !(i == 1 && atLineStart)) {
            qsizetype B = -1;
            for (qsizetype k = i; k >= 1 && B < 0; --k)
                if (IsBreakChar(Piece[k - 1])) B = k;
            if (B < 0) {
                B = atLineStart ? i - 1 : 0;
                // Never between the two halves of a surrogate pair.
                if (B > 1 && Piece[B - 1].isHighSurrogate()) --B;
            }
            if (B < n) cut = B;
            S = StrTrim(Piece.left(B).toString());
        } else {
            S = Piece.toString();
        }
    } else {
        S = Piece.toString();
    }
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

void TbHTMLLabel::AdjustBounds() {
    if (!FAutoSize || FAdjusting) return;
    FAdjusting = true;
    TRect r{0, 0, width(), height()};
    DrawCaptionText(r, DT_EXPANDTABS | DT_CALCRECT | (WordWrap() ? DT_WORDBREAK : 0u));
    int x = this->x();
    if (Alignment() == Qt::AlignRight) x += width() - r.Right;
    setGeometry(x, y(), std::max(r.Right, 0), std::max(r.Bottom, 0));
    updateGeometry();
    FAdjusting = false;
}

QSize TbHTMLLabel::sizeHint() const {
    return FAutoSize ? size() : QLabel::sizeHint();
}

void TbHTMLLabel::SetHover(int Index) {
    const int old = FHoverIndex;
    FHoverIndex = Index;
    if (Index >= 0 && !FHandShown) {
        FHandShown = true;
        FOwnCursor.reset();
        if (testAttribute(Qt::WA_SetCursor)) FOwnCursor = cursor();
        setCursor(Qt::PointingHandCursor);
    } else if (Index < 0 && FHandShown) {
        // The label's own cursor again; one that was never set stays unset.
        FHandShown = false;
        if (FOwnCursor)
            setCursor(*FOwnCursor);
        else
            unsetCursor();
    }
    const int count = static_cast<int>(FAnchorList.size());
    if (old != Index) {
        if (old >= 0 && old < count)
            update(ToQRect(FAnchorList[static_cast<std::size_t>(old)]->Bounds));
        if (Index >= 0 && Index < count)
            update(ToQRect(FAnchorList[static_cast<std::size_t>(Index)]->Bounds));
    }
}

void TbHTMLLabel::MouseMove(Qt::KeyboardModifiers, int X, int Y) {
    int hovered = -1;
    for (std::size_t i = 0; i < FAnchorList.size(); ++i) {
        const TRect& b = FAnchorList[i]->Bounds;
        if (b.Left < X && X < b.Right && b.Top < Y && Y < b.Bottom) {
            hovered = static_cast<int>(i);
            break;
        }
    }
    SetHover(hovered);
}

void TbHTMLLabel::MouseLeave() {
    const int old = FHoverIndex;
    SetHover(-1);
    if (old != -1) update();
}

void TbHTMLLabel::Click() {
    QPointer<TbHTMLLabel> self(this);
    if (FHoverIndex >= 0 && FHoverIndex < static_cast<int>(FAnchorList.size())) {
        // A copy: the handler may change the caption, and with it the links.
        const TAnchorInfo link = *FAnchorList[static_cast<std::size_t>(FHoverIndex)];
        SetHover(-1);
        if (link.AttrName == u"HREF") {
            QString target = link.LinkName;
            if (target.size() >= 2 && (target.front() == u'"' || target.front() == u'\'') &&
                target.back() == target.front())
                target = target.mid(1, target.size() - 2);
            const QUrl url = QUrl::fromUserInput(target);
            // Without a desktop opener (no xdg-open, a bare X server) the
            // click would otherwise do nothing at all.
            if (!QDesktopServices::openUrl(url))
                MsgDialog(dkWarning, dbOk,
                          {QStringLiteral("Nothing on this desktop opens the link:"),
                           url.toDisplayString(QUrl::PreferLocalFile)},
                          true);
        } else if (OnAnchorClick) {
            OnAnchorClick(this, link.LinkName);
        }
    }
    if (self && OnClick) OnClick(this);
}

void TbHTMLLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    TRect r{0, 0, width(), height()};
    const Qt::Alignment a = Alignment();
    const unsigned align = a == Qt::AlignRight     ? DT_RIGHT
                           : a == Qt::AlignHCenter ? DT_CENTER
                                                   : DT_LEFT;
    DrawCaptionText(r, DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0u) | align, &p);
}

void TbHTMLLabel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseMove(event->modifiers(), p.x(), p.y());
    QLabel::mouseMoveEvent(event);
}

void TbHTMLLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) FPressed = true;
    QLabel::mousePressEvent(event);
}

void TbHTMLLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    FPressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click) Click();
}

void TbHTMLLabel::leaveEvent(QEvent* event) {
    MouseLeave();
    QLabel::leaveEvent(event);
}

void TbHTMLLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) Changed();
}
