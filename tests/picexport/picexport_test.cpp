// Picture export: formats by extension, the save dialog, files written whole.
#include "BemoCompGlobalCfg.h"
#include "FileIO.h"
#include "bDialogsEx.h"
#include "bHTMLLabel.h"
#include "bdlg.h"
#include "bpictool.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

std::string S(const QString& s) {
    return s.toStdString();
}

// Black and white stripes with a grey row, as a barcode with its text.
QImage Picture() {
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int x = 0; x < 40; x += 3)
        for (int y = 0; y < 15; ++y)
            img.setPixel(x, y, qRgb(0, 0, 0));
    for (int x = 0; x < 40; ++x)
        img.setPixel(x, 17, qRgb(128, 128, 128));
    return img;
}

// The quantisation values of a JPEG file's tables (8-bit tables only).
std::vector<int> JpegQuantValues(const QByteArray& jpeg) {
    std::vector<int> values;
    for (qsizetype at = jpeg.indexOf("\xFF\xDB"); at >= 0; at = jpeg.indexOf("\xFF\xDB", at + 2)) {
        const int length = (uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]);
        for (qsizetype p = at + 4; p + 65 <= at + 2 + length; p += 65)
            for (int i = 1; i <= 64; ++i)
                values.push_back(uchar(jpeg[p + i]));
    }
    return values;
}

class PicExport : public ::testing::Test {
protected:
    void SetUp() override { BemoCompConfig.DBToolCfg.LastPictureFile.clear(); }
    void TearDown() override { BemoCompConfig.DBToolCfg.OnSaveDialogCreate = nullptr; }
    QString File(const char* Name) const { return Dir.filePath(QString::fromUtf8(Name)); }

    QTemporaryDir Dir;
    QStringList Reports; // the texts of the error reports shown
    TDlgExecHook Hook{[this](TbDlgForm& Form) {
        for (auto* label : Form.Labels)
            Reports << label->text();
        return 1;
    }};
};

TEST_F(PicExport, FormatsExtensionsAndFilters) {
    const struct {
        const char* Name;
        TPicFileFormat Format;
    } names[] = {
        {"code.bmp", pffBMP},       {"dir.x/CODE.PNG", pffPNG}, {"a.b.jpeg", pffJPG},
        {"photo.JPG", pffJPG},      {"code.gif", pffError},     {"code", pffError},
        {"dir.png/code", pffError}, {"code.", pffError},        {".png", pffPNG},
    };
    for (const auto& n : names)
        EXPECT_EQ(PictureFormatOf(QString::fromUtf8(n.Name)), n.Format) << n.Name;
    const char* exts[] = {"", "", ".bmp", ".jpg", ".png", ""};
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(S(PictureFormatExt(TPicFileFormat(f))), exts[f]) << f;

    const QString entries = QStringLiteral("Bitmapy (*.bmp)|*.bmp|Jpeg soubory (*.jpg;*.jpeg)|"
                                           "*.jpg;*.jpeg|PNG soubory (*.png)|*.png");
    EXPECT_EQ(PictureFilter(false), entries);
    EXPECT_EQ(
        PictureFilter(true),
        QStringLiteral("Grafické formáty (*.bmp;*.jpg;*.jpeg;*.png)|*.bmp;*.jpg;*.jpeg;*.png|") +
            entries);
    // Qt reads the patterns from the last parentheses.
    EXPECT_EQ(QtNameFilters(entries),
              QStringList({"Bitmapy (*.bmp) (*.bmp)", "Jpeg soubory (*.jpg;*.jpeg) (*.jpg *.jpeg)",
                           "PNG soubory (*.png) (*.png)"}));
}

