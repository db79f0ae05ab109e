// The picture writer keeps every pixel at the fewest bits per pixel.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "SaveImage.h"

namespace {

// A picture of stripes in the given colours.
QImage Stripes(const QList<QRgb>& colours) {
    QImage img(static_cast<int>(colours.size()) * 3 + 5, 7, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, colours[(x + y) % colours.size()]);
    return img;
}

} // namespace

TEST(SaveImage, FewestBitsThatKeepEveryPixel) {
    QList<QRgb> many;
    for (int i = 0; i < 257; ++i)
        many << qRgb(i % 256, i / 256, 7);
    const struct {
        QList<QRgb> colours;
        QImage::Format format;
    } cases[] = {
        {{qRgb(255, 255, 255)}, QImage::Format_Mono},
        {{qRgb(255, 0, 0), qRgb(0, 0, 255)}, QImage::Format_Mono},
        {{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255)}, QImage::Format_Grayscale8},
        {{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 0)}, QImage::Format_Indexed8},
        {many, QImage::Format_RGB32},
    };
    for (const auto& c : cases) {
        QImage picture = Stripes(c.colours);
        EXPECT_EQ(SmallestExactImage(picture).format(), c.format) << c.colours.size();
        for (const char* format : {"PNG", "BMP"}) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QString error;
            ASSERT_TRUE(WriteImage(picture, buffer, format, 150, &error)) << error.toStdString();
            QImage back;
            ASSERT_TRUE(back.loadFromData(bytes, format));
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture)
                << format << " " << c.colours.size();
            EXPECT_EQ(back.dotsPerMeterX(), 5906) << format; // 150 dpi
        }
    }
}

// Both ways of writing a file whole behave alike: flushed to the disk (single
// pictures) and not (batches).
TEST(SaveImage, FilesAreWrittenWholeOrNotAtAll) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const auto bits = [](const QString& path) {
        const auto user = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
        return QFile::permissions(path) & ~user;
    };
    const auto ok = [](QIODevice& d, QString*) { return d.write("new") == 3; };
    const auto failing = [](QIODevice& d, QString* e) {
        d.write("half");
        *e = QStringLiteral("no more");
        return false;
    };
    const auto newFileBits = QFileDevice::Permissions::fromInt(0);
    const struct {
        const char* name;
        bool exists;
        QFileDevice::Permissions before;
        std::function<bool(QIODevice&, QString*)> write;
        bool written;
        const char* error; // in the message after the file name
    } cases[] = {
        {"new.png", false, newFileBits, ok, true, ""},
        {"old.png", true, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup,
         ok, true, ""},
        {"kept.png", true, QFileDevice::ReadOwner | QFileDevice::WriteOwner, failing, false,
         "no more"},
        {"no/such/folder.png", false, newFileBits, ok, false, ""},
    };
    for (const TFileFlush flush : {TFileFlush::ToDisk, TFileFlush::Skip}) {
        for (const auto& c : cases) {
            QTemporaryDir dir;
            const QString path = dir.filePath(c.name);
            if (c.exists) {
                QFile f(path);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write("old");
                f.close();
                ASSERT_TRUE(QFile::setPermissions(path, c.before));
            }
            QString error;
            EXPECT_EQ(WriteFileAtomically(path, c.write, &error, flush), c.written) << c.name;
            QFile f(path);
            const QByteArray content = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            EXPECT_EQ(content, c.written ? "new" : c.exists ? "old" : "") << c.name;
            struct stat st {};
            if (c.written && c.exists) {
                EXPECT_EQ(bits(path), c.before) << c.name;
            } else if (c.written) { // as any new file: all may read and write it, less the umask
                ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
                EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << c.name;
            }
            if (!c.written) {
                EXPECT_TRUE(error.startsWith(path + ": ")) << error.toStdString();
                EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
            }
            // Nothing but the file itself is left in the folder.
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                      c.exists || c.written ? 1 : 0)
                << c.name;
        }
    }
}
