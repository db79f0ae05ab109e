// What the program writes (the settings file, a picture) is replaced whole or
// not at all: while the write fails part-way (a full file system, a file size
// limit) and while the writing process is killed, the old file stays intact
// or the new one is complete, never truncated; a failure the program saw
// leaves no temporary file behind.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <iostream>
#include <random>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include "picture/SaveImage.h"
#include "platform/QtConvert.h"
#include "propsave/PropSaveMain.h"
#include "tests/FileContent.h"
#include "tests/cli/CliRun.h"
#include "tests/faults/FaultData.h"
#include "tests/symbologies/TestSeed.h"

// Qt's PNG writer leaks its row buffer when libpng gives up on a failed write.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6Gui\nleak:libfontconfig\n";
}

namespace {

QByteArray Png(const TBitmap& image) {
    TBytes bytes;
    EXPECT_TRUE(EncodePng(image, DefaultDpi, bytes, nullptr));
    return QByteArray::fromStdString(bytes);
}

// One kind of file the program replaces: how to write a new version of it
// (false when the program saw the write fail) and its bytes.
struct TTarget {
    const char* Name;
    const char* File;
    std::function<bool(const QString& path, int version)> Write;
    std::function<QByteArray(int version)> Expected;
};

const std::vector<TTarget>& Targets() {
    static const std::vector<TTarget> targets = {
        {"settings", "gen.ini",
         [](const QString& path, int version) {
             TPropSaveFile f;
             f.Open(path);
             f.Store()->SetIniText(FaultSettingsText(version, 200));
             const bool saved = f.Save(QString(), false);
             f.DisableAll = true; // no second save, with its message, at destruction
             return saved;
         },
         [](int version) { return FaultSettingsText(version, 200).toUtf8(); }},
        {"picture", "code.png",
         [](const QString& path, int version) {
             std::string error;
             return SaveImageAtomically(FaultPicture(version, 300), FileNameBytes(path), &error);
         },
         [](int version) { return Png(FaultPicture(version, 300)); }},
    };
    return targets;
}

// The old file is as it was, and nothing else is left in the folder.
void ExpectUntouched(const QString& folder, const QString& path, const QByteArray& old,
                     const QStringList& others = {}) {
    EXPECT_EQ(ReadAll(path), old) << path.toStdString();
    QStringList expected = others;
    expected << QFileInfo(path).fileName();
    expected.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), expected);
}

// A tmpfs of a few pages in a mount namespace of this thread's own, so the
// mount is gone with the process. Root only.
class SmallFileSystem {
public:
    bool Mount(const QString& at, const char* size = "512k") {
        if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0) return false;
        if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
        const QByteArray options = QByteArray("size=") + size;
        if (mount("tmpfs", at.toLocal8Bit().constData(), "tmpfs", 0, options.constData()) != 0)
            return false;
        Path = at;
        return true;
    }
    ~SmallFileSystem() {
        if (!Path.isEmpty()) umount2(Path.toLocal8Bit().constData(), MNT_DETACH);
    }
    QString Path;
};

// Fills the file system with filler until only a few pages are free.
void Fill(const QString& filler, qint64 leave) {
    QFile f(filler);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray page(4096, 'x');
    while (f.write(page) == page.size()) {
    }
    f.close();
    ASSERT_TRUE(f.resize(std::max<qint64>(0, f.size() - leave)));
}

TEST(FileFaults, FullFileSystemKeepsTheOldFile) {
    QTemporaryDir dir;
    SmallFileSystem fs;
    if (!fs.Mount(dir.path())) GTEST_SKIP() << "cannot mount a small file system here";
    for (const TTarget& t : Targets()) {
        SCOPED_TRACE(t.Name);
        const QString path = dir.filePath(QString::fromLatin1(t.File));
        const QByteArray old = t.Expected(1);
        ASSERT_TRUE(t.Write(path, 1));
        ASSERT_EQ(ReadAll(path), old);
        const QString filler = dir.filePath(QStringLiteral("filler"));
        Fill(filler, 3 * 4096);
        EXPECT_FALSE(t.Write(path, 2)) << "a write to a full file system succeeded";
        ExpectUntouched(dir.path(), path, old, {QStringLiteral("filler")});
        QFile::remove(filler);
        QFile::remove(path);
    }
}

