#include "Form.h"

#include "Component.h"
#include "EventDispatch.h"

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
    return ControlBounds(this);
}

void TForm::SetBounds(const TRect& Bounds) {
    SetControlBounds(this, Bounds);
}

void TForm::SetClientSize(int Width, int Height) {
    ::SetClientSize(this, Width, Height);
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return; // restored from minimised
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
    DispatchEvent(OnHide, this);
}

bool TForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Activated();
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
        if (parentWidget())
            area = parentWidget()->window()->frameGeometry();
        else if (QScreen* s = screen())
            area = s->geometry();
        break;
    default:
        return;
    }
    if (!area.isValid()) return;
    const QSize outer = frameGeometry().size();
    move(area.x() + (area.width() - outer.width()) / 2,
         area.y() + (area.height() - outer.height()) / 2);
}

TRect ControlBounds(const QWidget* Control) {
    return ToTRect(Control->isWindow() ? Control->frameGeometry() : Control->geometry());
}

void SetClientSize(QWidget* Window, int Width, int Height) {
    const QSize size(std::max(0, Width), std::max(0, Height));
    if (Window->minimumSize() == Window->maximumSize())
        Window->setFixedSize(size);
    else
        Window->resize(size);
}

void SetControlBounds(QWidget* Control, const TRect& Bounds) {
    const int width = Bounds.Right - Bounds.Left;
    const int height = Bounds.Bottom - Bounds.Top;
    if (!Control->isWindow()) {
        Control->setGeometry(Bounds.Left, Bounds.Top, std::max(0, width), std::max(0, height));
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
