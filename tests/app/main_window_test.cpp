// The main window under the offscreen platform, driven with keys and clicks.
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
#include "picture/GeneratePicture.h"
#include "platform/QtConvert.h"
#include "tests/FileContent.h"
#include "tests/ScanSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

std::string S(const QString& s) {
    return s.toStdString();
}

QImage Rgb(const QImage& i) {
    return i.convertToFormat(QImage::Format_RGB32);
}

QImage Generated(const QString& code, int type, const TGenerateOptions& o) {
    return Rgb(ImageOfBitmap(GenerateBarcodePicture(ToU16(code), type, o)));
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
    // Starts the window as the program does, closing one that is open.
    void Start() {
        Main.reset();
        Main = std::make_unique<TMain>(Ini);
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    }
    void Select(int Index) { // a click on the button's circle
        QRadioButton* b = Main->bcType->Button(Index);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    void Type(const QString& Code) {
        Main->eCode->clear();
        QTest::keyClicks(Main->eCode, Code);
    }
    void Click(QWidget* W) { QTest::mouseClick(W, Qt::LeftButton); }
    QImage Preview() const { return Rgb(Main->img->pixmap().toImage()); }
    QImage Clipboard() const { return Rgb(QGuiApplication::clipboard()->image()); }
    QString IniText() const { return QString::fromUtf8(ReadAll(Ini)); }
    void Put(const QString& Text) const { WriteAll(Ini, Text.toUtf8()); }

    QTemporaryDir Dir;
    QString Ini = Dir.filePath(QStringLiteral("barcodegen.ini"));
    QStringList Errors;   // errors that escaped a handler (the error box)
    QStringList Messages; // texts of the library's message dialogs
    QStringList Titles;   // and their titles
    TDlgExecHook Hook{[this](TbDlgForm& Form) {
        Titles << Form.windowTitle();
        for (auto* label : Form.Labels)
            Messages << label->text();
        return 1;
    }};
    std::unique_ptr<TMain> Main;
};

// The window as it first opens: every control where it belongs, with its
// caption and state, in its tab order.
TEST_F(MainWindow, FirstState) {
    TMain& m = *Main;
    EXPECT_EQ(S(m.windowTitle()), "Barcode Generator");
    EXPECT_EQ(m.size(), QSize(521, 416));
    EXPECT_EQ(m.minimumSize(), m.maximumSize());
    EXPECT_EQ(S(m.font().family()) + std::to_string(m.font().pointSize()), "Tahoma8");
    const struct {
        QWidget* Control;
        QWidget* Parent;
        QRect Bounds;
        const char* Caption;
    } controls[] = {
        {m.bcType, &m, {12, 8, 185, 385}, "BarCode type:"},
        {m.btCopy, &m, {212, 368, 101, 25}, "Copy image"},
        {m.btSave, &m, {324, 368, 101, 25}, "Save as"},
        {m.GroupBox1, &m, {208, 8, 301, 133}, "Code and Options:"},
        {m.btGen, m.GroupBox1, {192, 68, 93, 53}, "Generate"},
        {m.eCode, m.GroupBox1, {16, 32, 269, 21}, ""},
        {m.chCheckSum, m.GroupBox1, {16, 64, 129, 17}, "Add check sum digit"},
        {m.chShowCode, m.GroupBox1, {16, 84, 85, 17}, "Show code"},
        {m.chBorder, m.GroupBox1, {16, 104, 85, 17}, "Use border"},
        {m.eBorder, m.GroupBox1, {104, 104, 40, 21}, "10"},
        {m.Label1, m.GroupBox1, {16, 16, 46, 13}, "Bar code:"},
        {m.img, &m, {208, 152, 300, 200}, ""},
    };
    for (const auto& c : controls) {
        const QString name = c.Control->objectName();
        EXPECT_EQ(m.findChild<QWidget*>(name), c.Control) << S(name);
        EXPECT_EQ(c.Control->parentWidget(), c.Parent) << S(name);
        EXPECT_EQ(c.Control->geometry(), c.Bounds) << S(name);
        auto* box = qobject_cast<QGroupBox*>(c.Control);
        EXPECT_EQ(S(box ? box->title() : c.Control->property("text").toString()), c.Caption);
    }
    EXPECT_EQ(m.btGen->iconSize(), QSize(16, 16));
    // The credits: one link to the about page that the build puts beside the program.
    EXPECT_EQ(m.lblAuthor->pos(), QPoint(12, 396));
    EXPECT_TRUE(QRegularExpression(R"re(^<A HREF="file:///[^"]+/about\.html">[^<]+</A>$)re")
                    .match(m.lblAuthor->Caption())
                    .hasMatch())
        << S(m.lblAuthor->Caption());
    EXPECT_TRUE(QFile::exists(QStringLiteral(BARCODEGEN_APP_DIR "/about.html")));

    ASSERT_EQ(m.bcType->Items().size(), 23);
    EXPECT_EQ(S(m.bcType->Items()[14]), "CodeEAN13");
    EXPECT_EQ(m.bcType->ItemIndex(), -1);
    EXPECT_FALSE(m.chCheckSum->isEnabled());
    EXPECT_TRUE(m.chCheckSum->isChecked() && m.chShowCode->isChecked() && m.chBorder->isChecked());
    EXPECT_FALSE(m.btCopy->isEnabled() || m.btSave->isEnabled() || m.btGen->isEnabled());
    QTest::keyClicks(m.eCode, "5");
    EXPECT_TRUE(m.btGen->isEnabled());
    QTest::keyClick(m.eCode, Qt::Key_Backspace);
    EXPECT_FALSE(m.btGen->isEnabled());

    // Tab order, as the Tab key walks it; the radio group is one stop, its checked button.
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
    EXPECT_TRUE(Errors.isEmpty() && Messages.isEmpty());
}

// The check-sum box is enabled for EAN-8, EAN-13 and UPC-A only and keeps its
// state while disabled; that state is what Generate uses.
TEST_F(MainWindow, CheckSumBoxFollowsTheSelection) {
    TMain& m = *Main;
    for (int i = 0; i < 23; ++i) {
        Select(i);
        EXPECT_EQ(m.bcType->ItemIndex(), i);
        EXPECT_EQ(m.chCheckSum->isEnabled(), i >= 13 && i <= 15) << i;
        EXPECT_TRUE(m.chCheckSum->isChecked()) << i;
    }
    for (const bool checked : {false, true}) {
        Select(bcCodeEAN13);
        if (m.chCheckSum->isChecked() != checked) Click(m.chCheckSum);
        Select(bcCode39);
        EXPECT_FALSE(m.chCheckSum->isEnabled());
        Type("ABC");
        Click(m.btGen);
        TGenerateOptions o;
        o.UseCheckSum = checked;
        EXPECT_EQ(Preview(), Generated("ABC", bcCode39, o)) << checked;
    }
}

// Enter runs Generate; the preview is the command-line generator's picture
// (fitted into 300 x 200, cropped to symbol and border), and Copy puts it on
// the clipboard. A refused code shows the engine's message once, and the
// preview, Copy and Save as keep the last good picture.
TEST_F(MainWindow, GenerateCopyAndErrors) {
    TMain& m = *Main;
    const struct {
        int Type;
        QString Code;
        bool Border;
        const char* BorderText;
        int Width, Height; // width 0: wider than the 300 pixels it was fitted into
        const char* Error;
    } cases[] = {
        {-1, "123", true, "10", 0, 0, "TZoBarcode: wrong BarcodeType"},
        {bcCodeEAN13, "590123412345", true, "10", 238, 190, nullptr},
        {bcCodeEAN13, "590123412345", false, "10", 218, 200, nullptr},
        {bcCodeEAN8, "9638507", true, "0", 231, 200, nullptr},
        {bcCode128B, QString(60, u'W'), false, "10", 0, 200, nullptr},
        {bcCodeEAN13, "59012AB", true, "10", 0, 0, "Barcode must be numeric"},
        {bcCodeEAN8, "123456789012", true, "10", 0, 0, ""}, // the encoder's length message
    };
    QImage last;
    for (const auto& c : cases) {
        if (c.Type >= 0) Select(c.Type);
        if (m.chBorder->isChecked() != c.Border) Click(m.chBorder);
        m.eBorder->setText(QString::fromLatin1(c.BorderText));
        Type(c.Code);
        QTest::keyClick(m.eCode, Qt::Key_Return);
        if (c.Error) {
            ASSERT_EQ(Errors.size(), 1) << S(c.Code);
            EXPECT_TRUE(!*c.Error || S(Errors[0]) == c.Error) << S(Errors[0]);
            Errors.clear();
            EXPECT_EQ(Preview(), last);
            EXPECT_EQ(m.btCopy->isEnabled(), !last.isNull());
        } else {
            TGenerateOptions o;
            o.Border = c.Border ? QString::fromLatin1(c.BorderText).toInt() : 0;
            last = Generated(c.Code, c.Type, o);
            EXPECT_EQ(Preview(), last) << S(c.Code);
            EXPECT_EQ(m.img->size(), last.size());
            EXPECT_TRUE(c.Width ? last.width() == c.Width : last.width() > 300) << last.width();
            EXPECT_EQ(last.height(), c.Height);
            EXPECT_TRUE(m.btCopy->isEnabled() && m.btSave->isEnabled());
        }
        if (last.isNull()) continue;
        Click(m.btCopy);
        EXPECT_EQ(Clipboard(), last) << S(c.Code);
        EXPECT_EQ(Rgb(m.Bitmap()), last);
    }
    m.img->clear(); // Enter in the border field runs Generate too
    QTest::keyClick(m.eBorder, Qt::Key_Return);
    EXPECT_EQ(Errors.size(), 1); // the last code again
}

// Generate through the window, Save as a PNG in the dialog, and two
// independent decoders read the code back from the file.
TEST_F(MainWindow, SavedPictureScans) {
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
    QTest::keyClick(Main->eCode, Qt::Key_Return);
    Click(Main->btSave);
    EXPECT_EQ(directory, QDir(AppFolder()).absolutePath() + u'/');
    const QImage saved(Dir.filePath(QStringLiteral("ean.png")), "PNG");
    ASSERT_EQ(Rgb(saved), Preview());
    for (const ScanResult& r : {ScanWithZbar(saved), ScanWithZxing(saved)})
        EXPECT_EQ(r.text, "5901234123457") << r.log;
    EXPECT_TRUE(Errors.isEmpty() && Messages.isEmpty());
}

// The window's Generate, its Copy and its Save as give the picture the command
// line writes for the same code and options, pixel for pixel.
TEST_F(MainWindow, WindowAndCommandLineDrawTheSamePicture) {
    TMain& m = *Main;
    const struct {
        int Type;
        const char* Code;
        bool Check, Text;
        int Border; // 0: the border box unticked
    } cases[] = {
        {bcCodeEAN13, "590123412345", true, true, 10},
        {bcCodeEAN13, "5901234123457", false, true, 10},
        {bcCodeEAN8, "9638507", true, false, 0},
        {bcCodeUPC_A, "03600029145", true, true, 30},
        {bcCode39, "CODE 39", true, true, 1},
        {bcCode128B, "Hello, world", true, true, 10},
        {bcCode128C, "1234567890", true, false, 5},
        {bcCodeCodabar, "A123456B", true, true, 10},
        {bcCode_2_5_interleaved, "1234567890123456789012345678901234", true, true, 10},
        {bcCodeUPC_E0, "425261", true, true, 10},
        {bcCodePostNet, "12345", true, true, 10},
        {bcCodeEAN128C, "12345678901234567890", true, true, 10},
    };
    int saved = 0;
    for (const auto& c : cases) {
        Select(c.Type);
        if (m.chCheckSum->isEnabled() && m.chCheckSum->isChecked() != c.Check) Click(m.chCheckSum);
        if (m.chShowCode->isChecked() != c.Text) Click(m.chShowCode);
        if (m.chBorder->isChecked() != (c.Border > 0)) Click(m.chBorder);
        if (c.Border > 0) m.eBorder->setText(QString::number(c.Border));
        Type(QString::fromUtf8(c.Code));
        Click(m.btGen);
        ASSERT_TRUE(Errors.isEmpty()) << S(Errors.join(u'\n'));

        QStringList args = {QStringLiteral("-t"), QString::number(c.Type), QStringLiteral("-o"),
                            QStringLiteral("-")};
        if (!c.Check) args << QStringLiteral("--no-check-digit");
        if (!c.Text) args << QStringLiteral("--no-text");
        args << (c.Border > 0 ? QStringList{QStringLiteral("--border"), QString::number(c.Border)}
                              : QStringList{QStringLiteral("--no-border")});
        args << QStringLiteral("--") << QString::fromUtf8(c.Code);
        QProcess cli;
        cli.start(QStringLiteral(BARCODEGEN_CLI), args);
        ASSERT_TRUE(cli.waitForFinished(60000) && cli.exitCode() == 0)
            << c.Code << ": " << cli.readAllStandardError().toStdString();
        const QImage written = Rgb(QImage::fromData(cli.readAllStandardOutput(), "PNG"));
        ASSERT_FALSE(written.isNull()) << c.Code;
        EXPECT_EQ(Preview(), written) << c.Code;
        EXPECT_EQ(Rgb(m.Bitmap()), written) << c.Code;
        Click(m.btCopy);
        EXPECT_EQ(Clipboard(), written) << c.Code;

        const QString file = Dir.filePath(QStringLiteral("saved%1.png").arg(++saved));
        BemoCompConfig.DBToolCfg.OnSaveDialogCreate = [&](QObject* Sender) {
            auto* dialog = qobject_cast<QFileDialog*>(Sender);
            QTimer::singleShot(0, dialog, [file, dialog] {
                dialog->selectFile(file);
                static_cast<QDialog*>(dialog)->accept();
            });
        };
        Click(m.btSave);
        EXPECT_EQ(Rgb(QImage(file, "PNG")), written) << c.Code;
    }
    EXPECT_TRUE(Messages.isEmpty()) << S(Messages.join(u'\n'));
}

// The first run writes the window's section and those of the six controls;
// the next start brings every value and the position back; a hand-edited
// selection starts with the window's rules applied to it.
TEST_F(MainWindow, SettingsSurviveARestart) {
    Select(bcCodeEAN13);
    Click(Main->chCheckSum);
    Select(6);
    Type("ABC-123");
    Main->move(40, 30);
    const TRect b = Main->BoundsRect();
    Start();
    QString text = IniText();
    const QString where = QStringLiteral("Left=%1\r\nRight=%2\r\nTop=%3\r\nBottom=%4\r\n")
                              .arg(b.Left)
                              .arg(b.Right)
                              .arg(b.Top)
                              .arg(b.Bottom);
    ASSERT_TRUE(text.contains(where)) << S(text);
    EXPECT_EQ(S(text.replace(where, "Left=400\r\nRight=927\r\nTop=200\r\nBottom=644\r\n")),
              "[Main_XY]\r\nWinMinMax=0\r\nLeft=400\r\nRight=927\r\nTop=200\r\n"
              "Bottom=644\r\n\r\n[Main.bcType]\r\nItemIndex=6\r\n\r\n[Main.eCode]\r\n"
              "Text=ABC-123\r\n\r\n[Main.chShowCode]\r\nState=1\r\n\r\n"
              "[Main.chCheckSum]\r\nState=0\r\n\r\n[Main.chBorder]\r\nState=1\r\n\r\n"
              "[Main.eBorder]\r\nText=10\r\n\r\n");
    TMain& m = *Main;
    EXPECT_EQ(m.BoundsRect(), b);
    EXPECT_EQ(m.bcType->ItemIndex(), 6);
    EXPECT_EQ(S(m.eCode->text()), "ABC-123");
    EXPECT_TRUE(m.btGen->isEnabled());
    EXPECT_FALSE(m.chCheckSum->isChecked());

    // Edited: EAN-13, the boxes off, a border text that is no number.
    Main.reset();
    Put(IniText()
            .replace("ItemIndex=6", "ItemIndex=14")
            .replace("State=1", "State=0")
            .replace("Text=10", "Text=7x"));
    Start();
    EXPECT_EQ(Main->bcType->ItemIndex(), 14);
    EXPECT_TRUE(Main->bcType->Button(14)->isChecked());
    EXPECT_TRUE(Main->chCheckSum->isEnabled());
    EXPECT_FALSE(Main->chShowCode->isChecked() || Main->chBorder->isChecked());
    EXPECT_EQ(S(Main->eBorder->text()), "7x");
    EXPECT_TRUE(Errors.isEmpty() && Messages.isEmpty()) << S((Errors + Messages).join(u'\n'));
}

// A settings file that cannot be read: the window says so once and starts as
// on a first run.
TEST_F(MainWindow, UnreadableSettingsStartWithTheDefaults) {
    Main.reset();
    QFile::remove(Ini);
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("barcodegen.ini"))); // a folder in its place
    Start();
    ASSERT_EQ(Messages.size(), 1);
    EXPECT_TRUE(Messages[0].contains(u"nelze otevřít")) << S(Messages[0]);
    EXPECT_EQ(Main->bcType->ItemIndex(), -1);
    EXPECT_TRUE(Main->eCode->text().isEmpty());
    EXPECT_EQ(S(Main->eBorder->text()), "10");
}

