// The library's message dialog and error report. MsgDialog builds a window
// from a kind (symbol and title), a button set and a list of items, shows it
// modally and returns the modal result of the button pressed: 1 OK, 2 Cancel,
// 6 Yes, 7 No.
//
// Items are integers (the help context) or texts. A text starting with "^C"
// is the title, "@1" to "@3" a button's caption, anything else a line of text
// in an HTML label (its mark-up works). Formatting codes at the start of a
// line or caption change its font: ^B bold, ^I italic, ^U underline, ^L two
// points larger, ^X four points larger.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QPushButton>
#include <QString>
#include <QVariantList>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

class QLabel;
class TbHTMLLabel;

enum TDlgKind : std::uint8_t { dkNone, dkInformation, dkQuestion, dkWarning, dkError };
enum TDlgButtons : std::uint8_t { dbOk, dbOkCancel, dbYesNo, dbYesNoCancel, dbCustom2, dbCustom3 };

// The dialog window. MsgDialog places everything; the form only holds the
// pictures and answers the keys and the close box as its buttons say.
class TbDlgForm : public QDialog {
    Q_OBJECT
public:
    explicit TbDlgForm(QWidget* owner = nullptr);

    // The four 48 x 48 symbols, hidden until MsgDialog shows one.
    QLabel* imgI;
    QLabel* imgQ;
    QLabel* imgW;
    QLabel* imgE;
    // The 24 x 24 button glyphs: 0 check mark, 1 cross, 2 no-entry sign.
    std::array<QIcon, 3> ImgDlgBtn;

    // What MsgDialog built, in order.
    std::vector<QPushButton*> Buttons;
    std::vector<TbHTMLLabel*> Labels;
    QPushButton* CancelButton = nullptr; // pressed by Esc
    bool CloseBox = true;                // closing returns 2; without it closing does nothing
    int HelpContext = 0;

    // The client size; the window cannot be resized.
    void SetClientSize(int Width, int Height);

    void reject() override; // Esc
protected:
    void closeEvent(QCloseEvent* event) override;
};

// A push button with its glyph (of iconSize()) 4 pixels from the left edge,
// centred in height, and a caption that wraps into the space beside it.
class TbDlgButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

int MsgDialog(TDlgKind Kind, TDlgButtons Buttons, const QVariantList& Items, bool WordWrap);
int ErrorMsg(const QString& Text, bool WordWrap);
int ErrorMsgTitled(const QString& Title, const QString& Text, bool WordWrap);
// Beeps and shows "Popis chyby:" and the message of E (UTF-8) in an error
// dialog; then, with TerminateApp, asks the application to quit. Does nothing
// while the application is quitting.
void ShowErrorReport(const QString& Title, const std::exception& E, bool TerminateApp);

// True once the application has been asked to quit (by ShowErrorReport or by
// QCoreApplication::quit and the end of its event loop).
bool ApplicationTerminating();

// For tests: while a TDlgExecHook lives, MsgDialog hands every fully built
// dialog to it instead of running the modal loop, and returns what the
// function returns. The function may inspect the form, press its buttons or
// send it keys (a pressed button leaves its result in form.result()). Hooks
// nest; each puts back the one before it.
class TDlgExecHook {
public:
    using TFunction = std::function<int(TbDlgForm& Form)>;
    explicit TDlgExecHook(TFunction F);
    ~TDlgExecHook();
    TDlgExecHook(const TDlgExecHook&) = delete;
    TDlgExecHook& operator=(const TDlgExecHook&) = delete;

private:
    TFunction FPrevious;
};
