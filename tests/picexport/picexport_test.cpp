// Picture export: formats by extension, the save dialog, files written whole.
#include "complib/BemoCompGlobalCfg.h"
#include "complib/bHTMLLabel.h"
#include "complib/bdlg.h"
#include "picexport/bDialogsEx.h"
#include "picexport/bpictool.h"
#include "picture/FileIO.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Bars and a grey line, as a barcode with its text.
QImage Picture() {
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 20; ++y)
            if (y == 17 || (x % 3 == 0 && y < 15))
                img.setPixel(x, y, y == 17 ? 0xFF808080 : 0xFF000000);
    return img;
}

class PicExport : public ::testing::Test {
protected:
    void TearDown() override { BemoCompConfig.DBToolCfg.OnSaveDialogCreate = nullptr; }
    QString File(const char* Name) const { return Dir.filePath(QString::fromUtf8(Name)); }

    QTemporaryDir Dir;
    QStringList Reports; // the error reports shown
    TDlgExecHook Hook{[this](TbDlgForm& Form) {
        for (auto* label : Form.Labels)
            Reports << label->text();
        return 1;
    }};
};

TEST_F(PicExport, FormatsAndFilters) {
    // SVG and PDF are written by the command line, from the code rather than a
    // picture; ".jpe" is a spelling of JPEG that no filter entry shows.
    const std::pair<const char*, TPicFileFormat> names[] = {
        {"code.bmp", pffBMP},       {"dir.x/CODE.PNG", pffPNG}, {"a.b.jpeg", pffJPG},
        {"photo.JPG", pffJPG},      {"code.gif", pffError},     {"code", pffError},
        {"dir.png/code", pffError}, {"code.", pffError},        {"code.svg", pffError},
        {"code.pdf", pffError},     {"code.jpe", pffError},
    };
    for (const auto& [name, format] : names)
        EXPECT_EQ(PictureFormatOf(QString::fromUtf8(name)), format) << name;
    const char* exts[] = {"", "", ".bmp", ".jpg", ".png", ""};
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(PictureFormatExt(TPicFileFormat(f)), QString::fromUtf8(exts[f])) << f;
    const QString entries = QStringLiteral("Bitmapy (*.bmp)|*.bmp|Jpeg soubory (*.jpg;*.jpeg)|"
                                           "*.jpg;*.jpeg|PNG soubory (*.png)|*.png");
    EXPECT_EQ(PictureFilter(false), entries);
    EXPECT_EQ(PictureFilter(true), "Grafické formáty (*.bmp;*.jpg;*.jpeg;*.png)|"
                                   "*.bmp;*.jpg;*.jpeg;*.png|" +
                                       entries);
    // Qt reads the patterns from the last parentheses.
    EXPECT_EQ(QtNameFilters(entries),
              QStringList({"Bitmapy (*.bmp) (*.bmp)", "Jpeg soubory (*.jpg;*.jpeg) (*.jpg *.jpeg)",
                           "PNG soubory (*.png) (*.png)"}));
}

// Each format reads back as itself with the picture's pixels (JPEG at quality
// 100: every quantisation value 1); a format we cannot write is reported and
// leaves the file as it was; a file that cannot be created is the caller's error.
TEST_F(PicExport, WritingAndRefusing) {
    const struct {
        const char* Name;
        TPicFileFormat Format, Written;
        const char* ReadAs; // nullptr: refused
    } cases[] = {
        {"a.bmp", pffBMP, pffBMP, "bmp"},      {"a.jpg", pffJPG, pffJPG, "jpeg"},
        {"a.png", pffPNG, pffPNG, "png"},      {"none.bmp", pffNone, pffBMP, "bmp"},
        {"a.gif", pffError, pffNone, nullptr}, {"five.png", TPicFileFormat(5), pffNone, nullptr},
    };
    for (const auto& c : cases) {
        const QString name = File(c.Name);
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        BemoCompConfig.DBToolCfg.LastPictureFile.clear();
        EXPECT_EQ(SavePictureToFile(Picture(), name, c.Format), c.Written) << c.Name;
        EXPECT_EQ(BemoCompConfig.DBToolCfg.LastPictureFile, c.ReadAs ? name : QString());
        ASSERT_TRUE(old.open(QIODevice::ReadOnly));
        const QByteArray bytes = old.readAll();
        if (!c.ReadAs) {
            EXPECT_EQ(bytes, "old") << c.Name;
            continue;
        }
        QImageReader reader(name);
        EXPECT_EQ(reader.format(), c.ReadAs) << c.Name;
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
        if (c.Written != pffJPG) {
            EXPECT_EQ(back, Picture()) << c.Name;
            continue;
        }
        const qsizetype dqt = bytes.indexOf("\xFF\xDB"); // the first table, 8-bit values
        ASSERT_GT(dqt, 0);
        EXPECT_EQ(bytes.mid(dqt + 5, 64), QByteArray(64, 1)) << "quality 100";
    }
    EXPECT_EQ(Reports, QStringList(2, QStringLiteral("Popis chyby:\rChybný formát obrázku.")));
    EXPECT_THROW(SavePictureToFile(Picture(), File("no/folder.png"), pffPNG), EFileError);
}

// Save as: what the user types (or picks) decides the file and its format;
// the dialog opens in the folder given with the default format's entry selected.
TEST_F(PicExport, SaveAsThroughTheDialog) {
    const struct {
        const char* Typed;  // nullptr: cancel
        const char* Filter; // picked by the user; nullptr: the preselected one
        const char* File;
        TPicFileFormat Result;
        const char* ReadAs;
    } cases[] = {
        {"code", nullptr, "code.bmp", pffBMP, "bmp"},
        {"code.PNG", nullptr, "code.PNG", pffPNG, "png"},
        {"code.jpeg", nullptr, "code.jpeg", pffJPG, "jpeg"},
        {"other", "PNG soubory (*.png)", "other.bmp", pffBMP, "bmp"},
        {nullptr, nullptr, nullptr, pffNone, nullptr},
    };
    for (const auto& c : cases) {
        QString directory, filter;
        BemoCompConfig.DBToolCfg.OnSaveDialogCreate = [&](QObject* Sender) {
            auto* dialog = qobject_cast<QFileDialog*>(Sender);
            QTimer::singleShot(0, dialog, [&, dialog] {
                directory = dialog->directory().absolutePath();
                filter = dialog->selectedNameFilter(); // as the user sees it
                if (!c.Typed) return dialog->reject();
                if (c.Filter) dialog->selectNameFilter(QString::fromUtf8(c.Filter));
                dialog->selectFile(QString::fromUtf8(c.Typed));
                static_cast<QDialog*>(dialog)->accept(); // public there
            });
        };
        const int files = QDir(Dir.path()).entryList(QDir::Files).size();
        EXPECT_EQ(SavePictureAs(Picture(), Dir.path(), pffBMP), c.Result) << c.Typed;
        EXPECT_EQ(directory, QDir(Dir.path()).absolutePath());
        EXPECT_EQ(filter, "Bitmapy (*.bmp)");
        if (c.File)
            EXPECT_EQ(QImageReader(File(c.File)).format(), c.ReadAs) << c.File;
        else
            EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files).size(), files) << "cancelled";
    }
    EXPECT_TRUE(Reports.isEmpty()) << Reports.join(u'\n').toStdString();
}

} // namespace
