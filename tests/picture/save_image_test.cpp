// The picture writer keeps every pixel at the fewest bits per pixel; files are
// replaced whole. Qt only for the test's own folders and for reading back:
// no QGuiApplication in this process.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "engine/ZoBarCode_interface.h"
#include "picture/GeneratePicture.h"
#include "picture/PictureFormats.h"
#include "picture/SaveImage.h"
#include "tests/FileContent.h"

namespace {

// A picture of stripes in the given colours.
TBitmap Stripes(const QList<QRgb>& colours) {
    TBitmap img(static_cast<int>(colours.size()) * 3 + 5, 7);
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            img.At(x, y) = colours[(x + y) % colours.size()];
    return img;
}

QImage ImageOf(const TBitmap& b) {
    QImage img(b.Width(), b.Height(), QImage::Format_RGB32);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            img.setPixel(x, y, b.At(x, y));
    return img;
}

std::string Path(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

TEST(SaveImage, FewestBitsThatKeepEveryPixel) {
    QList<QRgb> many;
    for (int i = 0; i < 257; ++i)
        many << qRgb(i % 256, i / 256, 7);
    const struct {
        QList<QRgb> colours;
        TPixelDepth depth;
    } cases[] = {
        {{qRgb(255, 255, 255)}, TPixelDepth::Mono},
        {{qRgb(255, 0, 0), qRgb(0, 0, 255)}, TPixelDepth::Mono},
        {{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255)}, TPixelDepth::Grey8},
        {{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 0)}, TPixelDepth::Palette8},
        {many, TPixelDepth::Rgb24},
    };
    for (const auto& c : cases) {
        const TBitmap picture = Stripes(c.colours);
        EXPECT_EQ(SmallestExactColours(picture).Depth, c.depth) << c.colours.size();
        for (const char* format : {"PNG", "BMP"}) {
            TBytes bytes;
            std::string error;
            ASSERT_TRUE(EncodeImage(*PictureFormatNamed(format), picture, 150, bytes, &error))
                << error;
            QImage back;
            ASSERT_TRUE(back.loadFromData(QByteArray::fromStdString(bytes), format));
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), ImageOf(picture))
                << format << " " << c.colours.size();
            EXPECT_EQ(back.dotsPerMeterX(), 5906) << format; // 150 dpi
        }
    }
}

// A file name's extension is its last dot after the last slash, and names one
// row of the formats in any case; no other spelling names one.
TEST(PictureFormats, ExtensionsNameTheirFormat) {
    const struct {
        const char* file;
        std::ptrdiff_t dot; // ExtensionStart
        const char* format; // the row's name; nullptr: none
    } cases[] = {
        {"code.png", 4, "PNG"},        {"dir.x/CODE.BMP", 10, "BMP"}, {"a.b.jpeg", 3, "JPEG"},
        {"photo.Jpg", 5, "JPEG"},      {"label.svg", 5, "SVG"},       {"label.PDF", 5, "PDF"},
        {"out/.png", 4, "PNG"},        {"code.jpe", 4, nullptr},      {"code.gif", 4, nullptr},
        {"dir.png/code", -1, nullptr}, {"code", -1, nullptr},         {"code.", 4, nullptr},
        {"v1.2/label", -1, nullptr},   {"a.png/", -1, nullptr},       {"", -1, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtensionStart(std::string_view(c.file)), c.dot) << c.file;
        const QString file = QString::fromUtf8(c.file);
        EXPECT_EQ(ExtensionStart(std::u16string_view(
                      reinterpret_cast<const char16_t*>(file.utf16()), std::size_t(file.size()))),
                  c.dot)
            << c.file;
        for (const TPictureFormat* row :
             {PictureFormatOfFile(std::string_view(c.file)),
              PictureFormatOfFile(std::u16string_view(
                  reinterpret_cast<const char16_t*>(file.utf16()), std::size_t(file.size())))})
            EXPECT_EQ(row ? row->Name : std::string_view(),
                      c.format ? std::string_view(c.format) : std::string_view())
                << c.file;
    }
}

