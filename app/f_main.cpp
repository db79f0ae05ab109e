#include "app/f_main.h"

#include "complib/BemoCompGlobalCfg.h"
#include "complib/bHTMLLabel.h"
#include "complib/bImprovedComps.h"
#include "complib/bdlg.h"
#include "complib/btool.h"
#include "engine/ZoBarCode_interface.h"
#include "forms/EventDispatch.h"
#include "forms/StdCtrls.h"
#include "picexport/BitmapImage.h"
#include "picexport/bpictool.h"
#include "picture/GeneratePicture.h"
#include "platform/QtConvert.h"
#include "platform/SvgIcon.h"
#include "platform/WindowFont.h"
#include "propsave/PropSaveMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

namespace {

constexpr int IconSize = 16;

template <class T>
T* Place(QWidget* Parent, const char* Name, int Left, int Top, int Width, int Height) {
    auto* w = new T(Parent);
    w->setObjectName(QString::fromLatin1(Name));
    w->setGeometry(Left, Top, Width, Height);
    return w;
}

// A push button with its 16 x 16 icon 4 pixels from the left (the dialogs'
// button does that drawing).
QPushButton* PlaceButton(QWidget* Parent, const char* Name, const QString& Caption,
                         const QIcon& Icon, int Left, int Top, int Width, int Height) {
    QPushButton* b = Place<TbDlgButton>(Parent, Name, Left, Top, Width, Height);
    b->setText(Caption);
    b->setIcon(Icon);
    b->setIconSize(QSize(IconSize, IconSize));
    return b;
}

QCheckBox* PlaceCheck(QWidget* Parent, const char* Name, const QString& Caption, int Left, int Top,
                      int Width, int Height) {
    QCheckBox* c = Place<QCheckBox>(Parent, Name, Left, Top, Width, Height);
    c->setText(Caption);
    c->setChecked(true);
    return c;
}

// The credits: the program's makers, linked to the about page.
QString CreditsCaption() {
    const QString page =
        QUrl::fromLocalFile(AboutPageFor(AppFolder())).toString(QUrl::FullyEncoded);
    return QStringLiteral("<A HREF=\"%1\">The barcodegen team</A>").arg(page);
}

} // namespace

QString AboutPageFor(const QString& ProgramFolder) {
    const QString beside = QDir(ProgramFolder).filePath(QStringLiteral("about.html"));
    const QString installed =
        QDir::cleanPath(QDir(ProgramFolder).filePath(QStringLiteral(BARCODEGEN_DATA_FROM_BIN)) +
                        QStringLiteral("/about.html"));
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
}

void InitProgram() {
    RegisterWindowFont();
    InitBemoCompConfig();
    // The title of the program's message boxes. Not Qt's display name: the
    // desktop would append that to every window's title, dialogs included.
    SetApplicationTitle(QString::fromUtf16(kProgramTitle));
}

TMain::TMain(const QString& SettingsFile, QWidget* Parent) : TForm(Parent) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QString::fromUtf16(kProgramTitle));
    SetClientSize(521, 416);
    SetBorderStyle(bsSingle);
    // System menu and minimise button only: the size is fixed.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    SetPosition(poDesktopCenter);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    CreateControls();
    CreateSavers(SettingsFile);
    // The window's own handlers, before the settings saver hooks and chains them.
    ConnectHandlers();

    // Typing goes into the code at every start, whatever was restored.
    SetActiveControl(eCode);
    FinishCreate();
    ArrangeTabOrder();
}

void TMain::CreateControls() {
    ImgList = {QIcon(RenderSvg(QStringLiteral(":/app/generate.svg"), IconSize)),
               QIcon(RenderSvg(QStringLiteral(":/app/copy.svg"), IconSize)),
               QIcon(RenderSvg(QStringLiteral(":/app/save.svg"), IconSize))};

    // In tab order, within each parent.
    bcType = Place<TRadioGroup>(this, "bcType", 12, 8, 185, 385);
    bcType->SetCaption(QStringLiteral("BarCode type:"));
    btCopy =
        PlaceButton(this, "btCopy", QStringLiteral("Copy image"), ImgList[1], 212, 368, 101, 25);
    btCopy->setEnabled(false);
    btSave = PlaceButton(this, "btSave", QStringLiteral("Save as"), ImgList[2], 324, 368, 101, 25);
    btSave->setEnabled(false);
    // Enter on a focused button presses that button.
    btCopy->setAutoDefault(true);
    btSave->setAutoDefault(true);
    GroupBox1 = Place<QGroupBox>(this, "GroupBox1", 208, 8, 301, 133);
    GroupBox1->setTitle(QStringLiteral("Code and Options:"));
    btGen =
        PlaceButton(GroupBox1, "btGen", QStringLiteral("Generate"), ImgList[0], 192, 68, 93, 53);
    btGen->setDefault(true);
    eCode = Place<QLineEdit>(GroupBox1, "eCode", 16, 32, 269, 21);
    chCheckSum =
        PlaceCheck(GroupBox1, "chCheckSum", QStringLiteral("Add check sum digit"), 16, 64, 129, 17);
    chShowCode = PlaceCheck(GroupBox1, "chShowCode", QStringLiteral("Show code"), 16, 84, 85, 17);
    chBorder = PlaceCheck(GroupBox1, "chBorder", QStringLiteral("Use border"), 16, 104, 85, 17);
    eBorder = Place<TbEditNum>(GroupBox1, "eBorder", 104, 104, 40, 21);
    eBorder->SetMaxValue(30);
    eBorder->SetStepValue(1);
    eBorder->SetValue(10);
    Label1 = Place<QLabel>(GroupBox1, "Label1", 16, 16, 46, 13);
    Label1->setText(QStringLiteral("Bar code:"));
    img = Place<QLabel>(this, "img", 208, 152, 300, 200);
    img->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblAuthor = Place<TbHTMLLabel>(this, "lblAuthor", 12, 396, 94, 15);
    lblAuthor->SetCaption(CreditsCaption());
}

