#include "forms/Form.h"

#include "forms/Component.h"
#include "forms/EventDispatch.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace {

QString& StoredApplicationTitle() {
    static QString title;
    return title;
}

// The form that last became active. Cleared when another window of the
// program takes over or the form is hidden, so that coming back to it counts
// as an activation, while coming back from another program does not.
QPointer<TForm> activeForm;
QPointer<TForm> mainForm;

TRect ToTRect(const QRect& r) {
    return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

bool HasFixedSize(TFormBorderStyle s) {
    return s != bsSizeable && s != bsSizeToolWin;
}

// Another form below this one tells its own components.
void NotifyLoaded(QObject* Parent) {
    for (QObject* child : Parent->children()) {
        if (qobject_cast<TForm*>(child)) continue;
        if (auto* loadable = dynamic_cast<TLoadable*>(child)) loadable->Loaded();
        NotifyLoaded(child);
    }
}

QPoint Centred(const QRect& Area, QSize Outer) {
    return {Area.x() + (Area.width() - Outer.width()) / 2,
            Area.y() + (Area.height() - Outer.height()) / 2};
}

// Sets a window's client size, also when it is of fixed size.
void ResizeWindow(QWidget* Window, int Width, int Height) {
    const QSize size(std::max(0, Width), std::max(0, Height));
    if (Window->minimumSize() == Window->maximumSize())
        Window->setFixedSize(size);
    else
        Window->resize(size);
}

} // namespace

QString ApplicationTitle() {
    const QString& title = StoredApplicationTitle();
    return title.isNull() ? QGuiApplication::applicationDisplayName() : title;
}

void SetApplicationTitle(const QString& Title) {
    StoredApplicationTitle() = Title;
}

TForm* TForm::MainForm() {
    return mainForm;
}

TForm::TForm(QWidget* Parent) : QWidget(Parent, Qt::Window) {
    if (!mainForm && !Parent) mainForm = this;
    static const bool watching = [] {
        // Another window of the program taking the focus ends the form's
        // activation; the whole program losing it (focus window none) does not.
        QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, [](QWindow* w) {
            if (w && activeForm && w->type() != Qt::Popup && w->type() != Qt::ToolTip &&
                w != activeForm->windowHandle())
                activeForm = nullptr;
        });
        return true;
    }();
    (void)watching;
}

TForm::~TForm() {
    BeforeDestruction();
    // Its components (the settings file among them) are destroyed after this
    // and may still speak to the user: not over a window that is half gone.
    if (mainForm == this) mainForm = nullptr;
}

void TForm::FinishCreate() {
    if (FCreated) return;
    FCreated = true;
    NotifyLoaded(this);
    DispatchEvent(OnCreate, this);
}

void TForm::BeforeDestruction() {
    if (FDestroying) return;
    FDestroying = true;
    if (isVisible()) hide();
    DispatchEvent(OnDestroy, this);
}

TWindowState TForm::WindowState() const {
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized) return wsMinimized;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return wsMaximized;
    return wsNormal;
}

void TForm::SetWindowState(TWindowState State) {
    if (State == WindowState()) return;
    switch (State) {
    case wsNormal:
        setWindowState(Qt::WindowNoState);
        break;
    case wsMinimized:
        setWindowState(Qt::WindowMinimized);
        break;
    case wsMaximized:
        setWindowState(Qt::WindowMaximized);
        break;
    }
}