// Every row's name is one its writer takes, and the file it makes is of that
// format: an image of the bitmap, a drawing drawn anew.
TEST(PictureFormats, EveryFormatHasItsWriter) {
    const std::map<std::string_view, std::string> starts = {{"PNG", "\x89PNG"},
                                                            {"BMP", "BM"},
                                                            {"JPEG", "\xFF\xD8\xFF"},
                                                            {"SVG", "<?xml"},
                                                            {"PDF", "%PDF-"}};
    ASSERT_EQ(starts.size(), PictureFormats.size());
    for (const TPictureFormat& f : PictureFormats) {
        EXPECT_EQ(PictureFormatNamed(f.Name), &f);
        const TBytes bytes =
            EncodeBarcodePicture(f, u"590123412345", bcCodeEAN13, TGenerateOptions{}, DefaultDpi);
        EXPECT_TRUE(bytes.starts_with(starts.at(f.Name))) << f.Name;
        TBytes image;
        EXPECT_EQ(EncodeImage(f, Stripes({qRgb(0, 0, 0), qRgb(255, 255, 255)}), DefaultDpi, image,
                              nullptr),
                  !f.Drawing)
            << f.Name;
    }
    EXPECT_EQ(PictureFormatNamed("jpeg"), nullptr); // names are exact: extensions are not
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
    const auto ok = [](std::string& d, std::string*) {
        d = "new";
        return true;
    };
    const auto failing = [](std::string& d, std::string* e) {
        d = "half";
        *e = "no more";
        return false;
    };
    const auto newFileBits = QFileDevice::Permissions::fromInt(0);
    const struct {
        const char* name;
        bool exists;
        QFileDevice::Permissions before;
        std::function<bool(std::string&, std::string*)> write;
        bool written;
        const char* error; // in the message after the file name
    } cases[] = {
        {"new.png", false, newFileBits, ok, true, ""},
        {"old.png", true, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup,
         ok, true, ""},
        {"kept.png", true, QFileDevice::ReadOwner | QFileDevice::WriteOwner, failing, false,
         "no more"},
        {"no/such/folder.png", false, newFileBits, ok, false, "No such file or directory"},
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
            std::string error;
            EXPECT_EQ(WriteFileAtomically(Path(path), c.write, &error, flush), c.written) << c.name;
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
                EXPECT_TRUE(error.starts_with(Path(path) + ": ")) << error;
                EXPECT_NE(error.find(c.error), std::string::npos) << error;
            }
            // Nothing but the file itself is left in the folder.
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                      c.exists || c.written ? 1 : 0)
                << c.name;
        }
    }
}