void TMain::CreateSavers(const QString& SettingsFile) {
    PropSaveFile1 = new TPropSaveFile(this);
    PropSaveFile1->setObjectName(QStringLiteral("PropSaveFile1"));
    if (!SettingsFile.isEmpty()) PropSaveFile1->SetFileName(SettingsFile);
    PropSaveMain1 = new TPropSaveMain(this);
    PropSaveMain1->setObjectName(QStringLiteral("PropSaveMain1"));
    PropSaveMain1->SetPropSaveFile(PropSaveFile1);
    PropSaveMain1->PropSaveEvents = pseFormShowHide;
    PropSaveMain1->StdCtrl()->Components = {
        QStringLiteral("bcType"),     QStringLiteral("eCode"),    QStringLiteral("chShowCode"),
        QStringLiteral("chCheckSum"), QStringLiteral("chBorder"), QStringLiteral("eBorder")};
}

void TMain::ConnectHandlers() {
    OnCreate = [this](QObject* s) { FormCreate(s); };
    OnDestroy = [this](QObject* s) { FormDestroy(s); };
    OnShow = [this](QObject* s) { FormShow(s); };
    bcType->OnClick = [this](QObject* s) { bcTypeClick(s); };
    auto wire = [this](QPushButton* Button, void (TMain::*Handler)(QObject*)) {
        connect(Button, &QPushButton::clicked, this, [this, Button, Handler] {
            DispatchEvent([this, Handler](QObject* s) { (this->*Handler)(s); }, Button);
        });
    };
    wire(btGen, &TMain::btGenClick);
    wire(btCopy, &TMain::btCopyClick);
    wire(btSave, &TMain::btSaveClick);
    connect(eCode, &QLineEdit::textChanged, this,
            [this] { DispatchEvent([this](QObject* s) { eCodeChange(s); }, eCode); });
    // The number field keeps Enter to itself and tells of it.
    connect(eBorder, &QLineEdit::returnPressed, this, &TMain::PressDefault);
}

TMain::~TMain() {
    BeforeDestruction();
}

void TMain::ArrangeTabOrder() {
    // The radio buttons are made in FormCreate, after everything else.
    QList<QWidget*> order;
    for (int i = 0; i < bcType->Items().size(); ++i)
        order << bcType->Button(i);
    order << btCopy << btSave << btGen << eCode << chCheckSum << chShowCode << chBorder << eBorder;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TMain::FormCreate(QObject*) {
    B = QImage();
    std::vector<std::u16string> names;
    FillBarcodeTypeNames(names, false);
    QStringList items;
    for (const std::u16string& name : names)
        items << ToQString(name);
    bcType->SetItems(items);
}

void TMain::FormDestroy(QObject*) {
    B = QImage();
}

void TMain::FormShow(QObject*) {
    bcTypeClick(nullptr);
    eCodeChange(nullptr);
}

void TMain::bcTypeClick(QObject*) {
    const int i = bcType->ItemIndex();
    chCheckSum->setEnabled(i == bcCodeEAN8 || i == bcCodeEAN13 || i == bcCodeUPC_A);
}

void TMain::eCodeChange(QObject*) {
    btGen->setEnabled(!eCode->text().isEmpty());
}

void TMain::btGenClick(QObject*) {
    if (eCode->text().isEmpty()) return;
    TGenerateOptions options;
    options.Border = chBorder->isChecked() ? eBorder->GetAsInteger() : 0;
    options.ShowText = chShowCode->isChecked();
    // Whether or not the box is enabled.
    options.UseCheckSum = chCheckSum->isChecked();
    // A refused code raises here: the previous picture stays in the preview
    // and in B, so that Copy and Save as still give what the preview shows.
    B = ImageOfBitmap(GenerateBarcodePicture(ToU16(eCode->text()), bcType->ItemIndex(), options));
    img->clear();
    img->resize(B.size());
    img->setPixmap(QPixmap::fromImage(B));
    btCopy->setEnabled(true);
    btSave->setEnabled(true);
}

void TMain::btCopyClick(QObject*) {
    // Qt offers it to other programs as PNG, BMP and the other image types.
    QGuiApplication::clipboard()->setImage(B);
}

void TMain::btSaveClick(QObject*) {
    SavePictureAs(B, AppFolder(), pffBMP);
}

void TMain::PressDefault() {
    if (btGen->isEnabled()) btGen->click();
}

void TMain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        PressDefault();
        event->accept();
        return;
    }
    TForm::keyPressEvent(event);
}
