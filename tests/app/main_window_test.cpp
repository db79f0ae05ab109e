// The main window under the offscreen platform, driven with keys and clicks.
#include "BemoCompGlobalCfg.h"
#include "EventDispatch.h"
#include "GeneratePicture.h"
#include "PropSaveMain.h"
#include "QtConvert.h"
#include "ScanSupport.h"
#include "StdCtrls.h"
#include "ZoBarCode_interface.h"
#include "bHTMLLabel.h"
#include "bImprovedComps.h"
#include "bdlg.h"
#include "btool.h"
#include "f_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

std::string S(const QString& s) {
    return s.toStdString();
}

QImage Rgb(const QImage& i) {
    return i.convertToFormat(QImage::Format_RGB32);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetEventErrorSink([this](const QString& m) { Errors << m; });
        Start();
    }
    void TearDown() override {
        Main.reset();
        SetEventErrorSink({});
        BemoCompConfig.DBToolCfg.OnSaveDialogCreate = nullptr;
    }
    // Starts the program's window (after closing one that is open).
    void Start() {
        Main.reset();
        Main = std::make_unique<TMain>(Ini);
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
        QCoreApplication::processEvents();
    }
    // Closes the window and ends it, as the program does at its end.
    void Close() {
        Main->close();
        Main.reset();
    }
    // A click on the button's circle.
    void Select(int Index) {
        QRadioButton* b = Main->bcType->Button(Index);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    void Type(const QString& Code) {
        Main->eCode->clear();
        QTest::keyClicks(Main->eCode, Code);
    }
    QImage Preview() const { return Rgb(Main->img->pixmap().toImage()); }
    QString IniText() const {
        QFile f(Ini);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    void Put(const QString& Text) const {
        QFile f(Ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Text.toUtf8());
    }

    QTemporaryDir Dir;
    QString Ini = Dir.filePath(QStringLiteral("barcodegen.ini"));
    QStringList Errors;   // errors that escaped a handler
    QStringList Messages; // texts of the library's message dialogs
    TDlgExecHook Hook{[this](TbDlgForm& Form) {
        for (auto* label : Form.Labels)
            Messages << label->text();
        return 1;
    }};
    std::unique_ptr<TMain> Main;
};

// The window as it opens the first time: every control where it belongs,
// with its caption and state, in its tab order.
TEST_F(MainWindow, FirstState) {
    TMain& m = *Main;
    EXPECT_EQ(S(m.windowTitle()), "Barcode Generator");
    EXPECT_EQ(m.size(), QSize(521, 416));
    EXPECT_EQ(m.minimumSize(), m.maximumSize()); // fixed size
    EXPECT_TRUE(m.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(m.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(S(m.font().family()), "Tahoma");
    EXPECT_EQ(m.font().pointSize(), 8);

    const struct {
        const char* Name;
        const char* Parent;
        QRect Bounds;
        const char* Caption;
    } controls[] = {
        {"bcType", "Main", {12, 8, 185, 385}, "BarCode type:"},
        {"btCopy", "Main", {212, 368, 101, 25}, "Copy image"},
        {"btSave", "Main", {324, 368, 101, 25}, "Save as"},
        {"GroupBox1", "Main", {208, 8, 301, 133}, "Code and Options:"},
        {"btGen", "GroupBox1", {192, 68, 93, 53}, "Generate"},
        {"eCode", "GroupBox1", {16, 32, 269, 21}, ""},
        {"chCheckSum", "GroupBox1", {16, 64, 129, 17}, "Add check sum digit"},
        {"chShowCode", "GroupBox1", {16, 84, 85, 17}, "Show code"},
        {"chBorder", "GroupBox1", {16, 104, 85, 17}, "Use border"},
        {"eBorder", "GroupBox1", {104, 104, 40, 21}, "10"},
        {"Label1", "GroupBox1", {16, 16, 46, 13}, "Bar code:"},
        {"img", "Main", {208, 152, 300, 200}, ""},
    };
    for (const auto& c : controls) {
        auto* w = m.findChild<QWidget*>(QString::fromLatin1(c.Name));
        ASSERT_NE(w, nullptr) << c.Name;
        EXPECT_EQ(S(w->parentWidget()->objectName()), c.Parent) << c.Name;
        EXPECT_EQ(w->geometry(), c.Bounds) << c.Name;
        QString caption = w->property("text").toString();
        if (auto* box = qobject_cast<QGroupBox*>(w)) caption = box->title();
        EXPECT_EQ(S(caption), c.Caption) << c.Name;
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(b->iconSize(), QSize(16, 16));
        }
    }
    // The credits: one link to the about page beside the program.
    EXPECT_EQ(m.lblAuthor->pos(), QPoint(12, 396));
    const QRegularExpression link(R"re(^<A HREF="(file:///[^"]+/about\.html)">[^<]+</A>$)re");
    const auto match = link.match(m.lblAuthor->Caption());
    ASSERT_TRUE(match.hasMatch()) << S(m.lblAuthor->Caption());
    EXPECT_TRUE(QFile::exists(QStringLiteral(BARCODEGEN_APP_DIR "/about.html")));

    std::vector<std::u16string> names;
    FillBarcodeTypeNames(names, false);
    ASSERT_EQ(m.bcType->Items().size(), 23);
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(m.bcType->Items()[i], ToQString(names[std::size_t(i)]));
    EXPECT_EQ(m.bcType->ItemIndex(), -1);
    EXPECT_FALSE(m.chCheckSum->isEnabled());
    EXPECT_TRUE(m.chCheckSum->isChecked() && m.chShowCode->isChecked() && m.chBorder->isChecked());
    EXPECT_FALSE(m.btCopy->isEnabled() || m.btSave->isEnabled() || m.btGen->isEnabled());
    EXPECT_TRUE(m.img->pixmap().isNull());

    // Tab order, as the Tab key walks it (every control enabled, a symbology
    // selected: the radio group is one stop, its checked button).
    Select(14);
    m.btCopy->setEnabled(true);
    m.btSave->setEnabled(true);
    Type("1");
    m.bcType->Button(14)->setFocus();
    QStringList order;
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* f = QApplication::focusWidget();
        order << (f == m.bcType->Button(14) ? QStringLiteral("bcType") : f->objectName());
    }
    EXPECT_EQ(S(order.join(u' ')),
              "btCopy btSave btGen eCode chCheckSum chShowCode chBorder eBorder bcType");

    // Generate follows the code text.
    m.eCode->clear();
    EXPECT_FALSE(m.btGen->isEnabled());
    QTest::keyClicks(m.eCode, "5");
    EXPECT_TRUE(m.btGen->isEnabled());
    QTest::keyClick(m.eCode, Qt::Key_Backspace);
    EXPECT_FALSE(m.btGen->isEnabled());
    EXPECT_TRUE(Errors.isEmpty() && Messages.isEmpty());
}

// The check-sum box is enabled for EAN-8, EAN-13 and UPC-A only, keeps its
// state while disabled, and that state is what Generate uses.
TEST_F(MainWindow, CheckSumBoxFollowsTheSelection) {
    TMain& m = *Main;
    for (int i = 0; i < 23; ++i) {
        Select(i);
        EXPECT_EQ(m.bcType->ItemIndex(), i);
        EXPECT_EQ(m.chCheckSum->isEnabled(), i >= 13 && i <= 15) << i;
        EXPECT_TRUE(m.chCheckSum->isChecked()) << i;
    }
    Select(bcCodeEAN13);
    QTest::mouseClick(m.chCheckSum, Qt::LeftButton);
    ASSERT_FALSE(m.chCheckSum->isChecked());
    const struct {
        int Type;
        const char* Code;
        bool CheckSum;
    } cases[] = {
        {bcCode39, "ABC", false},       // disabled and unchecked: no check character
        {bcCodeUPC_E0, "123456", true}, // disabled and checked
    };
    for (const auto& c : cases) {
        if (m.chCheckSum->isChecked() != c.CheckSum) {
            Select(bcCodeEAN13);
            QTest::mouseClick(m.chCheckSum, Qt::LeftButton);
        }
        Select(c.Type);
        EXPECT_FALSE(m.chCheckSum->isEnabled());
        Type(QString::fromLatin1(c.Code));
        QTest::mouseClick(m.btGen, Qt::LeftButton);
        TGenerateOptions o;
        o.UseCheckSum = c.CheckSum;
        EXPECT_EQ(Preview(), GenerateBarcodePicture(QString::fromLatin1(c.Code), c.Type, o))
            << c.Code;
    }
    EXPECT_TRUE(Errors.isEmpty()) << S(Errors.join(u'\n'));
}

// Enter runs Generate; the preview is the command-line generator's picture
// (fitted into 300 x 200, cropped to symbol and border), and Copy puts it on
// the clipboard.
TEST_F(MainWindow, GenerateCopy) {
    TMain& m = *Main;
    const QString wide = QString(60, u'W');
    const struct {
        int Type;
        QString Code;
        bool Border;
        const char* BorderText;
        int Width; // 0: wider than the 300 pixels it was fitted into
        int Height;
    } cases[] = {
        {bcCodeEAN13, "590123412345", true, "10", 238, 190},
        {bcCodeEAN13, "590123412345", false, "10", 218, 200},
        {bcCodeEAN8, "9638507", true, "0", 231, 200},
        {bcCode128B, wide, false, "10", 0, 200},
    };
    for (const auto& c : cases) {
        Select(c.Type);
        if (m.chBorder->isChecked() != c.Border) QTest::mouseClick(m.chBorder, Qt::LeftButton);
        m.eBorder->setText(QString::fromLatin1(c.BorderText));
        Type(c.Code);
        QTest::keyClick(m.eCode, Qt::Key_Return);
        TGenerateOptions o;
        o.Border = c.Border ? QString::fromLatin1(c.BorderText).toInt() : 0;
        const QImage expected = GenerateBarcodePicture(c.Code, c.Type, o);
        EXPECT_EQ(Preview(), expected) << S(c.Code);
        EXPECT_EQ(m.img->size(), expected.size());
        if (c.Width)
            EXPECT_EQ(expected.width(), c.Width) << S(c.Code);
        else
            EXPECT_GT(expected.width(), 300);
        EXPECT_EQ(expected.height(), c.Height) << S(c.Code);
        EXPECT_TRUE(m.btCopy->isEnabled() && m.btSave->isEnabled());
        QTest::mouseClick(m.btCopy, Qt::LeftButton);
        EXPECT_EQ(Rgb(QGuiApplication::clipboard()->image()), Preview()) << S(c.Code);
    }
    // Enter in the border field runs it too.
    m.img->clear();
    QTest::keyClick(m.eBorder, Qt::Key_Return);
    EXPECT_FALSE(m.img->pixmap().isNull());
    EXPECT_TRUE(Errors.isEmpty()) << S(Errors.join(u'\n'));
}

// A refused code shows the engine's message once; the preview, Copy and Save
// as keep the last good picture.
TEST_F(MainWindow, ErrorsKeepTheLastPicture) {
    TMain& m = *Main;
    Type("123");
    QTest::keyClick(m.eCode, Qt::Key_Return); // nothing selected
    ASSERT_EQ(Errors, QStringList("TZoBarcode: wrong BarcodeType"));
    EXPECT_FALSE(m.btCopy->isEnabled());
    EXPECT_TRUE(m.img->pixmap().isNull());

    Select(bcCodeEAN13);
    Type("590123412345");
    QTest::mouseClick(m.btGen, Qt::LeftButton);
    const QImage good = Preview();
    Errors.clear();
    const struct {
        int Type;
        const char* Code;
        const char* Message;
    } cases[] = {
        {bcCodeEAN13, "59012AB", "Barcode must be numeric"},
        {bcCodeEAN8, "123456789012", nullptr}, // the encoder's length message
    };
    for (const auto& c : cases) {
        Select(c.Type);
        Type(QString::fromLatin1(c.Code));
        QTest::mouseClick(m.btGen, Qt::LeftButton);
        ASSERT_EQ(Errors.size(), 1) << c.Code;
        if (c.Message) {
            EXPECT_EQ(S(Errors[0]), c.Message);
        }
        Errors.clear();
        EXPECT_EQ(Preview(), good) << c.Code;
        EXPECT_EQ(Rgb(m.Bitmap()), good);
        EXPECT_TRUE(m.btCopy->isEnabled() && m.btSave->isEnabled());
        QTest::mouseClick(m.btCopy, Qt::LeftButton);
        EXPECT_EQ(Rgb(QGuiApplication::clipboard()->image()), good);
    }
}

// Generate through the window, Save as a PNG, and two independent decoders
// read the code back from the file.
TEST_F(MainWindow, SavedPictureScans) {
    TMain& m = *Main;
    QString directory;
    BemoCompConfig.DBToolCfg.OnSaveDialogCreate = [&](QObject* Sender) {
        auto* dialog = qobject_cast<QFileDialog*>(Sender);
        QTimer::singleShot(0, dialog, [&, dialog] {
            directory = dialog->directory().absolutePath() + u'/';
            dialog->selectFile(Dir.filePath(QStringLiteral("ean.png")));
            static_cast<QDialog*>(dialog)->accept();
        });
    };
    Select(bcCodeEAN13);
    Type("590123412345");
    QTest::keyClick(m.eCode, Qt::Key_Return);
    QTest::mouseClick(m.btSave, Qt::LeftButton);
    EXPECT_EQ(directory, QDir(AppFolder()).absolutePath() + u'/');
    const QImage saved(Dir.filePath(QStringLiteral("ean.png")), "PNG");
    ASSERT_EQ(Rgb(saved), Preview());
    for (const ScanResult& r : {ScanWithZbar(saved), ScanWithZxing(saved)}) {
        EXPECT_TRUE(r.ok) << r.log;
        EXPECT_EQ(r.text, "5901234123457") << r.log;
    }
    EXPECT_TRUE(Errors.isEmpty() && Messages.isEmpty());
}

// The settings file: the first run writes the sections of the six controls
// after the window's; the next start brings every value and the position
// back; a hand-edited selection starts with its own rules applied.
TEST_F(MainWindow, SettingsSurviveARestart) {
    Select(bcCodeEAN13);
    QTest::mouseClick(Main->chCheckSum, Qt::LeftButton);
    Select(6);
    Type("ABC-123");
    Main->move(40, 30);
    QCoreApplication::processEvents();
    const TRect bounds = Main->BoundsRect();
    Close();
    QString text = IniText();
    const QString where = QStringLiteral("Left=%1\r\nRight=%2\r\nTop=%3\r\nBottom=%4\r\n")
                              .arg(bounds.Left)
                              .arg(bounds.Right)
                              .arg(bounds.Top)
                              .arg(bounds.Bottom);
    ASSERT_TRUE(text.contains(where)) << S(text);
    text.replace(where, "Left=400\r\nRight=927\r\nTop=200\r\nBottom=644\r\n");
    EXPECT_EQ(S(text), "[Main_XY]\r\nWinMinMax=0\r\nLeft=400\r\nRight=927\r\nTop=200\r\n"
                       "Bottom=644\r\n\r\n[Main.bcType]\r\nItemIndex=6\r\n\r\n[Main.eCode]\r\n"
                       "Text=ABC-123\r\n\r\n[Main.chShowCode]\r\nState=1\r\n\r\n"
                       "[Main.chCheckSum]\r\nState=0\r\n\r\n[Main.chBorder]\r\nState=1\r\n\r\n"
                       "[Main.eBorder]\r\nText=10\r\n\r\n");

    // An edited file: no show code, no border, a border text that is no number.
    Put(IniText().replace("State=1", "State=0").replace("Text=10", "Text=7x"));
    Start();
    TMain& m = *Main;
    EXPECT_EQ(m.BoundsRect().Left, bounds.Left);
    EXPECT_EQ(m.BoundsRect().Top, bounds.Top);
    EXPECT_EQ(m.size(), QSize(521, 416));
    EXPECT_EQ(m.bcType->ItemIndex(), 6);
    EXPECT_EQ(S(m.eCode->text()), "ABC-123");
    EXPECT_TRUE(m.btGen->isEnabled());
    EXPECT_FALSE(m.chShowCode->isChecked() || m.chCheckSum->isChecked() || m.chBorder->isChecked());
    EXPECT_EQ(S(m.eBorder->text()), "7x");
    Close();

    Put(IniText().replace("ItemIndex=6", "ItemIndex=14"));
    Start();
    EXPECT_EQ(Main->bcType->ItemIndex(), 14);
    EXPECT_TRUE(Main->bcType->Button(14)->isChecked());
    EXPECT_TRUE(Main->chCheckSum->isEnabled());
    EXPECT_TRUE(Errors.isEmpty() && Messages.isEmpty()) << S((Errors + Messages).join(u'\n'));
}

// A settings file that cannot be read: the window says so once and starts as
// on a first run.
TEST_F(MainWindow, UnreadableSettingsStartWithTheDefaults) {
    Close();
    QFile::remove(Ini);
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("barcodegen.ini"))); // a folder in its place
    Start();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains(u"nelze otevřít")) << S(Messages[0]);
    EXPECT_EQ(Main->bcType->ItemIndex(), -1);
    EXPECT_TRUE(Main->eCode->text().isEmpty());
    EXPECT_EQ(S(Main->eBorder->text()), "10");
    EXPECT_TRUE(Errors.isEmpty()) << S(Errors.join(u'\n'));
}

} // namespace
