#include "cli/BatchRun.h"

#include <cassert>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "cli/BatchLines.h"
#include "picture/PictureFormats.h"

namespace {

constexpr std::size_t ReadPiece = 64 * 1024;
constexpr auto Tick = std::chrono::milliseconds(100);
using TClock = std::chrono::steady_clock;

// What a line of the batch came to, kept in line order until it is printed.
struct TSlot {
    std::int64_t Number = 0;
    bool Done = false;
    bool Failed = false;
    std::vector<std::string> Messages;
    std::string Unverified;
};

// A line still to be drawn. A worker takes it out of the queue whole, so
// nothing it reads while drawing is shared with the printing.
struct TJob {
    std::int64_t Sequence = 0; // where its slot stands in line order
    std::int64_t Number = 0;
    std::string Code;
};

// The self-redrawing line on a terminal; nothing when err is no terminal.
class TProgress {
public:
    TProgress(TCliStream& stream, bool onTerminal, std::int64_t codes)
        : err(stream), terminal(onTerminal), total(codes), start(TClock::now()) {}
    // Redraws at most ten times a second, and only while more than a second of
    // work is left (or, the total unknown, once a second has passed).
    void Update(std::int64_t done) {
        if (!terminal) return;
        const std::int64_t ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count();
        if (ms - drawnAt < 100) return;
        drawnAt = ms;
        const double seconds = double(ms) / 1000.0;
        const bool wanted =
            total > 0 ? done > 0 && ms >= 250 && double(total - done) * seconds / double(done) > 1.0
                      : seconds > 1.0;
        if (!wanted) {
            Clear();
            return;
        }
        err << '\r' << BatchProgressText(done, total, seconds) << "\x1b[K";
        err.Flush();
        shown = true;
    }
    // Before a message, and at the end.
    void Clear() {
        if (!shown) return;
        err << "\r\x1b[K";
        err.Flush();
        shown = false;
        drawnAt = -1000;
    }

private:
    TCliStream& err;
    const bool terminal;
    const std::int64_t total;
    const TClock::time_point start;
    std::int64_t drawnAt = -1000;
    bool shown = false;
};

// Reading on the calling thread, drawing on the workers, printing on the
// calling thread in line order. At most a window of lines is under way, so
// memory does not grow with the batch.
//
// Lines refused while reading are never drawn: their outcomes are done at
// once and may be printed before any worker has looked at the lines around
// them. So the workers keep no position among the outcomes; they take their
// lines from a queue of their own, and a drawn line's outcome is still there
// when its worker comes back, since outcomes leave only from the front and
// only when done.
class TBatch {
public:
    TBatch(const TCliOptions& options, TCliStream& stream, TProgress& shown)
        : o(options), err(stream), progress(shown), window(8 * std::size_t(options.Jobs) + 32) {
        for (int i = 0; i < o.Jobs; ++i)
            workers.emplace_back([this] { Work(); });
    }
    ~TBatch() {
        Close();
        for (std::thread& w : workers)
            w.join();
    }
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;

    // Queues a line; waits, printing what is finished, while the window is full.
    void Add(TBatchLine&& line) {
        std::unique_lock lock(mutex);
        while (outcomes.size() >= window) {
            PrintFinished(lock);
            if (outcomes.size() >= window) finished.wait_for(lock, Tick);
        }
        TSlot slot;
        slot.Number = line.Number;
        if (line.Problem.empty()) {
            jobs.push_back(
                {first + std::int64_t(outcomes.size()), line.Number, std::move(line.Code)});
            work.notify_one();
        } else {
            slot.Done = slot.Failed = true;
            slot.Messages.push_back(std::move(line.Problem));
        }
        outcomes.push_back(std::move(slot));
        PrintFinished(lock);
    }

    // Waits for every line and prints the rest; true when none failed.
    bool Finish() {
        Close();
        std::unique_lock lock(mutex);
        while (!outcomes.empty()) {
            PrintFinished(lock);
            if (!outcomes.empty()) finished.wait_for(lock, Tick);
        }
        return !anyFailed;
    }

private:
    const TCliOptions& o;
    TCliStream& err;
    TProgress& progress;
    const std::size_t window;
    std::vector<std::thread> workers;

