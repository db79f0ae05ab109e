// The codes of a batch file: bytes in, lines out. It reads piece by piece, so
// a file of any length takes the memory of one line, and it touches no file,
// so a fuzzer can feed it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Far beyond the longest code a picture can hold (a symbol is at most 32767
// pixels wide): a longer line is refused without being kept.
inline constexpr std::size_t BatchMaxLineBytes = 64 * 1024;

struct TBatchLine {
    std::int64_t Number = 0; // 1-based, counting every line of the input, the empty ones too
    std::string Code;        // the line without its end (LF or CR LF), valid UTF-8
    std::string Problem;     // why the line is no code (not UTF-8, too long), or empty
};

// Whether text is UTF-8 as the standard has it: no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

class TBatchLineReader {
public:
    using TSink = std::function<void(TBatchLine&&)>;
    // Reads the next piece of the input; every non-empty line it completes goes to sink.
    void Feed(std::string_view bytes, const TSink& sink);
    // The end of the input: a last line without a line end goes to sink.
    void Finish(const TSink& sink);

private:
    std::string pending;    // the line so far, whose end has not come yet
    std::int64_t ended = 0; // lines ended so far
    bool tooLong = false;   // pending grew past the limit: the rest of the line is skipped

    void EndLine(const TSink& sink);
};

// The lines of a whole input at once.
std::vector<TBatchLine> ReadBatchLines(std::string_view bytes);
