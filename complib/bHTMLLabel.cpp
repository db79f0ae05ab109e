#include "bHTMLLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstring>

#include "TextDraw.h"
#include "bstring.h"

namespace {

constexpr std::array<const char*, 16> Tags{
    "<B>",     "</B>",     "<I>", "</I>", "<U>",     "</U>",     "<BIG>", "</BIG>",
    "<SMALL>", "</SMALL>", "<A",  "</A>", "<COLOR=", "</COLOR>", "<TAB>", "<INDENT>"};

constexpr QChar CR = u'\r';

// Tags are ASCII: only ASCII letters are compared without case, so whether a
// tag is seen depends neither on the locale nor on exotic case mappings, and
// FindFirstTag and ApplyTag always agree on where a tag is.
bool TagAt(const QString& T, qsizetype at, const char* tag) {
    const qsizetype n = static_cast<qsizetype>(std::strlen(tag));
    if (at < 0 || at + n > T.size()) return false;
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = T[at + i].unicode();
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        if (c != static_cast<char16_t>(tag[i])) return false;
    }
    return true;
}

int TagNumberAt(const QString& T, qsizetype at) {
    for (std::size_t k = 0; k < Tags.size(); ++k)
        if (TagAt(T, at, Tags[k])) return static_cast<int>(k) + 1;
    return 0;
}

int TagLength(int tag) {
    return static_cast<int>(std::strlen(Tags[static_cast<std::size_t>(tag - 1)]));
}

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
    QString LineText;
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

    // Parameters. The search goes on after each inserted value, so a value can
    // never form a new parameter, not even together with the text around it.
    const QString open = QStringLiteral("<VAR>");
    const QString close = QStringLiteral("</VAR>");
    int from = 1;
    while (const int p1 = StrSearch(open, S, from, false)) {
        const int p2 = StrSearch(close, S, p1 + open.size(), false);
        if (p2 == 0) break;
        const QString name = S.mid(p1 - 1 + open.size(), p2 - p1 - open.size());
        QString value;
        if (FDesigning) {
            value = u'[' + name + u']';
        } else if (OnGetParameter) {
            value = name;
            OnGetParameter(this, value);
        }
        value = StrDeleteAll(close, StrDeleteAll(open, value, false), false);
        S.replace(p1 - 1, p2 + close.size() - p1, value);
        from = p1 + static_cast<int>(value.size());
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
    for (qsizetype p = T.indexOf(u'<'); p >= 0; p = T.indexOf(u'<', p + 1))
        if (TagNumberAt(T, p)) return static_cast<int>(p) + 1;
    return 0;
}

