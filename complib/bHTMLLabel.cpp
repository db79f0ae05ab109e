// The label as a widget: its properties, its size, the mouse over its links
// and their clicks. What it draws and how (the mark-up) is bHTMLLabelMarkup.cpp.
#include "complib/bHTMLLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>

#include <algorithm>

#include "complib/bdlg.h"
#include "complib/bstring.h"
#include "platform/TextDraw.h"

namespace {

QRect ToQRect(const TRect& r) {
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

} // namespace

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
