#include "complib/bdlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <climits>

#include "complib/BemoCompGlobalCfg.h"
#include "complib/bHTMLLabel.h"
#include "complib/bstring.h"
#include "complib/btool.h"
#include "forms/Form.h"
#include "platform/SvgIcon.h"
#include "platform/TextDraw.h"

namespace {

// The library's own texts.
const std::array<QString, 5> KindTitles{QString(), QStringLiteral("Informace"),
                                        QStringLiteral("Otázka"), QStringLiteral("Upozornění"),
                                        QStringLiteral("Chyba")};

enum TGlyph { glNone = -1, glCheck = 0, glCross = 1, glNoEntry = 2 };

struct TButtonDef {
    QString Caption;
    TGlyph Glyph;
    int Result;
};

struct TButtonSet {
    std::vector<TButtonDef> Buttons;
    int Default; // 1-based; 0 none
    int Cancel;  // 1-based; 0 none
    bool Custom; // buttons share the width, captions come from "@1" to "@3"
    bool CloseBox;
};

const QString CaptionOk = QStringLiteral("&Ok");
const QString CaptionCancel = QStringLiteral("&Storno");
const QString CaptionYes = QStringLiteral("&Ano");
const QString CaptionNo = QStringLiteral("&Ne");

const std::array<TButtonSet, 6> ButtonSets{{
    {{{CaptionOk, glCheck, 1}}, 1, 1, false, true},
    {{{CaptionOk, glCheck, 1}, {CaptionCancel, glCross, 2}}, 1, 2, false, true},
    {{{CaptionYes, glCheck, 6}, {CaptionNo, glNoEntry, 7}}, 0, 0, false, false},
    {{{CaptionYes, glCheck, 6}, {CaptionNo, glNoEntry, 7}, {CaptionCancel, glCross, 2}},
     0,
     3,
     false,
     true},
    {{{QString(), glNone, 6}, {QString(), glNone, 7}}, 0, 0, true, false},
    {{{QString(), glNone, 6}, {QString(), glNone, 7}, {QString(), glNone, 2}}, 0, 3, true, true},
}};

constexpr int SymbolSize = 48;
constexpr int GlyphSize = 24;
constexpr int ButtonHeight = 38;

TDlgExecHook::TFunction& ExecHook() {
    static TDlgExecHook::TFunction hook;
    return hook;
}

bool terminateRequested = false;

void WatchQuit() {
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                     [] { terminateRequested = true; });
}

// The application's window, for a dialog that the application owns.
QWidget* MainWindow() {
    if (TForm* form = TForm::MainForm(); form && form->isVisible()) return form;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) && w->isVisible()) return w;
    return nullptr;
}

bool IsInteger(const QVariant& v, int& n) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong value = v.toLongLong(&ok);
        if (!ok || value < INT_MIN || value > INT_MAX) return false;
        if (v.typeId() == QMetaType::ULongLong && v.toULongLong() > INT_MAX) return false;
        n = static_cast<int>(value);
        return true;
    }
    default:
        return false;
    }
}

// The formatting codes at the start of S (after its first two characters,
// with Skip) applied to F; the rest of S, trimmed.
QString ApplyFormatCodes(QFont& F, QString S, bool Skip) {
    if (Skip) S.remove(0, 2);
    while (S.size() >= 2 && S[0] == u'^') {
        switch (S[1].unicode()) {
        case u'B':
            F.setBold(true);
            break;
        case u'I':
            F.setItalic(true);
            break;
        case u'U':
            F.setUnderline(true);
            break;
        case u'L':
            AddFontPoints(F, 2);
            break;
        case u'X':
            AddFontPoints(F, 4);
            break;
        default:
            break;
        }
        S.remove(0, 2);
    }
    return StrTrim(S);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchQuit)

TbDlgForm::TbDlgForm(QWidget* owner) : QDialog(owner) {
    SetClientSize(295, 89);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    const auto symbol = [this](const char* file, int left) {
        auto* img = new QLabel(this);
        img->setPixmap(RenderSvg(QString::fromLatin1(file), SymbolSize));
        img->setGeometry(left, 0, SymbolSize, SymbolSize);
        img->hide();
        return img;
    };
    imgI = symbol(":/bdlg/information.svg", 0);
    imgQ = symbol(":/bdlg/question.svg", 48);
    imgW = symbol(":/bdlg/warning.svg", 96);
    imgE = symbol(":/bdlg/error.svg", 144);
    ImgDlgBtn = {QIcon(RenderSvg(QStringLiteral(":/bdlg/check.svg"), GlyphSize)),
                 QIcon(RenderSvg(QStringLiteral(":/bdlg/cross.svg"), GlyphSize)),
                 QIcon(RenderSvg(QStringLiteral(":/bdlg/noentry.svg"), GlyphSize))};
}

