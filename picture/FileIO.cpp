#include "picture/FileIO.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Every message about a file: "name: why".
QString FileProblem(const QString& FileName, const QString& Why) {
    return QStringLiteral("%1: %2").arg(FileName, Why);
}

[[noreturn]] void Fail(const QString& FileName, const QString& Why) {
    throw EFileError(FileProblem(FileName, Why).toStdString());
}

} // namespace

qsizetype ExtensionStart(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > fileName.lastIndexOf(u'/') ? dot : -1;
}

QByteArray ReadWholeFile(const QString& FileName) {
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) Fail(FileName, file.errorString());
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) Fail(FileName, file.errorString());
    return data;
}

namespace {

// Keeps errno across clean-up calls that may set it, so the message tells the
// first failure.
class TKeepErrno {
public:
    TKeepErrno() : saved(errno) {}
    ~TKeepErrno() { errno = saved; }
    TKeepErrno(const TKeepErrno&) = delete;
    TKeepErrno& operator=(const TKeepErrno&) = delete;

private:
    int saved;
};

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

// Every byte, or false with errno set. A short write is where a full disk
// shows first; the next write then says why.
bool WriteAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(std::min<qsizetype>(left, qsizetype(1) << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) { // no file does this, but a loop must not spin on it
            errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

enum class TTargetKind { Missing, Regular, Special };

struct TTarget {
    QByteArray Path; // the name with its symbolic links followed
    TTargetKind Kind = TTargetKind::Missing;
    mode_t Mode = 0;
};

// Follows symbolic links to the file the name leads to, so replacing it keeps
// the link. The kernel's links to open files (/dev/stdout goes through
// /proc/self/fd/1) are no folder entries we could replace: they are written
// into. False with errno when the name cannot be followed.
bool Resolve(QByteArray path, TTarget& target) {
    for (int hop = 0; hop <= 40; ++hop) { // the kernel's own limit of links in one name
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0) {
            if (errno != ENOENT) return false;
            target = {path, TTargetKind::Missing, 0};
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = {path, S_ISREG(st.st_mode) ? TTargetKind::Regular : TTargetKind::Special,
                      st.st_mode};
            return true;
        }
        const QByteArray folder = FolderOf(path);
        struct statfs fs {};
        if (::statfs(folder.constData(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC) {
            target = {path, TTargetKind::Special, st.st_mode};
            return true;
        }
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), link.data(), size_t(link.size()));
        if (n < 0) return false;
        if (n == link.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        link.truncate(n);
        path = link.startsWith('/') ? link : folder + '/' + link;
    }
    errno = ELOOP;
    return false;
}

// A descriptor closed on every path; Close reports what the kernel says then
// (a network file system may tell a failed write only there).
class TDescriptor {
public:
    explicit TDescriptor(int d = -1) : fd(d) {}
    ~TDescriptor() {
        if (fd >= 0) {
            const TKeepErrno keep;
            ::close(fd);
        }
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;

    int Get() const { return fd; }
    void Reset(int d) { // on an empty one only
        fd = d;
    }
    bool Close() {
        const int d = fd;
        fd = -1;
        return ::close(d) == 0;
    }

private:
    int fd;
};

// The file that takes the target's name: an unnamed file (O_TMPFILE) in its
// folder, which vanishes if we are killed before it is linked, and a new file
// needs no rename at all. Where the file system has none, a temporary name
// beside the target stands in, removed again on every failure.
class TReplacement {
public:
    explicit TReplacement(const QByteArray& path) : target(path), folder(FolderOf(path)) {
        file.Reset(::open(folder.constData(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666));
        if (file.Get() < 0) file.Reset(OpenNamed());
    }
    ~TReplacement() {
        if (!temporary.isEmpty()) {
            const TKeepErrno keep;
            ::unlink(temporary.constData());
        }
    }
    TReplacement(const TReplacement&) = delete;
    TReplacement& operator=(const TReplacement&) = delete;

    int Descriptor() const { return file.Get(); }

    // Closes the file and gives it the target's name, replacing a file of that
    // name in one step. False with errno.
    bool Publish(bool replacing) {
        if (temporary.isEmpty()) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.Get());
            if (!replacing) {
                if (Link(self, target)) {
                    if (file.Close()) return true;
                    const TKeepErrno keep; // the name is ours: nobody else had it a moment ago
                    ::unlink(target.constData());
                    return false;
                }
                if (errno != EEXIST) return false;
            }
            // A file of that name is there (or came meanwhile): link under a
            // temporary name, then rename over it.
            for (int i = 0; i < 100 && temporary.isEmpty(); ++i) {
                const QByteArray name = TemporaryName();
                if (Link(self, name))
                    temporary = name;
                else if (errno != EEXIST)
                    return false;
            }
            if (temporary.isEmpty()) return false;
        }
        if (!file.Close()) return false;
        if (::rename(temporary.constData(), target.constData()) != 0) return false;
        temporary.clear();
        return true;
    }

private:
    QByteArray target, folder, temporary;
    TDescriptor file;

    static bool Link(const QByteArray& from, const QByteArray& to) {
        return ::linkat(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) ==
               0;
    }
    QByteArray TemporaryName() const {
        return folder + "/." + target.mid(target.lastIndexOf('/') + 1) + '.' +
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

// Makes the bytes once the file is open; false with its own message to give up.
using TProduce = std::function<bool(QByteArray& bytes, QString* problem)>;

// The system's words for the failure at hand, taken before any clean-up.
bool SystemFailure(QString* problem) {
    *problem = qt_error_string(errno);
    return false;
}

bool WriteInto(const TTarget& target, const TProduce& produce, QString* problem) {
    TDescriptor file(::open(target.Path.constData(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) return SystemFailure(problem);
    QByteArray bytes;
    if (!produce(bytes, problem)) return false;
    if (!WriteAll(file.Get(), bytes) || !file.Close()) return SystemFailure(problem);
    return true;
}

bool Replace(const TTarget& target, const TProduce& produce, TFileFlush flush, QString* problem) {
    const bool existed = target.Kind == TTargetKind::Regular;
    if (existed && ::access(target.Path.constData(), W_OK) != 0) return SystemFailure(problem);
    TReplacement file(target.Path);
    if (file.Descriptor() < 0) return SystemFailure(problem);
    QByteArray bytes;
    if (!produce(bytes, problem)) return false;
    if (!WriteAll(file.Descriptor(), bytes)) return SystemFailure(problem);
    // A replacement takes the bits of the file it replaces; a new file has
    // 0666 less the umask, as open gave it.
    if (existed && ::fchmod(file.Descriptor(), target.Mode & 07777) != 0)
        return SystemFailure(problem);
    if (flush == TFileFlush::ToDisk && ::fsync(file.Descriptor()) != 0)
        return SystemFailure(problem);
    if (!file.Publish(existed)) return SystemFailure(problem);
    if (flush == TFileFlush::ToDisk) {
        // The new name on the disk too. It is in place already, and a folder
        // that cannot be flushed could not undo that: nothing to report.
        TDescriptor dir(
            ::open(FolderOf(target.Path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.Get() >= 0) ::fsync(dir.Get());
    }
    return true;
}

bool WriteFile(const QString& fileName, const TProduce& produce, TFileFlush flush, QString* error) {
    QString problem;
    TTarget target;
    const bool written = Resolve(QFile::encodeName(fileName), target)
                             ? target.Kind == TTargetKind::Special
                                   ? WriteInto(target, produce, &problem)
                                   : Replace(target, produce, flush, &problem)
                             : SystemFailure(&problem);
    if (!written && error) *error = FileProblem(fileName, problem);
    return written;
}

} // namespace

bool WriteFileAtomically(const QString& fileName, const QByteArray& data, QString* error,
                         TFileFlush flush) {
    return WriteFile(
        fileName,
        [&](QByteArray& bytes, QString*) {
            bytes = data;
            return true;
        },
        flush, error);
}

bool WriteFileAtomically(const QString& fileName,
                         const std::function<bool(QIODevice&, QString*)>& write, QString* error,
                         TFileFlush flush) {
    // In memory first: the writers (Qt's image, SVG and PDF writers among
    // them) do not all check their writes, and the bytes then go to the file
    // in one checked write.
    return WriteFile(
        fileName,
        [&](QByteArray& bytes, QString* problem) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            return write(buffer, problem);
        },
        flush, error);
}

void WriteWholeFile(const QString& FileName, const QByteArray& Data) {
    QString error;
    if (!WriteFileAtomically(FileName, Data, &error)) throw EFileError(error.toStdString());
}
