// A deflate stream (RFC 1951) made for the rows of a barcode picture. zlib
// looks for repeats anywhere in the last 32 KB; a barcode's rows repeat in
// two ways only: a row, or a stretch of one, as the row above, and runs of
// one byte (white paper, a bar). Looking for just those two takes a fraction
// of zlib's fastest matching on a barcode (the default EAN-13 picture: a
// sixth), and Huffman codes made for each block keep the stream near zlib's
// length. zlib's inflate and every PNG reader read it: it is plain deflate.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The code lengths of a Huffman code for these counts, none longer than
// limit: where the tree grows too deep, the counts are flattened till it fits.
// A used alphabet gets two codes at least, as deflate's readers expect. At
// most 288 counts, deflate's largest alphabet.
std::vector<int> HuffmanCodeLengths(const std::vector<std::uint32_t>& counts, int limit);

// A byte as it is, or a copy of bytes from one byte back or one row up.
struct TDeflateToken {
    enum TKind : std::uint8_t { Byte, FromBefore, FromAbove };
    // Bytes, then copy lengths up to 258.
    static constexpr std::size_t Symbols = 256 + 259;
    std::uint16_t Symbol = 0; // the byte, or 256 and the copy's length
    TKind Kind = Byte;
};

// Bits appended to a string, the first lowest, as deflate orders them. They
// go into room made beforehand (RoomFor): no test for the end of the string
// at each of them, and every Put stores eight bytes whole, the whole bytes
// among them kept, without a branch on how many there are.
class TBitWriter {
public:
    explicit TBitWriter(std::string& stream) : out(stream), written(stream.size()) {}
    void RoomFor(std::size_t bytes) {
        if (out.size() < written + bytes + 8) out.resize(written + bytes + 8);
    }
    // At most 56 bits.
    // Every member is read before the store and written after it: the
    // compiler must take a store through char* as touching anything.
    void Put(std::uint64_t bits, int count) {
        const std::uint64_t now = pending | bits << pendingCount;
        const int nowCount = pendingCount + count;
        const std::size_t at = written;
        std::uint64_t little = now;
        if constexpr (std::endian::native == std::endian::big) little = __builtin_bswap64(now);
        std::memcpy(out.data() + at, &little, 8);
        const int bytes = nowCount >> 3; // at most 7: fewer than 8 bits wait
        written = at + std::size_t(bytes);
        pending = now >> 8 * bytes;
        pendingCount = nowCount & 7;
    }
    // The last bits, filled up to a byte; the string ends after them.
    void Finish();

private:
    std::string& out;
    std::size_t written;       // bytes of out that hold bits so far
    std::uint64_t pending = 0; // bits not yet in out, the first lowest
    int pendingCount = 0;
};

class TRowDeflate {
public:
    // Appends the stream to out as rows come; every row is rowBytes long.
    TRowDeflate(std::size_t rowBytes, std::string& out);
    void Row(const std::uint8_t* row);
    // A row the caller knows to be the same as the one before, spared the comparing.
    void RepeatRow(const std::uint8_t* row);
    // Ends the stream with its last block. No row may come after it.
    void Finish();

private:
    // Codes are made anew for every so many tokens: they follow the
    // picture's parts, and a large picture's tokens never all wait in memory.
    static constexpr std::size_t BlockTokens = std::size_t(1) << 15;

    void Literal(std::uint8_t byte) { Add({byte, TDeflateToken::Byte}); }
    void Copy(std::size_t length, TDeflateToken::TKind kind);
    // Counted as they come, so the block's codes need no pass over its tokens.
    void Add(TDeflateToken token) {
        tokens.push_back(token);
        ++symbolCounts[token.Symbol];
        ++kindCounts[token.Kind];
        if (tokens.size() == BlockTokens) WriteBlock(false);
    }
    void WriteRepeats();
    void WriteBlock(bool last);

    std::size_t rowBytes;
    std::string above; // the row before, for copies at one row's distance
    bool haveAbove = false;
    bool aboveInReach;                 // a row is at most deflate's 32 KB window away
    std::size_t repeats = 0;           // rows the same as the one above, not yet written
    std::vector<TDeflateToken> tokens; // the block being gathered
    std::array<std::uint32_t, TDeflateToken::Symbols> symbolCounts{};
    std::array<std::uint32_t, 3> kindCounts{};
    TBitWriter bits;
};
