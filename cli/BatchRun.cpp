#include "cli/BatchRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <unistd.h>
#include <vector>

#include "cli/BarcodeCli.h"
#include "cli/BatchLines.h"
#include "picture/FileIO.h"
#include "picture/PictureFormats.h"
#include "platform/QtConvert.h"

namespace {

constexpr qsizetype ReadPiece = 64 * 1024;
constexpr auto Tick = std::chrono::milliseconds(100);

// What a line of the batch came to, kept in line order until it is printed.
struct TSlot {
    qint64 Number = 0;
    bool Done = false;
    bool Failed = false;
    QStringList Messages;
    QString Unverified;
};

// A line still to be drawn. A worker takes it out of the queue whole, so
// nothing it reads while drawing is shared with the printing.
struct TJob {
    qint64 Sequence = 0; // where its slot stands in line order
    qint64 Number = 0;
    QString Code;
};

// The self-redrawing line on a terminal; nothing when err is no terminal.
class TProgress {
public:
    TProgress(QTextStream& err, bool terminal, qint64 total)
        : err(err), terminal(terminal), total(total) {
        clock.start();
    }
    // Redraws at most ten times a second, and only while more than a second of
    // work is left (or, the total unknown, once a second has passed).
    void Update(qint64 done) {
        if (!terminal) return;
        const qint64 ms = clock.elapsed();
        if (ms - drawnAt < 100) return;
        drawnAt = ms;
        const double seconds = ms / 1000.0;
        const bool wanted =
            total > 0 ? done > 0 && ms >= 250 && double(total - done) * seconds / double(done) > 1.0
                      : seconds > 1.0;
        if (!wanted) {
            Clear();
            return;
        }
        err << '\r' << BatchProgressText(done, total, seconds) << "\x1b[K";
        err.flush();
        shown = true;
    }
    // Before a message, and at the end.
    void Clear() {
        if (!shown) return;
        err << "\r\x1b[K";
        err.flush();
        shown = false;
        drawnAt = -1000;
    }

private:
    QTextStream& err;
    const bool terminal;
    const qint64 total;
    QElapsedTimer clock;
    qint64 drawnAt = -1000;
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
    TBatch(const TCliOptions& o, QTextStream& err, TProgress& progress)
        : o(o), err(err), progress(progress), window(8 * std::size_t(o.Jobs) + 32) {
        for (int i = 0; i < o.Jobs; ++i) {
            workers.emplace_back(QThread::create([this] { Work(); }));
            workers.back()->start();
        }
    }
    ~TBatch() {
        Close();
        for (const auto& w : workers)
            w->wait();
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
        if (line.Problem.isEmpty()) {
            jobs.push_back({first + qint64(outcomes.size()), line.Number, std::move(line.Code)});
            work.notify_one();
        } else {
            slot.Done = slot.Failed = true;
            slot.Messages << line.Problem;
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
    QTextStream& err;
    TProgress& progress;
    const std::size_t window;
    std::vector<std::unique_ptr<QThread>> workers;

    std::mutex mutex;
    std::condition_variable work, finished;
    std::deque<TSlot> outcomes; // every line read and not yet printed, in line order
    qint64 first = 0;           // the sequence number of outcomes.front()
    std::deque<TJob> jobs;      // the lines no worker has taken yet
    bool closed = false;

    // Only on the calling thread:
    qint64 printed = 0;
    bool anyFailed = false;
    std::set<QString> reported; // reasons of Unverified already printed

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
            Q_ASSERT(job.Sequence >= first && job.Sequence < first + qint64(outcomes.size()));
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
            if (!s.Messages.isEmpty() || !s.Unverified.isEmpty()) progress.Clear();
            for (const QString& m : s.Messages)
                err << "line " << s.Number << ": "
                    << (m.startsWith(CliPrefix) ? m.mid(CliPrefix.size()) : m) << '\n';
            if (!s.Unverified.isEmpty() && reported.insert(s.Unverified).second)
                err << UnverifiedLine(s.Unverified) << '\n';
            anyFailed = anyFailed || s.Failed;
        }
        printed += qint64(ready.size());
        if (!ready.empty()) err.flush();
        progress.Update(printed);
        lock.lock();
    }
};

bool IsTerminal(const QTextStream& err) {
    const auto* file = qobject_cast<const QFile*>(err.device());
    return file && file->handle() >= 0 && ::isatty(file->handle());
}

// Hands every line of in to sink, reading piece by piece; false on a read error.
bool ReadLines(QFile& in, const TBatchLineReader::TSink& sink) {
    TBatchLineReader reader;
    QByteArray piece(ReadPiece, Qt::Uninitialized);
    qint64 n = 0;
    while ((n = in.read(piece.data(), piece.size())) > 0)
        reader.Feed(QByteArrayView(piece.constData(), n), sink);
    if (n < 0) return false;
    reader.Finish(sink);
    return true;
}

// The codes of a file, for the progress line; the file is read again from its start.
qint64 CountCodes(QFile& in) {
    qint64 count = 0;
    const bool read = ReadLines(in, [&](TBatchLine&&) { ++count; });
    return read && in.seek(0) ? count : 0;
}

// Why the folder of every file cannot take pictures, or empty.
QString FolderProblem(const QString& pattern) {
    const QFileInfo file(pattern);
    const QFileInfo folder(file.path());
    if (!folder.isDir()) return QStringLiteral("%1: no such folder").arg(ForMessage(file.path()));
    if (!folder.isWritable())
        return QStringLiteral("%1: folder not writable").arg(ForMessage(file.path()));
    return {};
}

} // namespace

