#include "cli/BatchLines.h"

#include <QStringDecoder>

void TBatchLineReader::Feed(QByteArrayView bytes, const TSink& sink) {
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView part = end < 0 ? bytes : bytes.first(end);
        // One byte more than the limit may be the CR of a CR LF.
        if (!tooLong && pending.size() + part.size() > BatchMaxLineBytes + 1) {
            tooLong = true;
            pending.clear();
        }
        if (!tooLong) pending.append(part);
        if (end < 0) return;
        EndLine(sink);
        bytes = bytes.sliced(end + 1);
    }
}

void TBatchLineReader::Finish(const TSink& sink) {
    if (!pending.isEmpty() || tooLong) EndLine(sink);
}

void TBatchLineReader::EndLine(const TSink& sink) {
    TBatchLine line;
    line.Number = ++ended;
    if (pending.endsWith('\r')) pending.chop(1);
    // Editors on Windows begin UTF-8 files with a byte-order mark.
    if (line.Number == 1 && pending.startsWith("\xEF\xBB\xBF")) pending.remove(0, 3);
    if (tooLong || pending.size() > BatchMaxLineBytes) {
        line.Problem = QStringLiteral("the line is longer than %1 bytes").arg(BatchMaxLineBytes);
    } else if (pending.isEmpty()) {
        return;
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        line.Code = utf8.decode(pending);
        if (utf8.hasError()) {
            line.Code.clear();
            line.Problem = QStringLiteral("the line is not UTF-8 text");
        }
    }
    pending.resize(0); // keeps its room for the next line
    tooLong = false;
    sink(std::move(line));
}

std::vector<TBatchLine> ReadBatchLines(QByteArrayView bytes) {
    std::vector<TBatchLine> lines;
    const auto keep = [&](TBatchLine&& line) { lines.push_back(std::move(line)); };
    TBatchLineReader reader;
    reader.Feed(bytes, keep);
    reader.Finish(keep);
    return lines;
}