void TForm::SetBorderStyle(TFormBorderStyle Style) {
    FBorderStyle = Style;
    Qt::WindowFlags flags = windowFlags() & ~(Qt::WindowType_Mask | Qt::FramelessWindowHint);
    switch (Style) {
    case bsNone:
        flags |= Qt::Window | Qt::FramelessWindowHint;
        break;
    case bsDialog:
        flags |= Qt::Dialog;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        flags |= Qt::Tool;
        break;
    default:
        flags |= Qt::Window;
        break;
    }
    setWindowFlags(flags);
    if (HasFixedSize(Style)) {
        setFixedSize(size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

TRect TForm::BoundsRect() const {
    QRect outer = geometry().marginsAdded(FrameMargins());
    if (FPendingSize) outer.setSize(*FPendingSize);
    if (FPendingPos) outer.moveTopLeft(*FPendingPos);
    return ToTRect(outer);
}

void TForm::SetBounds(const TRect& Bounds) {
    const QMargins frame = FrameMargins();
    const QSize outer(Bounds.Right - Bounds.Left, Bounds.Bottom - Bounds.Top);
    ResizeClient(outer.width() - frame.left() - frame.right(),
                 outer.height() - frame.top() - frame.bottom());
    // The frame may turn out to be of another size: the outer size is what was asked for.
    if (!FFrameCurrent) FPendingSize = outer;
    PlaceFrame({Bounds.Left, Bounds.Top});
}

void TForm::MoveTo(int Left, int Top) {
    PlaceFrame({Left, Top});
}

void TForm::SetClientSize(int Width, int Height) {
    ResizeClient(Width, Height);
}

void TForm::ResizeClient(int Width, int Height) {
    FPendingSize.reset();
    ResizeWindow(this, Width, Height);
}

QMargins TForm::FrameMargins() const {
    const QWindow* w = windowHandle();
    if (FrameOnScreen()) return w->frameMargins();
    if (FFrameSeen) return FFrame;
    return w && w->handle() ? w->frameMargins() : QMargins();
}

bool TForm::FrameOnScreen() const {
    const QWindow* w = windowHandle();
    return FFrameCurrent && isVisible() && w && w->handle() && w->isExposed();
}

void TForm::PlaceFrame(QPoint TopLeft) {
    FPendingCentre.reset();
    if (!FFrameCurrent) FPendingPos = TopLeft;
    if (!testAttribute(Qt::WA_WState_Created)) {
        // Before the window exists Qt takes a window's position as that of
        // its frame, and has the window manager place it so.
        move(TopLeft);
        return;
    }
    // Under X11 Qt turns a frame position into the client's (or back, by the
    // window's gravity) with the frame it last read, and after any move the
    // window manager reports it has none until it is asked again: asked
    // here, so that no position goes out unconverted.
    windowHandle()->frameMargins();
    const QMargins frame = FrameMargins();
    const QRect client(TopLeft + QPoint(frame.left(), frame.top()), size());
    setGeometry(client);
    if (FFrameCurrent) {
        // The frame is known: the client's position says it all. Asked of
        // the window itself, as the widget may hold it already while the
        // window has a request of its own under way.
        windowHandle()->setGeometry(client);
    } else {
        // The frame's own position, which the platform keeps as such while
        // the frame's size is not known yet.
        windowHandle()->setFramePosition(TopLeft);
    }
}

// The window is on the screen with its frame: what was asked for before the
// frame was known is applied again with it.
void TForm::FrameShown() {
    FFrame = windowHandle()->frameMargins();
    FFrameSeen = true;
    FFrameCurrent = true;
    const std::optional<QPoint> pos = FPendingPos;
    const std::optional<QSize> outer = FPendingSize;
    const std::optional<QRect> centre = FPendingCentre;
    FPendingPos.reset();
    FPendingSize.reset();
    FPendingCentre.reset();
    if (outer)
        ResizeClient(outer->width() - FFrame.left() - FFrame.right(),
                     outer->height() - FFrame.top() - FFrame.bottom());
    if (centre)
        PlaceFrame(Centred(*centre, size().grownBy(FFrame)));
    else if (pos)
        PlaceFrame(*pos);
}

bool TForm::eventFilter(QObject* Watched, QEvent* event) {
    if (Watched == FWatched && event->type() == QEvent::Expose && FWatched->isExposed() &&
        isVisible() && !FFrameCurrent)
        FrameShown();
    return QWidget::eventFilter(Watched, event);
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return; // restored from minimised
    if (isWindow() && windowHandle() != FWatched) {
        // Its exposure tells when the frame is known (a new native window
        // comes with a change of the window's flags).
        FWatched = windowHandle();
        if (FWatched) FWatched->installEventFilter(this);
    }
    DispatchEvent(OnShow, this);
    if (FActiveControl && FActiveControl->isEnabled())
        FActiveControl->setFocus(Qt::ActiveWindowFocusReason);
    if (isWindow()) {
        ApplyPosition();
        activateWindow();
        // A window the platform still counts as active from before it was
        // hidden gets no activation event: it is activated here, once shown.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isVisible() && (isActiveWindow() || windowHandle()->isActive())) Activated();
            },
            Qt::QueuedConnection);
    }
}

void TForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) return; // minimised
    if (activeForm == this) activeForm = nullptr;
    // Shown again, the window may get another frame; until it is seen, this
    // one is assumed.
    FFrameCurrent = false;
    DispatchEvent(OnHide, this);
}

bool TForm::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        Activated();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        // The frame kept for when the window is hidden.
        if (FrameOnScreen()) FFrame = windowHandle()->frameMargins();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TForm::Activated() {
    if (activeForm == this) return;
    activeForm = this;
    DispatchEvent(OnActivate, this);
}

void TForm::ApplyPosition() {
    QRect area;
    switch (FPosition) {
    case poScreenCenter:
        if (QScreen* s = screen()) area = s->geometry();
        break;
    case poDesktopCenter:
        if (QScreen* s = screen()) area = s->virtualGeometry();
        break;
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (parentWidget()) {
            const TRect owner = ControlBounds(parentWidget()->window());
            area = QRect(QPoint(owner.Left, owner.Top), QPoint(owner.Right - 1, owner.Bottom - 1));
        } else if (QScreen* s = screen()) {
            area = s->geometry();
        }
        break;
    default:
        return;
    }
    if (!area.isValid()) return;
    // Centred with the frame as known; once the window manager has told the
    // frame's size, centred again with it.
    PlaceFrame(Centred(area, size().grownBy(FrameMargins())));
    if (!FFrameCurrent) FPendingCentre = area;
}

TRect ControlBounds(const QWidget* Control) {
    if (const auto* form = qobject_cast<const TForm*>(Control)) return form->BoundsRect();
    return ToTRect(Control->isWindow() ? Control->frameGeometry() : Control->geometry());
}

void SetClientSize(QWidget* Window, int Width, int Height) {
    if (auto* form = qobject_cast<TForm*>(Window))
        form->SetClientSize(Width, Height);
    else
        ResizeWindow(Window, Width, Height);
}

void SetControlBounds(QWidget* Control, const TRect& Bounds) {
    const int width = Bounds.Right - Bounds.Left;
    const int height = Bounds.Bottom - Bounds.Top;
    if (!Control->isWindow()) {
        Control->setGeometry(Bounds.Left, Bounds.Top, std::max(0, width), std::max(0, height));
        return;
    }
    if (auto* form = qobject_cast<TForm*>(Control)) {
        form->SetBounds(Bounds);
        return;
    }
    const QSize frame = Control->frameGeometry().size() - Control->geometry().size();
    SetClientSize(Control, width - frame.width(), height - frame.height());
    Control->move(Bounds.Left, Bounds.Top); // a window's position is that of its frame
}

TRect VirtualDesktopRect() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? ToTRect(s->virtualGeometry()) : TRect{};
}
