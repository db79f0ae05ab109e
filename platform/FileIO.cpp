#include "FileIO.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
[[noreturn]] void Fail(const QString& FileName, const QString& Why) {
    throw EFileError(QStringLiteral("%1: %2").arg(FileName, Why).toStdString());
}
} // namespace

QByteArray ReadWholeFile(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) Fail(FileName, file.errorString());
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) Fail(FileName, file.errorString());
    return data;
}

namespace {

// An unnamed file in the folder of path (O_TMPFILE): it vanishes if we are
// killed before it is linked, and a new file needs no rename at all. Where the
// file system has none, a temporary name beside path stands in. QSaveFile
// always flushes to the disk, which this path exists to avoid.
class TUnflushedFile {
public:
    explicit TUnflushedFile(const QByteArray& path) : target(path) {
        const qsizetype slash = path.lastIndexOf('/');
        folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
        fd = ::open(folder.constData(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
        if (fd < 0) fd = OpenNamed();
    }
    ~TUnflushedFile() {
        if (fd >= 0) ::close(fd);
        if (!temporary.isEmpty()) ::unlink(temporary.constData());
    }
    TUnflushedFile(const TUnflushedFile&) = delete;
    TUnflushedFile& operator=(const TUnflushedFile&) = delete;

    int Descriptor() const { return fd; }

    // Gives the written file its name, replacing a file of that name whole.
    bool Publish(bool replacing) {
        if (temporary.isEmpty()) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
            if (!replacing) {
                if (Link(self, target)) return true;
                if (errno != EEXIST) return false;
            }
            // A file of that name is there (or came meanwhile): link under a
            // temporary name, then rename over it in one step.
            for (int i = 0; i < 100 && temporary.isEmpty(); ++i) {
                const QByteArray name = TemporaryName();
                if (Link(self, name))
                    temporary = name;
                else if (errno != EEXIST)
                    return false;
            }
            if (temporary.isEmpty()) return false;
        }
        if (::rename(temporary.constData(), target.constData()) != 0) return false;
        temporary.clear();
        return true;
    }

private:
    QByteArray target, folder, temporary;
    int fd = -1;

    static bool Link(const QByteArray& from, const QByteArray& to) {
        return ::linkat(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) ==
               0;
    }
    QByteArray TemporaryName() const {
        const qsizetype slash = target.lastIndexOf('/');
        return folder + "/." + target.mid(slash + 1) + '.' +
               QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
    }
    int OpenNamed() {
        for (int i = 0; i < 100; ++i) {
            const QByteArray name = TemporaryName();
            const int d = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (d >= 0) {
                temporary = name;
                return d;
            }
            if (errno != EEXIST) break;
        }
        return -1;
    }
};

bool WriteUnflushed(const QString& fileName, const std::function<bool(QIODevice&, QString*)>& write,
                    QString* problem) {
    const QByteArray path = QFile::encodeName(fileName);
    struct stat before {};
    const bool existed = ::stat(path.constData(), &before) == 0;
    if (existed && ::access(path.constData(), W_OK) != 0) {
        *problem = qt_error_string(errno);
        return false;
    }
    TUnflushedFile file(path);
    if (file.Descriptor() < 0) {
        *problem = qt_error_string(errno);
        return false;
    }
    QFile device;
    if (!device.open(file.Descriptor(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        *problem = device.errorString();
        return false;
    }
    if (!write(device, problem)) return false;
    if (!device.flush()) {
        *problem = device.errorString();
        return false;
    }
    // A replacement takes the bits of the file it replaces; a new file has
    // 0666 less the umask, as open gave it.
    if ((existed && ::fchmod(file.Descriptor(), before.st_mode & 07777) != 0) ||
        !file.Publish(existed)) {
        *problem = qt_error_string(errno);
        return false;
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const QString& fileName,
                         const std::function<bool(QIODevice&, QString*)>& write, QString* error,
                         TFileFlush flush) {
    auto fail = [&](const QString& message) {
        if (error) *error = QStringLiteral("%1: %2").arg(fileName, message);
        return false;
    };
    if (flush == TFileFlush::Skip) {
        QString problem;
        return WriteUnflushed(fileName, write, &problem) || fail(problem);
    }
    // QSaveFile copies the permission bits of the file it replaces, but keeps the
    // owner's write bit, which it needs while writing: a read-only file that we
    // may replace (as its owner's superuser) has its own bits put back after.
    const bool existed = QFileInfo::exists(fileName);
    // The "User" flags say what we may do, not the file's bits: setting them
    // would set the owner's.
    const QFileDevice::Permissions userFlags =
        QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    const auto bits = [&] { return QFile::permissions(fileName) & ~userFlags; };
    const QFileDevice::Permissions before = existed ? bits() : QFileDevice::Permissions();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    QString problem;
    if (!write(file, &problem)) {
        file.cancelWriting();
        return fail(problem);
    }
    if (!file.commit()) return fail(file.errorString());
    if (existed && bits() != before && !QFile::setPermissions(fileName, before))
        return fail(QStringLiteral("written, but its permission bits could not be put back"));
    return true;
}

void WriteFileAtomically(const QString& FileName, const QByteArray& Data) {
    QString error;
    const bool written = WriteFileAtomically(
        FileName,
        [&](QIODevice& device, QString* problem) {
            if (device.write(Data) == Data.size()) return true;
            *problem = device.errorString();
            return false;
        },
        &error);
    if (!written) throw EFileError(error.toStdString());
}