    std::mutex mutex;
    std::condition_variable work, finished;
    std::deque<TSlot> outcomes; // every line read and not yet printed, in line order
    std::int64_t first = 0;     // the sequence number of outcomes.front()
    std::deque<TJob> jobs;      // the lines no worker has taken yet
    bool closed = false;

    // Only on the calling thread:
    std::int64_t printed = 0;
    bool anyFailed = false;
    std::set<std::string> reported; // reasons of Unverified already printed

    void Close() {
        {
            std::lock_guard lock(mutex);
            closed = true;
        }
        work.notify_all();
    }

    void Work() {
        std::unique_lock lock(mutex);
        for (;;) {
            if (jobs.empty()) {
                if (closed) return;
                work.wait(lock);
                continue;
            }
            const TJob job = std::move(jobs.front());
            jobs.pop_front();
            lock.unlock();
            TCodeOutcome r;
            try {
                r = RunCode(o, job.Code, BatchFileName(o.Output, job.Number), TFileFlush::Skip);
            } catch (...) { // only the file name is made outside RunCode's own guard
                r = CaughtFailure();
            }
            lock.lock();
            assert(job.Sequence >= first && job.Sequence < first + std::int64_t(outcomes.size()));
            TSlot& done = outcomes[std::size_t(job.Sequence - first)];
            done.Done = true;
            done.Failed = r.Exit != cliOk;
            done.Messages = std::move(r.Messages);
            done.Unverified = std::move(r.Unverified);
            // Waking the reader for every picture costs more than drawing it:
            // it is woken when a quarter of the window can be printed and
            // refilled, or when the workers are about to run out of lines.
            const std::size_t printable = FinishedAtFront();
            if (closed || printable >= window / 4 || (printable > 0 && jobs.empty()))
                finished.notify_one();
        }
    }

    std::size_t FinishedAtFront() const {
        std::size_t n = 0;
        while (n < outcomes.size() && outcomes[n].Done)
            ++n;
        return n;
    }