QString BatchFileName(const QString& pattern, qint64 number) {
    // The number goes into the file name only: every file of a batch lands in
    // one folder, which can then be checked before the first line is drawn.
    const qsizetype nameStart = pattern.lastIndexOf(u'/') + 1;
    const QString digits = QString::number(number);
    QString name = pattern.first(nameStart);
    bool numbered = false;
    for (qsizetype i = nameStart; i < pattern.size();) {
        if (pattern[i] != u'#') {
            name += pattern[i++];
            continue;
        }
        const qsizetype from = i;
        while (i < pattern.size() && pattern[i] == u'#')
            ++i;
        name += digits.rightJustified(i - from, u'0');
        numbered = true;
    }
    if (numbered) return name;
    const qsizetype dot = ExtensionStart(ToU16(pattern));
    return dot >= 0 ? QString(pattern).insert(dot, digits) : pattern + digits;
}

QString BatchProgressText(qint64 done, qint64 total, double seconds) {
    const double rate = seconds > 0 ? double(done) / seconds : 0;
    const QString perSecond = QStringLiteral("%1 a second").arg(qRound64(rate));
    if (total <= 0) return QStringLiteral("%1 codes, %2").arg(done).arg(perSecond);
    QString left = QStringLiteral("?");
    if (rate > 0) {
        const qint64 s = qRound64(double(total - done) / rate);
        left = s < 60 ? QStringLiteral("%1 s").arg(s)
                      : QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
    }
    return QStringLiteral("%1/%2 codes, %3, %4 left").arg(done).arg(total).arg(perSecond, left);
}

int RunBatch(const TCliOptions& o, QTextStream& err) {
    const QString folder = FolderProblem(o.Output);
    if (!folder.isEmpty()) {
        err << CliPrefix << "--output " << ForMessage(o.Output) << ": " << folder << '\n';
        return cliRefused;
    }
    QFile in;
    const bool opened = o.Batch == QLatin1String("-")
                            ? in.open(STDIN_FILENO, QIODevice::ReadOnly)
                            : (in.setFileName(o.Batch), in.open(QIODevice::ReadOnly));
    if (!opened) {
        err << CliPrefix << ForMessage(o.Batch) << ": " << in.errorString() << '\n';
        return cliRefused;
    }
    const bool terminal = IsTerminal(err);
    TProgress progress(err, terminal, terminal && !in.isSequential() ? CountCodes(in) : 0);
    bool ok = true, read = true;
    {
        TBatch batch(o, err, progress);
        read = ReadLines(in, [&](TBatchLine&& line) { batch.Add(std::move(line)); });
        ok = batch.Finish();
    }
    progress.Clear();
    if (!read) {
        err << CliPrefix << ForMessage(o.Batch) << ": " << in.errorString() << '\n';
        ok = false;
    }
    return ok ? cliOk : cliRefused;
}
