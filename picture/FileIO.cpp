#include "picture/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <random>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Every message about a file: "name: why".
std::string FileProblem(const std::string& fileName, const std::string& why) {
    return fileName + ": " + why;
}

// The system's words for errno.
std::string SystemWords(int error) {
    return std::strerror(error);
}

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

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".")
           : slash == 0               ? std::string("/")
                                      : path.substr(0, slash);
}

// Every byte, or false with errno set. A short write is where a full disk
// shows first; the next write then says why.
bool WriteAll(int fd, const std::string& data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, std::min<std::size_t>(left, std::size_t(1) << 30));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) { // no file does this, but a loop must not spin on it
            errno = EIO;
            return false;
        }
        p += n;
        left -= std::size_t(n);
    }
    return true;
}

enum class TTargetKind { Missing, Regular, Special };

struct TTarget {
    std::string Path; // the name with its symbolic links followed
    TTargetKind Kind = TTargetKind::Missing;
    mode_t Mode = 0;
};

// Follows symbolic links to the file the name leads to, so replacing it keeps
// the link. The kernel's links to open files (/dev/stdout goes through
// /proc/self/fd/1) are no folder entries we could replace: they are written
// into. False with errno when the name cannot be followed.
bool Resolve(std::string path, TTarget& target) {
    for (int hop = 0; hop <= 40; ++hop) { // the kernel's own limit of links in one name
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) return false;
            target = {path, TTargetKind::Missing, 0};
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            target = {path, S_ISREG(st.st_mode) ? TTargetKind::Regular : TTargetKind::Special,
                      st.st_mode};
            return true;
        }
        const std::string folder = FolderOf(path);
        struct statfs fs {};
        if (::statfs(folder.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC) {
            target = {path, TTargetKind::Special, st.st_mode};
            return true;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return false;
        if (std::size_t(n) == link.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        link.resize(std::size_t(n));
        path = link.starts_with('/') ? link : folder + '/' + link;
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
    explicit TReplacement(const std::string& path) : target(path), folder(FolderOf(path)) {
        file.Reset(::open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666));
        if (file.Get() < 0) file.Reset(OpenNamed());
    }
    ~TReplacement() {
        if (!temporary.empty()) {
            const TKeepErrno keep;
            ::unlink(temporary.c_str());
        }
    }
    TReplacement(const TReplacement&) = delete;
    TReplacement& operator=(const TReplacement&) = delete;

    int Descriptor() const { return file.Get(); }

    // Closes the file and gives it the target's name, replacing a file of that
    // name in one step. False with errno.
    bool Publish(bool replacing) {
        if (temporary.empty()) {
            const std::string self = "/proc/self/fd/" + std::to_string(file.Get());
            if (!replacing) {
                if (Link(self, target)) {
                    if (file.Close()) return true;
                    const TKeepErrno keep; // the name is ours: nobody else had it a moment ago
                    ::unlink(target.c_str());
                    return false;
                }
                if (errno != EEXIST) return false;
            }
            // A file of that name is there (or came meanwhile): link under a
            // temporary name, then rename over it.
            for (int i = 0; i < 100 && temporary.empty(); ++i) {
                const std::string name = TemporaryName();
                if (Link(self, name))
                    temporary = name;
                else if (errno != EEXIST)
                    return false;
            }
            if (temporary.empty()) return false;
        }
        if (!file.Close()) return false;
        if (::rename(temporary.c_str(), target.c_str()) != 0) return false;
        temporary.clear();
        return true;
    }

private:
    std::string target, folder, temporary;
    TDescriptor file;

    static bool Link(const std::string& from, const std::string& to) {
        return ::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }
    std::string TemporaryName() const {
        // Unguessable, so that nobody can put a file or link there beforehand.
        thread_local std::mt19937_64 random{std::random_device{}()};
        std::uint64_t n = random();
        std::string digits;
        do {
            digits += "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36];
            n /= 36;
        } while (n > 0);
        return folder + "/." + target.substr(target.rfind('/') + 1) + '.' + digits + ".tmp";
    }
    int OpenNamed() {
        for (int i = 0; i < 100; ++i) {
            const std::string name = TemporaryName();
            const int d = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
using TProduce = std::function<bool(std::string& bytes, std::string* problem)>;

// The system's words for the failure at hand, taken before any clean-up.
bool SystemFailure(std::string* problem) {
    *problem = SystemWords(errno);
    return false;
}

bool WriteInto(const TTarget& target, const TProduce& produce, std::string* problem) {
    TDescriptor file(::open(target.Path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) return SystemFailure(problem);
    std::string bytes;
    if (!produce(bytes, problem)) return false;
    if (!WriteAll(file.Get(), bytes) || !file.Close()) return SystemFailure(problem);
    return true;
}

bool Replace(const TTarget& target, const TProduce& produce, TFileFlush flush,
             std::string* problem) {
    const bool existed = target.Kind == TTargetKind::Regular;
    if (existed && ::access(target.Path.c_str(), W_OK) != 0) return SystemFailure(problem);
    TReplacement file(target.Path);
    if (file.Descriptor() < 0) return SystemFailure(problem);
    std::string bytes;
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
        TDescriptor dir(::open(FolderOf(target.Path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.Get() >= 0) ::fsync(dir.Get());
    }
    return true;
}

bool WriteFile(const std::string& fileName, const TProduce& produce, TFileFlush flush,
               std::string* error) {
    std::string problem;
    TTarget target;
    const bool written = Resolve(fileName, target) ? target.Kind == TTargetKind::Special
                                                         ? WriteInto(target, produce, &problem)
                                                         : Replace(target, produce, flush, &problem)
                                                   : SystemFailure(&problem);
    if (!written && error) *error = FileProblem(fileName, problem);
    return written;
}

} // namespace

std::string ReadWholeFile(const std::string& fileName) {
    const auto fail = [&] { throw EFileError(FileProblem(fileName, SystemWords(errno))); };
    TDescriptor file(::open(fileName.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0) fail();
    struct stat st {};
    if (::fstat(file.Get(), &st) != 0) fail();
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        fail();
    }
    std::string data;
    // A regular file's size is a good first guess; a pipe or a growing file reads on.
    data.resize(S_ISREG(st.st_mode) && st.st_size > 0 ? std::size_t(st.st_size) : 0);
    std::size_t have = 0;
    for (;;) {
        if (have == data.size()) data.resize(std::max<std::size_t>(4096, data.size() * 2));
        const ssize_t n = ::read(file.Get(), data.data() + have, data.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail();
        if (n == 0) break;
        have += std::size_t(n);
    }
    data.resize(have);
    return data;
}

bool WriteFileAtomically(const std::string& fileName, const std::string& data, std::string* error,
                         TFileFlush flush) {
    return WriteFile(
        fileName,
        [&](std::string& bytes, std::string*) {
            bytes = data;
            return true;
        },
        flush, error);
}

bool WriteFileAtomically(const std::string& fileName,
                         const std::function<bool(std::string&, std::string*)>& produce,
                         std::string* error, TFileFlush flush) {
    return WriteFile(fileName, produce, flush, error);
}

void WriteWholeFile(const std::string& fileName, const std::string& data) {
    std::string error;
    if (!WriteFileAtomically(fileName, data, &error)) throw EFileError(error);
}
