// TbHTMLLabel: a label that understands a small HTML-like mark-up: <B>, <I>,
// <U>, <BIG>, <SMALL>, <COLOR=...>, <TAB>, <INDENT>, <BR>, links <A ...>, and
// parameters <VAR>name</VAR> filled in by OnGetParameter when drawn. A text
// without tags draws like a plain label (its "&" underlines the next letter).
//
// The label draws itself; QLabel holds its text, font, alignment and word
// wrap. Set them through the setters here (setText and setWordWrap are hidden
// by ours), so that an automatically sized label measures itself again.
//
// Coordinates are the label's client coordinates; TRect's right and bottom
// are exclusive. The widget lives in bHTMLLabel.cpp, the mark-up (text
// preparation, tags, drawing) in bHTMLLabelMarkup.cpp.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "complib/BemoCompGlobalCfg.h"
#include "engine/Canvas.h"
#include "forms/Component.h"
#include "platform/SysColors.h"

class QPainter;
class TbHTMLLabel;

// ParamStr comes in holding the parameter's name and goes out holding its value.
using TGetParameter = std::function<void(QObject* Sender, QString& ParamStr)>;

// One link recorded by the last drawing.
struct TAnchorInfo {
    QString AttrName; // trimmed, upper-cased ("HREF"); empty without "="
    QString LinkName; // trimmed; quotation marks stay part of it
    TRect Bounds;     // clickable area
};

// The lines of CaptionStrings. Every change makes the label measure itself
// again and repaint.
class TbHTMLLabelStrings {
public:
    explicit TbHTMLLabelStrings(TbHTMLLabel& Owner) : FOwner(Owner) {}
    const QStringList& Lines() const { return FLines; }
    int Count() const { return static_cast<int>(FLines.size()); }
    void Assign(const QStringList& Lines);
    void Add(const QString& Line);
    void Clear();
    // Every line followed by CR LF.
    QString Text() const;

private:
    void Changed();
    TbHTMLLabel& FOwner;
    QStringList FLines;
};

// The font the label draws with while it works through the tags.
struct TCanvasFont {
    QFont Font;
    QColor Color;
};

class TbHTMLLabel : public QLabel, public TLoadable {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool CaptionSkipEnter READ CaptionSkipEnter WRITE SetCaptionSkipEnter)
    Q_PROPERTY(uint AnchorColor READ AnchorColor WRITE SetAnchorColor)
    Q_PROPERTY(bool ShowText3D READ ShowText3D WRITE SetShowText3D)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowSize READ ShadowSize WRITE SetShadowSize)
    Q_PROPERTY(bool ShowBeveled READ ShowBeveled WRITE SetShowBeveled)
    Q_PROPERTY(int InnerSpace READ InnerSpace WRITE SetInnerSpace)
    Q_PROPERTY(int TabGridWidth READ TabGridWidth WRITE SetTabGridWidth)