// barcodegen-cli writing each format onto a full file system, as a new file
// and over an old one: exit status 1, the system's reason, the old file as it
// was and nothing else left. The pictures are larger than the page left free,
// so the first write gets through in part and only the next one fails.
TEST(FileFaults, CommandLineOnAFullFileSystemKeepsTheOldFile) {
    QTemporaryDir dir;
    SmallFileSystem fs;
    if (!fs.Mount(dir.path(), "2m")) GTEST_SKIP() << "cannot mount a small file system here";
    const QString filler = dir.filePath(QStringLiteral("filler"));
    for (const char* format : {"png", "bmp", "jpg", "svg", "pdf"}) {
        for (const bool replacing : {false, true}) {
            SCOPED_TRACE(std::string(format) + (replacing ? " replacing" : " new"));
            const QString path = dir.filePath(QStringLiteral("code.") + QLatin1String(format));
            const auto run = [&](const char* code) {
                return Cli({QStringLiteral("--size"), QStringLiteral("1200x800"),
                            QStringLiteral("-o"), path, QString::fromLatin1(code)});
            };
            QByteArray old;
            if (replacing) {
                const CliRun first = run("400638133393");
                ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
                old = ReadAll(path);
            }
            Fill(filler, 4096);
            const CliRun r = run("590123412345");
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.err.contains(path + QStringLiteral(": No space left on device")))
                << r.err.toStdString();
            if (replacing)
                ExpectUntouched(dir.path(), path, old, {QStringLiteral("filler")});
            else
                EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                          QStringList{QStringLiteral("filler")});
            QFile::remove(filler);
            QFile::remove(path);
        }
    }
}

TEST(FileFaults, FileSizeLimitKeepsTheOldFile) {
    for (const TTarget& t : Targets()) {
        SCOPED_TRACE(t.Name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(t.File));
        const QByteArray old = t.Expected(1);
        ASSERT_TRUE(t.Write(path, 1));
        // Writes beyond 16 KiB fail (EFBIG) instead of raising SIGXFSZ.
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 16 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = t.Write(path, 2);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(written) << "a write past the size limit succeeded";
        ExpectUntouched(dir.path(), path, old);
    }
}

TEST(FileFaults, KilledWriterLeavesACompleteFile) {
    const unsigned seed = TestSeed();
    std::cout << "seed " << seed << std::endl;
    std::mt19937 random(seed);
    QTemporaryDir dir;
    for (const char* kind : {"settings", "picture"}) {
        SCOPED_TRACE(kind);
        const QString path =
            dir.filePath(kind == std::string("settings") ? QStringLiteral("gen.ini")
                                                         : QStringLiteral("code.png"));
        const QByteArray versions[] = {
            kind == std::string("settings") ? FaultSettingsText(1, 1000).toUtf8()
                                            : Png(FaultPicture(1, 400)),
            kind == std::string("settings") ? FaultSettingsText(2, 1000).toUtf8()
                                            : Png(FaultPicture(2, 400))};
        for (int round = 0; round < 4; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(BARCODEGEN_FAULT_WRITER),
                         {QString::fromLatin1(kind), path});
            ASSERT_TRUE(writer.waitForStarted());
            ASSERT_TRUE(writer.waitForReadyRead(30000)) << "the writer did not start writing";
            // Somewhere in one of the next writes.
            QThread::msleep(std::uniform_int_distribution<int>(0, 150)(random));
            writer.kill();
            writer.waitForFinished();
            const QByteArray now = ReadAll(path);
            EXPECT_TRUE(now == versions[0] || now == versions[1])
                << "round " << round << ": " << now.size() << " bytes, neither version";
        }
    }
}

} // namespace