void TbDlgForm::SetClientSize(int Width, int Height) {
    setFixedSize(Width, Height);
}

void TbDlgForm::reject() {
    if (CancelButton) CancelButton->click();
}

void TbDlgForm::closeEvent(QCloseEvent* event) {
    if (!CloseBox) {
        event->ignore();
        return;
    }
    event->accept();
    done(2);
}

void TbDlgButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    p.drawControl(QStyle::CE_PushButtonBevel, option);
    QRect text = rect().adjusted(4, 2, -4, -2);
    if (!icon().isNull()) {
        const QSize size = iconSize();
        const QRect glyph(4, (height() - size.height()) / 2, size.width(), size.height());
        icon().paint(&p, glyph, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        text.setLeft(glyph.right() + 1 + 4);
    }
    style()->drawItemText(&p, text, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                          palette(), isEnabled(), QPushButton::text(), QPalette::ButtonText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

namespace {

// Where the dialog's parts go, from the top down.
struct TDlgLayout {
    int X = 10; // the left edge of the texts
    int Y = 10; // the top of the next part
    int ClientWidth = 400;
};

// The dialog with the kind's title and the configured font, over the window
// it belongs to.
TbDlgForm* NewDialogForm(TDlgKind Kind, const TDlgLayout& Layout) {
    QWidget* owner = DialogOwner();
    if (!owner) owner = MainWindow();
    auto* form = new TbDlgForm(owner);
    form->SetClientSize(Layout.ClientWidth, 600);
    form->setWindowTitle(KindTitles[Kind < KindTitles.size() ? Kind : dkNone]);
    const TbDBToolCfg& cfg = BemoCompConfig.DBToolCfg;
    QFont font = form->font();
    font.setFamily(cfg.DialogFontName);
    font.setPointSize(std::max(1, cfg.DialogFontSize));
    form->setFont(font);
    return form;
}

void AddButtons(TbDlgForm& Form, const TButtonSet& Set) {
    for (const TButtonDef& def : Set.Buttons) {
        auto* button = new TbDlgButton(def.Caption, &Form);
        if (def.Glyph != glNone) {
            button->setIcon(Form.ImgDlgBtn[static_cast<std::size_t>(def.Glyph)]);
            button->setIconSize(QSize(GlyphSize, GlyphSize));
        }
        const int result = def.Result;
        TbDlgForm* f = &Form;
        QObject::connect(button, &QPushButton::clicked, f, [f, result] { f->done(result); });
        Form.Buttons.push_back(button);
    }
}

// The kind's symbol at the top left; the texts go beside it.
void ShowSymbol(TbDlgForm& Form, TDlgKind Kind, TDlgLayout& Layout) {
    QLabel* symbol = Kind == dkInformation ? Form.imgI
                     : Kind == dkQuestion  ? Form.imgQ
                     : Kind == dkWarning   ? Form.imgW
                     : Kind == dkError     ? Form.imgE
                                           : nullptr;
    if (!symbol) return;
    symbol->move(Layout.X, Layout.Y);
    symbol->show();
    Layout.X += symbol->width() + 10;
    Layout.Y += 8;
}

// Text is "@1" to "@3" and the caption of that button. A button the set does
// not have is not there to caption.
void CaptionButton(TbDlgForm& Form, const QString& Text) {
    const auto index = static_cast<std::size_t>(Text[1].unicode() - u'1');
    if (index >= Form.Buttons.size()) return;
    QPushButton* button = Form.Buttons[index];
    QFont f = button->font();
    button->setText(ApplyFormatCodes(f, Text, true));
    button->setFont(f);
}

// A line of text under the ones before; the dialog widens for it, up to the
// screen's width.
void AddLabel(TbDlgForm& Form, const QString& Text, bool WordWrap, int ScreenWidth,
              TDlgLayout& Layout) {
    auto* label = new TbHTMLLabel(&Form);
    label->setGeometry(Layout.X, Layout.Y, Layout.ClientWidth - Layout.X - 10, label->height());
    label->SetWordWrap(WordWrap);
    QFont f = label->font();
    const QString caption = ApplyFormatCodes(f, Text, false);
    label->setFont(f);
    label->SetCaption(caption);
    Layout.Y += label->height() + 10;
    if (label->width() > ScreenWidth) label->resize(ScreenWidth - Layout.X - 20, label->height());
    if (Layout.ClientWidth - label->x() - 10 < label->width())
        Layout.ClientWidth = label->x() + label->width() + 10;
    label->OnAnchorClick = BemoCompConfig.DBToolCfg.OnDialogAnchorClick;
    Form.Labels.push_back(label);
}

void AddItems(TbDlgForm& Form, const QVariantList& Items, bool WordWrap, TDlgLayout& Layout) {
    const QScreen* screen = Form.screen();
    const int screenWidth = screen ? screen->geometry().width() : INT_MAX;
    for (const QVariant& item : Items) {
        int number = 0;
        if (IsInteger(item, number)) {
            Form.HelpContext = number;
            continue;
        }
        if (item.typeId() != QMetaType::QString) continue;
        const QString text = item.toString() + QStringLiteral("   ");
        if (text.startsWith(u"^C"))
            Form.setWindowTitle(StrTrim(text.mid(2)));
        else if (text[0] == u'@' && text[1] >= u'1' && text[1] <= u'3')
            CaptionButton(Form, text);
        else
            AddLabel(Form, text, WordWrap, screenWidth, Layout);
    }
}

// The buttons in a row under the texts: of one width, or sharing the
// dialog's width for custom captions.
void PlaceButtons(TbDlgForm& Form, const TButtonSet& Set, TDlgLayout& Layout) {
    Layout.Y = std::max(Layout.Y + 10, 60);
    const int N = static_cast<int>(Form.Buttons.size());
    const int W = Set.Custom ? (Layout.ClientWidth - 50) / N : 100;
    const int G = (Layout.ClientWidth - 20 - N * W) / (N + 1);
    for (int i = 1; i <= N; ++i)
        Form.Buttons[static_cast<std::size_t>(i - 1)]->setGeometry(G * i + 10 + (i - 1) * W,
                                                                   Layout.Y, W, ButtonHeight);
    Layout.Y += ButtonHeight + 10;
}

// The keys and the close box as the set says, and the final size.
void FinishDialog(TbDlgForm& Form, const TButtonSet& Set, const TDlgLayout& Layout) {
    if (Set.Default) Form.Buttons[static_cast<std::size_t>(Set.Default - 1)]->setDefault(true);
    if (Set.Cancel) Form.CancelButton = Form.Buttons[static_cast<std::size_t>(Set.Cancel - 1)];
    Form.CloseBox = Set.CloseBox;
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (Set.CloseBox) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    Form.setWindowFlags(flags);
    Form.SetClientSize(Layout.ClientWidth, Layout.Y);
}

} // namespace

int MsgDialog(TDlgKind Kind, TDlgButtons Buttons, const QVariantList& Items, bool WordWrap) {
    const TButtonSet& set = ButtonSets[std::min<std::size_t>(Buttons, ButtonSets.size() - 1)];
    TDlgLayout layout;
    QPointer<TbDlgForm> form = NewDialogForm(Kind, layout);
    AddButtons(*form, set);
    ShowSymbol(*form, Kind, layout);
    AddItems(*form, Items, WordWrap, layout);
    PlaceButtons(*form, set, layout);
    FinishDialog(*form, set, layout);

    const Qt::CursorShape previous = ResetScreenCursor();
    int result = 0;
    if (ExecHook())
        result = ExecHook()(*form);
    else
        result = form->exec();
    SetScreenCursor(previous);
    delete form.data();
    return result;
}

int ErrorMsg(const QString& Text, bool WordWrap) {
    return MsgDialog(dkError, dbOk, {Text}, WordWrap);
}

int ErrorMsgTitled(const QString& Title, const QString& Text, bool WordWrap) {
    return MsgDialog(dkError, dbOk, {QStringLiteral("^B") + Title, Text}, WordWrap);
}

bool ApplicationTerminating() {
    return terminateRequested || QCoreApplication::closingDown();
}

void ShowErrorReport(const QString& Title, const std::exception& E, bool TerminateApp) {
    if (ApplicationTerminating()) return;
    QApplication::beep();
    const QString text = QStringLiteral("Popis chyby:\r") + QString::fromUtf8(E.what());
    if (!Title.isEmpty())
        ErrorMsgTitled(Title, text, true);
    else
        ErrorMsg(text, true);
    if (TerminateApp) {
        terminateRequested = true;
        QCoreApplication::quit();
    }
}

TDlgExecHook::TDlgExecHook(TFunction F) : FPrevious(std::move(ExecHook())) {
    ExecHook() = std::move(F);
}

TDlgExecHook::~TDlgExecHook() {
    ExecHook() = std::move(FPrevious);
}