public:
    explicit TbHTMLLabel(QWidget* parent = nullptr);
    ~TbHTMLLabel() override;

    // The tag numbers ApplyTag returns.
    enum TTag {
        tagNone,
        tagB,
        tagBEnd,
        tagI,
        tagIEnd,
        tagU,
        tagUEnd,
        tagBig,
        tagBigEnd,
        tagSmall,
        tagSmallEnd,
        tagA,
        tagAEnd,
        tagColor,
        tagColorEnd,
        tagTab,
        tagIndent
    };

    // The platform label's properties.
    QString Caption() const { return text(); }
    void SetCaption(const QString& S);
    void setText(const QString& S) { SetCaption(S); }
    bool WordWrap() const { return wordWrap(); }
    void SetWordWrap(bool V);
    void setWordWrap(bool V) { SetWordWrap(V); }
    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment Alignment() const;
    void SetAlignment(Qt::Alignment A);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool V);
    // Parameters show as "[name]" while the label is being designed.
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool V) { FDesigning = V; }
    // The form calls this once it has built and set up the label: from then
    // on a plain text cut off by the label's edge shows whole in its tip,
    // unless the label has a tip of its own.
    void Loaded() override;

    TbHTMLLabelStrings& CaptionStrings() { return *FCaptionStrings; }
    // Copies the lines and empties Caption.
    void SetCaptionStrings(const QStringList& Lines);
    bool CaptionSkipEnter() const { return FCaptionSkipEnter; }
    void SetCaptionSkipEnter(bool V);
    TColor AnchorColor() const { return FAnchorColor; }
    void SetAnchorColor(TColor V);
    bool ShowText3D() const { return FShowText3D; }
    void SetShowText3D(bool V);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor V);
    int ShadowSize() const { return FShadowSize; }
    void SetShadowSize(int V);
    bool ShowBeveled() const { return FShowBeveled; }
    void SetShowBeveled(bool V);
    int InnerSpace() const { return FInnerSpace; }
    void SetInnerSpace(int V); // 0..255
    int TabGridWidth() const { return FTabGridWidth; }
    void SetTabGridWidth(int V); // 1..255; 0 is stored as 1

    // Called for a clicked link whose attribute is not HREF.
    TAnchorClickEvent OnAnchorClick;
    TGetParameter OnGetParameter;
    TNotifyEvent OnClick;

    // The text as it is drawn: parameters filled in, line breaks as CR, every
    // line at least one character long.
    virtual QString PrepareCaptionText();
    // Paints the text into Rect with Painter, or measures it (DT_CALCRECT in
    // Flags, no painter needed): Rect then holds the extent the text needs.
    void DrawCaptionText(TRect& Rect, unsigned Flags, QPainter* Painter = nullptr);
    // Measures the text and, with AutoSize, takes the size it needs.
    void AdjustBounds();
    void ClearAnchors();
    // 1-based position of the earliest of the 16 tags in T; 0 for none.
    int FindFirstTag(const QString& T) const;
    // When T starts with a tag: applies it to CanvasFont and the link state,
    // removes it from T and returns its number; otherwise returns 0.
    int ApplyTag(QString& T, bool MeasureOnly);

    // Mouse handling; the Qt event handlers call these.
    void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    void MouseLeave();
    void Click();

    const std::vector<std::unique_ptr<TAnchorInfo>>& AnchorList() const { return FAnchorList; }
    int HoverIndex() const { return FHoverIndex; }
    TCanvasFont& CanvasFont() { return FCanvas; }
    // Whether colour tags and links may colour the text; each drawing pass
    // switches it. Set it to try ApplyTag on its own.
    void SetColorsOn(bool V) { FColorsOn = V; }
    // The label font's colour: the palette's window text.
    QColor FontColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct TDrawCall;
    struct TLineCursor;
    friend class TbHTMLLabelStrings;
    void Changed(); // re-measure and repaint

    // The mark-up.
    QString FillParameters(const QString& S);
    void DrawBevel(QPainter& Painter);
    // A text without tags, inside the inner space.
    void DrawPlain(const QString& Text, TRect& Rect, unsigned Flags, QPainter* Painter);
    // The text with its tags: measures every visual line and, unless
    // measuring, paints it.
    void DrawMarkup(const QString& Text, TRect& Rect, unsigned Flags);
    // Measures the next visual line of Cursor from c.X0 on: its width goes
    // to c.X, its height is returned. Paints: the font goes back to what it
    // was before, for the painting.
    int MeasureVisualLine(TDrawCall& c, TLineCursor& Cursor, const TRect& Area, bool Paints);
    // Paints the visual line Shown (c.X wide) at Top, placed in Area by the
    // alignment; a disabled or 3-D label gets its shadow first.
    void PaintVisualLine(TDrawCall& c, const QString& Shown, const TRect& Area, int Top,
                         Qt::Alignment Alignment);
    // Draws (or measures) the visual line of Cursor that starts at its Pos
    // into R and moves Pos past it.
    void DrawLine(TDrawCall& c, TLineCursor& Cursor, TRect& R, bool Measuring, bool Wrap);
    // Draws a piece of text without tags at R.Left and moves the pen past it;
    // with Wrap, only what fits: returns where the rest begins (-1: none).
    qsizetype DrawPiece(TDrawCall& c, TRect& R, QStringView Piece, bool Wrap);
    // How much of Piece fits from R.Left on to the label's right edge, cut
    // after a blank or punctuation where there is one: the part shown goes
    // to Shown; returns where the rest begins (-1: nothing left over).
    qsizetype WrapPiece(TDrawCall& c, const TRect& R, QStringView Piece, QString& Shown);
    // Applies Tag, found at the start of T, whose first ">" is at Close (-1:
    // none); returns how many characters it takes.
    qsizetype ApplyTagAt(int Tag, QStringView T, qsizetype Close, bool MeasureOnly);
    // <B>, <I>, <U>, <BIG>, <SMALL> and their ends.
    void ApplyFontTag(int Tag);
    void OpenAnchor(const QString& Argument, bool MeasureOnly);
    void CloseAnchor(bool MeasureOnly);
    void ApplyColor(const QString& Argument);

    // The widget.
    void SetHover(int Index);
    QColor Resolve(TColor c) const;

    bool FAutoHint = false;
    bool FColorsOn = false;
    std::optional<TCanvasFont> FAnchorFontSave;
    std::unique_ptr<TAnchorInfo> FCurrentAnchor;
    int FHoverIndex = -1;
    std::vector<std::unique_ptr<TAnchorInfo>> FAnchorList;
    bool FInAnchor = false;
    QString FOpenAnchorTag;

    std::unique_ptr<TbHTMLLabelStrings> FCaptionStrings;
    bool FCaptionSkipEnter = false;
    TColor FAnchorColor = clNone;
    bool FShowText3D = false;
    TColor FShadowColor = clBtnShadow;
    int FShadowSize = 1;
    bool FShowBeveled = false;
    int FInnerSpace = 0;
    int FTabGridWidth = 30;

    bool FAutoSize = true;
    bool FDesigning = false;
    bool FAdjusting = false;
    bool FPressed = false;
    bool FHandShown = false;           // the hand over a link
    std::optional<QCursor> FOwnCursor; // the label's own cursor meanwhile, if it has one
    TCanvasFont FCanvas;
    QPainter* FPainter = nullptr;
};