int TbHTMLLabel::ApplyTag(QString& T, bool MeasureOnly) {
    const int tag = TagNumberAt(T, 0);
    if (tag == tagNone) return tagNone;
    QString argument;
    if (tag == tagA || tag == tagColor) {
        const qsizetype end = T.indexOf(u'>');
        if (tag == tagA) FOpenAnchorTag = end < 0 ? QString() : T.left(end + 1);
        if (end >= 0) {
            argument = T.mid(TagLength(tag), end - TagLength(tag));
            T.remove(0, end + 1);
        } else {
            T.remove(0, TagLength(tag));
        }
    } else {
        T.remove(0, TagLength(tag));
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
    return tag;
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
        QString L = line;
        c.X0 = 0;
        c.Indent = 0;
        while (!L.isEmpty()) {
            c.LineText = L;
            TRect M = Rect;
            M.Left = c.X0;
            c.X = c.X0;
            c.Measured = false;
            QString Rest;
            const TCanvasFont before = FCanvas;
            DrawLine(c, M, true, WordWrap(), Rest);
            if (paints) FCanvas = before;
            L = Rest;
            MaxW = std::max(MaxW, c.X);
            // A visual line of tags only has nothing to measure; it takes the
            // height of a blank line rather than that of the whole label.
            TotalH += c.Measured ? M.Bottom - M.Top : TextHeight(FCanvas.Font, this);
            if (paints) {
                int XL = Rect.Left + 1 + c.X0;
                if (alignment == Qt::AlignRight)
                    XL = Rect.Right - c.X - 1;
                else if (alignment == Qt::AlignHCenter)
                    XL = std::max(Rect.Left + (Rect.Right - Rect.Left - c.X) / 2, XL);
                D.Left = XL;
                QString none;
                if (!isEnabled() || FShowText3D) {
                    FColorsOn = false;
                    const TCanvasFont keep = FCanvas;
                    Offset(D, FShadowSize);
                    FCanvas.Color = Resolve(isEnabled() ? FShadowColor : clBtnHighlight);
                    DrawLine(c, D, false, false, none);
                    FCanvas = keep;
                    Offset(D, -FShadowSize);
                    D.Left = XL;
                    if (!isEnabled()) FCanvas.Color = Resolve(clBtnShadow);
                }
                FColorsOn = isEnabled();
                DrawLine(c, D, false, false, none);
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

void TbHTMLLabel::DrawLine(TDrawCall& c, TRect& R, bool Measuring, bool Wrap, QString& Rest) {
    c.PieceFlags = c.Flags | (Measuring ? DT_CALCRECT : 0u);
    Rest.clear();
    QString T = c.LineText;
    const int first = TagNumberAt(T, 0);
    if (first && T.size() == TagLength(first)) T += u' ';
    if (TagAt(T, 0, "<A") &&
        T.indexOf(QStringLiteral("</A>"), 0, Qt::CaseInsensitive) == T.size() - 4)
        T += u' ';
    const QString whole = T;
    while (true) {
        const int P = FindFirstTag(T);
        if (P == 0) {
            DrawPiece(c, R, T, Wrap, Rest);
            break;
        }
        if (P > 1) DrawPiece(c, R, T.left(P - 1), Wrap, Rest);
        T.remove(0, P - 1);
        if (!Rest.isEmpty()) {
            Rest += T;
            break;
        }
        const int K = ApplyTag(T, Measuring);
        if (K == tagNone) break; // cannot happen: both see a tag by TagNumberAt
        if (K == tagTab) {
            R.Left = FTabGridWidth * (R.Left / FTabGridWidth + 1);
            c.X = R.Left;
        } else if (K == tagIndent && Measuring) {
            c.Indent = R.Left - 1;
        }
    }
    // What this visual line shows, out of the text it was given (with the
    // blank added above, so that the cut falls where the rest begins).
    c.LineText = whole.left(whole.size() - Rest.size());
    if (!FOpenAnchorTag.isEmpty()) {
        if (!Rest.isEmpty()) Rest = FOpenAnchorTag + Rest;
        CloseAnchor(Measuring);
    }
}

void TbHTMLLabel::DrawPiece(TDrawCall& c, TRect& R, QString S, bool Wrap, QString& Rest) {
    const bool measuring = c.PieceFlags & DT_CALCRECT;
    const int avail = width() - R.Left - 2 - 2 * FInnerSpace;
    Rest.clear();
    if (Wrap && !S.isEmpty()) {
        // The first i with the first i characters wider than avail (0: all
        // fit). Widths grow with i, so galloping and halving find it without
        // measuring every prefix of a long text.
        const auto over = [&](qsizetype i) {
            return TextWidth(S.left(i), FCanvas.Font, this) > avail;
        };
        const qsizetype n = S.size();
        qsizetype fits = 0;
        qsizetype i = 1;
        while (i < n && !over(i)) {
            fits = i;
            i = std::min(n, 2 * i);
        }
        if (!over(i)) i = 0;
        while (i > 0 && i - fits > 1) {
            const qsizetype mid = (fits + i) / 2;
            (over(mid) ? i : fits) = mid;
        }
        const bool atLineStart = R.Left <= c.X0 + FInnerSpace + 1;
        if (i > 0 && !(i == 1 && atLineStart)) {
            qsizetype B = -1;
            for (qsizetype k = i; k >= 1 && B < 0; --k)
                if (IsBreakChar(S[k - 1])) B = k;
            if (B < 0) {
                B = atLineStart ? i - 1 : 0;
                // Never between the two halves of a surrogate pair.
                if (B > 1 && S[B - 1].isHighSurrogate()) --B;
            }
            Rest = S.mid(B);
            S = StrTrim(S.left(B));
        }
    }
    if (FInAnchor && FCurrentAnchor) FCurrentAnchor->Bounds = R;
    const int w = TextWidth(S, FCanvas.Font, this);
    if (!S.isEmpty()) {
        DrawText(S, R, c.PieceFlags, FCanvas.Font, this, FPainter, FCanvas.Color);
        if (measuring) c.Measured = true;
    } else if (measuring) {
        R.Right = R.Left; // nothing measured: no width
    }
    if (FInAnchor && FCurrentAnchor) {
        TRect& b = FCurrentAnchor->Bounds;
        b.Right = b.Left + w;
        b.Bottom = b.Top + TextHeight(FCanvas.Font, this);
    }
    c.X += R.Right - R.Left;
    R.Left += w;
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
            QDesktopServices::openUrl(QUrl::fromUserInput(target));
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