    void PrintFinished(std::unique_lock<std::mutex>& lock) {
        std::vector<TSlot> ready;
        while (!outcomes.empty() && outcomes.front().Done) {
            ready.push_back(std::move(outcomes.front()));
            outcomes.pop_front();
            ++first;
        }
        lock.unlock();
        for (const TSlot& s : ready) {
            if (!s.Messages.empty() || !s.Unverified.empty()) progress.Clear();
            for (const std::string& m : s.Messages)
                err << "line " << s.Number << ": "
                    << (m.starts_with(CliPrefix) ? std::string_view(m).substr(CliPrefix.size())
                                                 : std::string_view(m))
                    << '\n';
            if (!s.Unverified.empty() && reported.insert(s.Unverified).second)
                err << UnverifiedLine(s.Unverified) << '\n';
            anyFailed = anyFailed || s.Failed;
        }
        printed += std::int64_t(ready.size());
        if (!ready.empty()) err.Flush();
        progress.Update(printed);
        lock.lock();
    }
};

// A descriptor closed on every path.
struct TInput {
    int fd = -1;
    bool owned = false;
    ~TInput() {
        if (owned && fd >= 0) ::close(fd);
    }
};

// Hands every line of fd to sink, reading piece by piece; false with errno on a read error.
bool ReadLines(int fd, const TBatchLineReader::TSink& sink) {
    TBatchLineReader reader;
    std::string piece(ReadPiece, '\0');
    for (;;) {
        const ssize_t n = ::read(fd, piece.data(), piece.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        reader.Feed(std::string_view(piece.data(), std::size_t(n)), sink);
    }
    reader.Finish(sink);
    return true;
}

// The codes of a file, for the progress line; the file is read again from its start.
std::int64_t CountCodes(int fd) {
    std::int64_t count = 0;
    const bool read = ReadLines(fd, [&](TBatchLine&&) { ++count; });
    return read && ::lseek(fd, 0, SEEK_SET) == 0 ? count : 0;
}

// Why the folder of every file cannot take pictures, or empty.
std::string FolderProblem(const std::string& pattern) {
    const std::size_t slash = pattern.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : pattern.substr(0, slash);
    // The folder as the messages name it: the path up to the file name.
    const std::string named = slash == std::string::npos ? "." : pattern.substr(0, slash);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return ForMessage(named.empty() ? "/" : named) + ": no such folder";
    if (::access(folder.c_str(), W_OK) != 0)
        return ForMessage(named.empty() ? "/" : named) + ": folder not writable";
    return {};
}

std::string SystemWords() {
    return std::strerror(errno);
}

} // namespace

std::string BatchFileName(const std::string& pattern, std::int64_t number) {
    // The number goes into the file name only: every file of a batch lands in
    // one folder, which can then be checked before the first line is drawn.
    const std::size_t nameStart = pattern.rfind('/') + 1; // 0 without a folder
    const std::string digits = std::to_string(number);
    std::string name = pattern.substr(0, nameStart);
    bool numbered = false;
    for (std::size_t i = nameStart; i < pattern.size();) {
        if (pattern[i] != '#') {
            name += pattern[i++];
            continue;
        }
        const std::size_t from = i;
        while (i < pattern.size() && pattern[i] == '#')
            ++i;
        if (i - from > digits.size()) name.append(i - from - digits.size(), '0');
        name += digits;
        numbered = true;
    }
    if (numbered) return name;
    const std::ptrdiff_t dot = ExtensionStart(pattern);
    return dot >= 0 ? std::string(pattern).insert(std::size_t(dot), digits) : pattern + digits;
}

std::string BatchProgressText(std::int64_t done, std::int64_t total, double seconds) {
    const double rate = seconds > 0 ? double(done) / seconds : 0;
    const std::string perSecond = std::to_string(std::llround(rate)) + " a second";
    if (total <= 0) return std::to_string(done) + " codes, " + perSecond;
    std::string left = "?";
    if (rate > 0) {
        const long long s = std::llround(double(total - done) / rate);
        const std::string secs = std::to_string(s % 60);
        left = s < 60 ? std::to_string(s) + " s"
                      : std::to_string(s / 60) + " min " + (s % 60 < 10 ? "0" : "") + secs + " s";
    }
    return std::to_string(done) + "/" + std::to_string(total) + " codes, " + perSecond + ", " +
           left + " left";
}

int RunBatch(const TCliOptions& o, TCliStream& err) {
    const std::string folder = FolderProblem(o.Output);
    if (!folder.empty()) {
        err << CliPrefix << "--output " << ForMessage(o.Output) << ": " << folder << '\n';
        return cliRefused;
    }
    TInput in;
    if (o.Batch == "-") {
        in.fd = STDIN_FILENO;
    } else {
        in.fd = ::open(o.Batch.c_str(), O_RDONLY | O_CLOEXEC);
        in.owned = true;
        struct stat st {};
        std::string why = in.fd < 0 ? SystemWords() : "";
        if (in.fd >= 0 && ::fstat(in.fd, &st) == 0 && S_ISDIR(st.st_mode))
            why = "file to open is a directory";
        if (!why.empty()) {
            err << CliPrefix << ForMessage(o.Batch) << ": " << why << '\n';
            return cliRefused;
        }
    }
    const bool terminal = ::isatty(err.Descriptor()) == 1;
    struct stat st {};
    const bool seekable = ::fstat(in.fd, &st) == 0 && S_ISREG(st.st_mode);
    TProgress progress(err, terminal, terminal && seekable ? CountCodes(in.fd) : 0);
    bool ok = true, read = true;
    std::string readProblem;
    {
        TBatch batch(o, err, progress);
        read = ReadLines(in.fd, [&](TBatchLine&& line) { batch.Add(std::move(line)); });
        if (!read) readProblem = SystemWords();
        ok = batch.Finish();
    }
    progress.Clear();
    if (!read) {
        err << CliPrefix << ForMessage(o.Batch) << ": " << readProblem << '\n';
        ok = false;
    }
    return ok ? cliOk : cliRefused;
}