// Every format is written whole, read back as that format with the same
// pixels, and replaces a file only with a complete new one of the same bits.
TEST_F(PicExport, WrittenFilesReadBack) {
    const QImage picture = Picture();
    const struct {
        const char* Name;
        TPicFileFormat Format, Written;
        const char* ReaderFormat;
    } cases[] = {
        {"a.bmp", pffBMP, pffBMP, "bmp"},
        {"a.jpg", pffJPG, pffJPG, "jpeg"},
        {"a.png", pffPNG, pffPNG, "png"},
        {"none.bmp", pffNone, pffBMP, "bmp"},
    };
    for (const auto& c : cases) {
        const QString name = File(c.Name);
        QFile(name).open(QIODevice::WriteOnly); // an older file, to be replaced
        QFile::setPermissions(name, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        EXPECT_EQ(SavePictureToFile(picture, name, c.Format), c.Written) << c.Name;
        EXPECT_EQ(BemoCompConfig.DBToolCfg.LastPictureFile, name);
        QImageReader reader(name);
        EXPECT_EQ(reader.format(), c.ReaderFormat) << c.Name;
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(back.size(), picture.size()) << c.Name;
        if (c.Written == pffJPG) {
            QFile f(name);
            f.open(QIODevice::ReadOnly);
            const std::vector<int> q = JpegQuantValues(f.readAll());
            ASSERT_FALSE(q.empty());
            EXPECT_EQ(std::count(q.begin(), q.end(), 1), std::ssize(q)) << "quality 100";
        } else {
            EXPECT_EQ(back, picture) << c.Name;
        }
        EXPECT_EQ(QFile::permissions(name) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup)
            << c.Name;
    }
    EXPECT_TRUE(Reports.isEmpty()) << S(Reports.join(u'\n'));
}

// A format we cannot write is reported once and changes no file; a file that
// cannot be created is the caller's error, with no name recorded.
TEST_F(PicExport, RefusalsLeaveFilesAlone) {
    const QString old = File("old.gif");
    {
        QFile f(old);
        f.open(QIODevice::WriteOnly);
        f.write("GIF89a, not ours");
    }
    EXPECT_EQ(SavePictureToFile(Picture(), old, PictureFormatOf(old)), pffNone);
    EXPECT_EQ(SavePictureToFile(Picture(), File("five.png"), TPicFileFormat(5)), pffNone);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(SavePictureToStream(Picture(), buffer, pffError), pffNone);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(Reports, QStringList(3, QStringLiteral("Popis chyby:\rChybný formát obrázku.")));
    QFile f(old);
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), "GIF89a, not ours");
    EXPECT_FALSE(QFile::exists(File("five.png")));
    EXPECT_THROW(SavePictureToFile(Picture(), File("no/such/folder.png"), pffPNG), EFileError);
    EXPECT_TRUE(BemoCompConfig.DBToolCfg.LastPictureFile.isEmpty());
}

// Save as: what the user types (or chooses) in the dialog decides the file
// and its format; the dialog opens in the folder given with the default
// format's entry selected.
TEST_F(PicExport, SaveAsThroughTheDialog) {
    const struct {
        const char* Typed;  // nullptr: cancel
        const char* Filter; // the entry the user picks, nullptr: the preselected one
        const char* File;
        TPicFileFormat Result;
    } cases[] = {
        {"code", nullptr, "code.bmp", pffBMP},
        {"code.PNG", nullptr, "code.PNG", pffPNG},
        {"code.jpeg", nullptr, "code.jpeg", pffJPG},
        {"other", "PNG soubory (*.png)", "other.bmp", pffBMP},
        {nullptr, nullptr, nullptr, pffNone},
    };
    for (const auto& c : cases) {
        QString directory, selectedFilter;
        int created = 0;
        BemoCompConfig.DBToolCfg.OnSaveDialogCreate = [&](QObject* Sender) {
            ++created;
            auto* dialog = qobject_cast<QFileDialog*>(Sender);
            ASSERT_NE(dialog, nullptr);
            QTimer::singleShot(0, dialog, [&, dialog] {
                directory = dialog->directory().absolutePath();
                selectedFilter = dialog->selectedNameFilter();
                if (!c.Typed) return dialog->reject();
                if (c.Filter) dialog->selectNameFilter(QString::fromUtf8(c.Filter));
                dialog->selectFile(QString::fromUtf8(c.Typed));
                static_cast<QDialog*>(dialog)->accept(); // public there
            });
        };
        const QStringList before = QDir(Dir.path()).entryList(QDir::Files);
        EXPECT_EQ(SavePictureAs(Picture(), Dir.path(), pffBMP), c.Result) << c.Typed;
        EXPECT_EQ(created, 1);
        EXPECT_EQ(directory, QDir(Dir.path()).absolutePath());
        EXPECT_EQ(S(selectedFilter), "Bitmapy (*.bmp)"); // as the user sees it
        if (c.File) {
            EXPECT_EQ(QImageReader(File(c.File)).format(), QByteArray(c.Result == pffPNG   ? "png"
                                                                      : c.Result == pffJPG ? "jpeg"
                                                                                           : "bmp"))
                << c.File;
        } else {
            EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), before) << "cancelled";
        }
    }
    EXPECT_TRUE(Reports.isEmpty()) << S(Reports.join(u'\n'));
}

} // namespace