// The window's place over repeated starts: the first start centres the
// frame on the desktop; every later one opens where the last one closed, and
// what is saved is the frame's bounds, so nothing creeps.
TEST_F(MainWindow, PlaceIsKeptOverRepeatedStarts) {
    const QRect desk = QGuiApplication::primaryScreen()->virtualGeometry();
    const struct {
        const char* Name;
        QPoint Saved; // the frame's top-left in the file; (-1, -1): no file
        QPoint Opens; // where the frame opens; (-1, -1): centred
    } cases[] = {
        {"first start", {-1, -1}, {-1, -1}},
        {"saved", {100, 60}, {100, 60}},
        {"at the top edge", {0, 0}, {0, 0}},
        {"above the desktop", {30, -20}, {30, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Main.reset();
        QFile::remove(Ini);
        if (c.Saved.x() >= 0 || c.Saved.y() >= 0)
            Put(QStringLiteral("[Main_XY]\nWinMinMax=0\nLeft=%1\nRight=%2\nTop=%3\nBottom=%4\n")
                    .arg(c.Saved.x())
                    .arg(c.Saved.x() + 300)
                    .arg(c.Saved.y())
                    .arg(c.Saved.y() + 200));
        Start();
        const QRect first = Main->frameGeometry();
        ASSERT_GT(first.width(), Main->width()) << "the platform draws no frame";
        if (c.Opens.x() < 0) {
            // Centred with rounding down: the frame, not the client area.
            EXPECT_EQ(first.topLeft(),
                      desk.topLeft() + QPoint((desk.width() - first.width()) / 2,
                                              (desk.height() - first.height()) / 2));
        } else {
            EXPECT_EQ(first.topLeft(), c.Opens);
        }
        EXPECT_EQ(Main->size(), QSize(521, 416));
        const QString saved = QStringLiteral("Left=%1\r\nRight=%2\r\nTop=%3\r\nBottom=%4\r\n")
                                  .arg(first.left())
                                  .arg(first.right() + 1)
                                  .arg(first.top())
                                  .arg(first.bottom() + 1);
        for (int start = 2; start <= 4; ++start) {
            Start();
            EXPECT_TRUE(IniText().contains(saved)) << start << ": " << S(IniText());
            EXPECT_EQ(Main->frameGeometry(), first) << start;
        }
    }
}

// The titles are the design's own: the desktop adds nothing to them, since
// the program's title is not Qt's display name.
TEST_F(MainWindow, TitlesAreTheDesignsOwn) {
    InitProgram();
    EXPECT_EQ(S(QGuiApplication::applicationDisplayName()), S(QCoreApplication::applicationName()));
    QString boxTitle;
    const struct {
        const char* Name;
        std::function<QString()> Show;
        const char* Title;
    } cases[] = {
        {"main window", [&] { return Main->windowTitle(); }, "Barcode Generator"},
        {"error report",
         [&] {
             ShowErrorReport(QString(), std::runtime_error("No space left on device"), false);
             return Titles.value(0);
         },
         "Chyba"},
        {"settings file",
         [&] {
             Main.reset();
             QFile::remove(Ini);
             QDir(Dir.path()).mkdir(QStringLiteral("barcodegen.ini"));
             Start();
             return Titles.value(0);
         },
         "Barcode Generator"},
        {"error in a handler",
         [&] {
             SetEventErrorSink({});
             QTimer::singleShot(0, [&] {
                 if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                     boxTitle = box->windowTitle();
                     box->accept();
                 }
             });
             Main->bcType->SetItemIndex(-1);
             Type("123");
             QTest::keyClick(Main->eCode, Qt::Key_Return); // no symbology: refused
             return boxTitle;
         },
         "Barcode Generator"},
    };
    for (const auto& c : cases) {
        Titles.clear();
        EXPECT_EQ(S(c.Show()), c.Title) << c.Name;
    }
}

// The code field has the keyboard focus after every start, with or without
// saved settings: typing goes into it at once.
TEST_F(MainWindow, CodeHasTheFocusAfterEveryStart) {
    const struct {
        const char* Name;
        const char* Settings; // "": none
        const char* Typed;
    } cases[] = {
        {"first start", "", "59"},
        {"saved code and type", "[Main.bcType]\nItemIndex=14\n[Main.eCode]\nText=590123\n",
         "5901234"},
        {"saved type only", "[Main.bcType]\nItemIndex=3\n", "4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Main.reset();
        QFile::remove(Ini);
        if (*c.Settings) Put(QString::fromLatin1(c.Settings));
        Start();
        ASSERT_EQ(QApplication::focusWidget(), Main->eCode);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        const QString typed = QString::fromLatin1(c.Typed).mid(Main->eCode->text().size());
        QTest::keyClicks(QApplication::focusWidget(), typed);
        EXPECT_EQ(S(Main->eCode->text()), c.Typed);
        // Shown again after another control had the focus: the code again.
        Main->btGen->setFocus();
        Main->hide();
        Main->show();
        EXPECT_EQ(Main->focusWidget(), Main->eCode);
    }
}

// The credits link finds the about page where the build and an
// installation put it; the build's copy wins, as in a build folder.
TEST(AboutPage, IsFoundBesideTheProgramOrAmongTheInstalledData) {
    const struct {
        const char* Name;
        bool Beside;
        bool Installed;
        const char* Expected; // below the temporary folder
    } cases[] = {
        {"build folder", true, false, "/bin/about.html"},
        {"installed", false, true, "/share/barcodegen/about.html"},
        {"both", true, true, "/bin/about.html"},
        {"neither", false, false, "/bin/about.html"},
    };
    const auto touch = [](const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << S(path);
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("bin"));
        QDir(dir.path()).mkpath(QStringLiteral("share/barcodegen"));
        if (c.Beside) touch(dir.filePath(QStringLiteral("bin/about.html")));
        if (c.Installed) touch(dir.filePath(QStringLiteral("share/barcodegen/about.html")));
        EXPECT_EQ(S(AboutPageFor(dir.filePath(QStringLiteral("bin")) + u'/')),
                  S(dir.path() + c.Expected))
            << c.Name;
    }
}

} // namespace