namespace {

// A descriptor the case's closures share, closed with the last of them.
using TSharedFd = std::shared_ptr<int>;
TSharedFd ShareFd(int fd) {
    return TSharedFd(new int(fd), [](int* d) {
        if (*d >= 0) ::close(*d);
        delete d;
    });
}

// Everything a descriptor gives until its end (or, unblocked, until nothing more is there).
QByteArray ReadToEnd(int fd) {
    QByteArray all;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
        all.append(chunk, n);
    return all;
}

struct stat Lstat(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// What a case writes to and how it checks the outcome.
struct TSpecialTarget {
    QString Path;                         // the name the writer is given
    std::function<QByteArray()> Received; // what reached the reader; empty: nothing to read
    std::function<bool()> Kept;           // the target is still what it was
};

} // namespace

// Devices, FIFOs and the system's links to open files are written into, never
// renamed over; a symbolic link stays a link, and the file it names is written.
TEST(SaveImage, TargetsThatAreNoRegularFileAreWrittenInto) {
    const TBitmap picture = Stripes({qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(255, 255, 255)});
    TBytes encoded;
    ASSERT_TRUE(EncodePng(picture, DefaultDpi, encoded, nullptr));
    const QByteArray png = QByteArray::fromStdString(encoded);
    const auto bytesOf = [](const QString& p) { return QFile::encodeName(p); };
    const auto writeOld = [](const QString& p) {
        QFile f(p);
        return f.open(QIODevice::WriteOnly) && f.write("old") == 3;
    };
    const struct {
        const char* name;
        std::function<TSpecialTarget(const QString& dir)> make;
    } cases[] = {
        {"character device",
         [&](const QString& dir) {
             // A node of our own where we may make one; elsewhere the system's,
             // which we could not replace if the writer tried.
             const QString node = dir + QStringLiteral("/null");
             const QString path =
                 ::mknod(bytesOf(node).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0
                     ? node
                     : QStringLiteral("/dev/null");
             return TSpecialTarget{path, nullptr, [path] {
                                       const struct stat st = Lstat(path);
                                       return S_ISCHR(st.st_mode) && st.st_rdev == makedev(1, 3);
                                   }};
         }},
        {"FIFO",
         [&](const QString& dir) {
             const QString path = dir + QStringLiteral("/fifo");
             EXPECT_EQ(::mkfifo(bytesOf(path).constData(), 0600), 0);
             // The reader is there before the writer (whose open would wait for
             // one) and never blocks: a writer that replaced the FIFO leaves it
             // nothing to read instead of a hang.
             const TSharedFd reader =
                 ShareFd(::open(bytesOf(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
             return TSpecialTarget{path, [reader] { return ReadToEnd(*reader); },
                                   [path] { return S_ISFIFO(Lstat(path).st_mode); }};
         }},
        {"pipe through /dev/fd",
         [&](const QString&) {
             int ends[2];
             EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0);
             const TSharedFd reader = ShareFd(ends[0]), writer = ShareFd(ends[1]);
             return TSpecialTarget{QStringLiteral("/dev/fd/%1").arg(ends[1]),
                                   [reader, writer] {
                                       ::close(*writer); // ours; the writer closed its own
                                       *writer = -1;
                                       return ReadToEnd(*reader);
                                   },
                                   nullptr};
         }},
        {"open file through /proc/self/fd",
         [&](const QString& dir) {
             const QString path = dir + QStringLiteral("/open.png");
             EXPECT_TRUE(writeOld(path));
             const TSharedFd fd = ShareFd(::open(bytesOf(path).constData(), O_RDONLY | O_CLOEXEC));
             return TSpecialTarget{QStringLiteral("/proc/self/fd/%1").arg(*fd),
                                   [fd] {
                                       ::lseek(*fd, 0, SEEK_SET);
                                       return ReadToEnd(*fd);
                                   },
                                   [fd, path] { // the name still holds the file we opened
                                       struct stat open {};
                                       ::fstat(*fd, &open);
                                       return Lstat(path).st_ino == open.st_ino;
                                   }};
         }},
        // The file behind a link is replaced whole, as a file named directly
        // would be: a new file, not the old one written over.
        {"symbolic link to a file",
         [&](const QString& dir) {
             const QString file = dir + QStringLiteral("/file.png");
             const QString link = dir + QStringLiteral("/link.png");
             EXPECT_TRUE(writeOld(file));
             EXPECT_TRUE(QFile::link(QStringLiteral("file.png"), link));
             const ino_t old = Lstat(file).st_ino;
             return TSpecialTarget{link, [file] { return ReadAll(file); },
                                   [file, link, old] {
                                       return S_ISLNK(Lstat(link).st_mode) &&
                                              Lstat(file).st_ino != old;
                                   }};
         }},
        {"relative links through a folder",
         [&](const QString& dir) {
             const QString file = dir + QStringLiteral("/sub/file.png");
             const QString inner = dir + QStringLiteral("/sub/inner");
             EXPECT_TRUE(QDir(dir).mkdir(QStringLiteral("sub")));
             EXPECT_TRUE(writeOld(file));
             // Each link is read from its own folder.
             EXPECT_TRUE(QFile::link(QStringLiteral("file.png"), inner));
             EXPECT_TRUE(QFile::link(QStringLiteral("sub/inner"), dir + QStringLiteral("/outer")));
             const ino_t old = Lstat(file).st_ino;
             return TSpecialTarget{dir + QStringLiteral("/outer"), [file] { return ReadAll(file); },
                                   [file, inner, old] {
                                       return S_ISLNK(Lstat(inner).st_mode) &&
                                              Lstat(file).st_ino != old;
                                   }};
         }},
        {"link to a file not there yet",
         [&](const QString& dir) {
             const QString link = dir + QStringLiteral("/link.png");
             EXPECT_TRUE(QFile::link(QStringLiteral("new.png"), link));
             return TSpecialTarget{link,
                                   [dir] { return ReadAll(dir + QStringLiteral("/new.png")); },
                                   [link] { return S_ISLNK(Lstat(link).st_mode); }};
         }},
    };
    for (const TFileFlush flush : {TFileFlush::ToDisk, TFileFlush::Skip}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (flush == TFileFlush::Skip ? ", unflushed" : ""));
            QTemporaryDir dir;
            const TSpecialTarget target = c.make(dir.path());
            const QStringList before =
                QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
            std::string error;
            EXPECT_TRUE(WriteFileAtomically(Path(target.Path), encoded, &error, flush)) << error;
            if (target.Received) {
                const QByteArray received = target.Received();
                EXPECT_EQ(received, png);
                QImage back;
                EXPECT_TRUE(back.loadFromData(received, "PNG"));
            }
            if (target.Kept) {
                EXPECT_TRUE(target.Kept());
            }
            // Nothing left beside it (a link to a new file makes that file).
            QStringList after =
                QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
            after.removeAll(QStringLiteral("new.png"));
            EXPECT_EQ(after, before);
        }
    }
}
