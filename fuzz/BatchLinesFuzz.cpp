// The batch line reader of barcodegen-cli --batch, on any bytes.
//
// What must hold: the lines are exactly the non-empty lines of the bytes split
// at LF with one CR before the LF dropped (and a byte-order mark before the
// first), in order and with their 1-based line numbers; each is its UTF-8 text
// or, where it is no UTF-8 or too long, a problem and no code; no code holds a
// line feed. Standard input arrives in pieces, so feeding the same bytes cut at
// places the input chooses must give the same lines.
#include "cli/BatchLines.h"
#include "fuzz/FuzzSupport.h"

#include <QByteArray>
#include <QList>
#include <QStringDecoder>

#include <vector>

namespace {

void CheckSame(const std::vector<TBatchLine>& a, const std::vector<TBatchLine>& b,
               const char* what) {
    FUZZ_CHECK(a.size() == b.size(), std::string(what) + ": " + std::to_string(a.size()) +
                                         " lines, not " + std::to_string(b.size()));
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::string at = std::string(what) + ", line " + std::to_string(b[i].Number);
        FUZZ_CHECK(a[i].Number == b[i].Number, at);
        FUZZ_CHECK(a[i].Code == b[i].Code, at);
        FUZZ_CHECK(a[i].Problem.empty() == b[i].Problem.empty(), at);
    }
}

} // namespace

FUZZ_TARGET(batch_lines) {
    const QByteArray bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    const std::vector<TBatchLine> got = ReadBatchLines(bytes.toStdString());

    std::size_t next = 0;
    const QList<QByteArray> pieces = bytes.split('\n');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        QByteArray line = pieces[i];
        if (line.endsWith('\r')) line.chop(1);
        if (i == 0 && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
        if (line.isEmpty()) continue;
        const std::string at = "line " + std::to_string(i + 1);
        FUZZ_CHECK(next < got.size(), at + " is missing");
        const TBatchLine& l = got[next++];
        FUZZ_CHECK(l.Number == i + 1, at + " has number " + std::to_string(l.Number));
        FUZZ_CHECK(l.Code.find('\n') == std::string::npos, at + ": a line feed in a code");
        // A byte-order mark later than the file's start is the code's own. Qt's
        // decoder is the judge of what UTF-8 is.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        const QString text = utf8(line); // decoded now: hasError tells of this line
        if (l.Problem.empty()) {
            FUZZ_CHECK(!utf8.hasError() && l.Code == line.toStdString(),
                       at + ": not the line's text");
        } else {
            // The length limit counts the raw bytes, line end and mark included.
            FUZZ_CHECK(utf8.hasError() || std::size_t(line.size()) > BatchMaxLineBytes - 3,
                       at + ": refused: " + l.Problem);
            FUZZ_CHECK(l.Code.empty(), at + ": a refused line with a code");
        }
    }
    FUZZ_CHECK(next == got.size(), "lines beyond the input's");

    // The same bytes in pieces: the first byte chooses the piece length.
    const std::size_t step = Size ? 1 + Data[0] % 17 : 1;
    std::vector<TBatchLine> fed;
    const auto keep = [&](TBatchLine&& line) { fed.push_back(std::move(line)); };
    TBatchLineReader reader;
    const std::string_view all(reinterpret_cast<const char*>(Data), Size);
    for (std::size_t at = 0; at < Size; at += step)
        reader.Feed(all.substr(at, step), keep);
    reader.Finish(keep);
    CheckSame(fed, got, "fed in pieces");
}
