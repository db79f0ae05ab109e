// The batch line reader of barcodegen-cli --batch, on any bytes.
//
// Not built yet: the reader is being written (cli/, the batch mode). To
// enable the target, put its header and call below in place of the assumed
// ReadBatchLines, add "batch_lines BatchLinesFuzz.cpp" to FUZZ_TARGETS in
// fuzz/CMakeLists.txt; fuzz/corpus/batch_lines holds its seeds.
//
// What must hold: the codes are exactly the non-empty lines of the bytes
// split at LF with one CR before the LF dropped, decoded as UTF-8, in order
// and with their 1-based line numbers; no code holds a line feed. Where the
// reader takes its bytes in pieces (standard input arrives so), feeding them
// cut at a place the input chooses must give the same codes.
#include "FuzzSupport.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

// Assumed interface; replace with the reader's own.
struct TBatchLine {
    int Number; // 1-based line of the file
    QString Code;
};
std::vector<TBatchLine> ReadBatchLines(const QByteArray& Bytes);

namespace {

std::vector<TBatchLine> Expected(const QByteArray& bytes) {
    std::vector<TBatchLine> lines;
    const QList<QByteArray> pieces = bytes.split('\n');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QByteArray line = pieces[i];
        if (line.endsWith('\r')) line.chop(1);
        if (!line.isEmpty()) lines.push_back({static_cast<int>(i) + 1, QString::fromUtf8(line)});
    }
    return lines;
}

} // namespace

FUZZ_TARGET(batch_lines) {
    const QByteArray bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const std::vector<TBatchLine> got = ReadBatchLines(bytes);
    const std::vector<TBatchLine> want = Expected(bytes);
    FUZZ_CHECK(got.size() == want.size(),
               std::to_string(got.size()) + " codes, not " + std::to_string(want.size()));
    for (std::size_t i = 0; i < got.size(); ++i) {
        FUZZ_CHECK(got[i].Number == want[i].Number, "line " + std::to_string(want[i].Number));
        FUZZ_CHECK(got[i].Code == want[i].Code, "line " + std::to_string(want[i].Number));
        FUZZ_CHECK(!got[i].Code.contains(u'\n'), "a line feed in a code");
    }
}
