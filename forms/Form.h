// TForm: the framework's form on a Qt top-level widget.
//
// Its five events are public handler slots (TNotifyEvent) that anyone may
// replace; whoever replaces one keeps the previous handler and calls it, so
// several parties can hook the same event (the settings saver does so).
// Handlers are called with the form as sender, through DispatchEvent: an
// exception that escapes one is shown and the form goes on.
//
//   OnCreate    FinishCreate(), after every component's Loaded
//   OnShow      each time the form is shown (not when it is restored from
//               minimised), before the placement rule is applied and before
//               the window appears on the screen
//   OnActivate  when the form becomes the application's active window: the
//               first time after each show, and after another window of the
//               program was active; not when the user comes back from
//               another program
//   OnHide      each time the form is hidden (not when it is minimised),
//               including the hiding that precedes its destruction
//   OnDestroy   BeforeDestruction(), after that hiding, while all controls
//               and components still exist
//
// A derived form builds its controls and components in its constructor, sets
// their properties and its own handlers, and ends with FinishCreate(). Its
// destructor begins with BeforeDestruction(), so that OnHide and OnDestroy
// run while the derived form is still whole (~TForm calls it as well, for
// forms whose handlers need nothing of the derived part).
#pragma once

#include "engine/Canvas.h"
#include "forms/NotifyEvent.h"

#include <QMargins>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <optional>

class QWindow;

// The application's title: the caption of its own message boxes. It is kept
// apart from Qt's application display name, which the desktop would append to
// the title of every window ("Chyba — Barcode Generator"). Unset, it is the
// application's name.
QString ApplicationTitle();
void SetApplicationTitle(const QString& Title);

enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };

enum TFormBorderStyle : std::uint8_t {
    bsNone,
    bsSingle,
    bsSizeable,
    bsDialog,
    bsToolWindow,
    bsSizeToolWin
};

// Where the form is put when it is shown.
enum TPosition : std::uint8_t {
    poDesigned,        // where its bounds say
    poDefault,         // where the window manager puts it
    poDefaultPosOnly,  // the same (the size is the designed one here too)
    poDefaultSizeOnly, // the same
    poScreenCenter,    // centred on its screen
    poDesktopCenter,   // centred on the virtual desktop (all screens)
    poMainFormCenter,  // centred over the window it belongs to (its parent), else its screen
    poOwnerFormCenter  // the same
};

class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* Parent = nullptr);
    ~TForm() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDestroy;

    // The program's main window: the first top-level form made and still alive.
    static TForm* MainForm();

    // Loaded on every TLoadable object below the form, then OnCreate. Once.
    void FinishCreate();
    // Hides the form if it is visible (OnHide), then OnDestroy. Once.
    void BeforeDestruction();

    TWindowState WindowState() const;
    void SetWindowState(TWindowState State);

    // None, single and dialog borders (and tool windows) cannot be resized by
    // the user; the program can still set the size (SetClientSize, SetBounds).
    // Set it before the form is first shown (Qt re-creates the window for it).
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Style);

    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Rule) { FPosition = Rule; }

    // Outer bounds on the screen (the frame included), right and bottom
    // exclusive. The window manager adds the frame only once the window is on
    // the screen, and tells its size later still; until then the bounds are
    // those asked for, and they are applied again, as outer bounds, as soon
    // as the frame is known. Hidden, the window keeps the frame it last had.
    TRect BoundsRect() const;
    void SetBounds(const TRect& Bounds);
    // Moves the outer bounds' top-left corner there; the size stays.
    void MoveTo(int Left, int Top);
    void SetClientSize(int Width, int Height);
    // The frame around the client area: as the platform last reported it
    // while the window was on the screen, or before that its best guess
    // (none under X11 until the window manager has framed the window).
    QMargins FrameMargins() const;

    // The control that gets the keyboard focus each time the form is shown;
    // none: Qt's choice.
    QWidget* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(QWidget* Control) { FActiveControl = Control; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* Watched, QEvent* event) override;

private:
    void Activated();
    void ApplyPosition();
    void ResizeClient(int Width, int Height);
    void PlaceFrame(QPoint TopLeft);
    void FrameShown();
    bool FrameOnScreen() const;

    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    bool FCreated = false;
    bool FDestroying = false;
    QPointer<QWidget> FActiveControl;
    // The frame as last seen on the screen (FFrameSeen: it was), and whether
    // it has been seen since the window was last shown.
    QMargins FFrame;
    bool FFrameSeen = false;
    bool FFrameCurrent = false;
    // Asked for before the frame was known: the outer top-left, the outer
    // size, or centring in an area (which needs the frame's size).
    std::optional<QPoint> FPendingPos;
    std::optional<QSize> FPendingSize;
    std::optional<QRect> FPendingCentre;
    QPointer<QWindow> FWatched;
};

// A frame: a container that owns the controls placed on it (their section
// names go through it: Main.OptionsPanel.NameEdit).
class TFrame : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// A control's bounds: relative to its parent, right and bottom exclusive; for
// a window its outer bounds on the screen.
TRect ControlBounds(const QWidget* Control);
// Sets them in one step. A window of fixed size gets the new size as its fixed
// size: only the user is kept from resizing it.
void SetControlBounds(QWidget* Control, const TRect& Bounds);
// Sets a window's client size, also when it is of fixed size.
void SetClientSize(QWidget* Window, int Width, int Height);

// The rectangle around all screens.
TRect VirtualDesktopRect();
