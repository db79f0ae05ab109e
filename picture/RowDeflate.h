// A deflate stream (RFC 1951) made for the rows of a barcode picture. zlib
// looks for repeats anywhere in the last 32 KB; a barcode's rows repeat in
// two ways only: a row, or a stretch of one, as the row above, and runs of
// one byte (white paper, a bar). Looking for just those two takes a fraction
// of zlib's fastest matching on a barcode (the default EAN-13 picture: a
// sixth), and Huffman codes made for each block keep the stream near zlib's
// length. zlib's inflate and every PNG reader read it: it is plain deflate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The code lengths of a Huffman code for these counts, none longer than
// limit: where the tree grows too deep, the counts are flattened till it fits.
// A used alphabet gets two codes at least, as deflate's readers expect.
std::vector<int> HuffmanCodeLengths(std::vector<std::uint32_t> counts, int limit);

// A byte as it is, or a copy of Length bytes from one byte back or one row up.
struct TDeflateToken {
    std::uint16_t Length = 0; // 0 for a byte
    std::uint8_t Byte = 0;
    bool Up = false;
};

// Bits appended to a string, the first lowest, as deflate orders them. They
// go into room made beforehand (RoomFor): no test for the end of the string
// at each of them.
class TBitWriter {
public:
    explicit TBitWriter(std::string& stream) : out(stream), written(stream.size()) {}
    void RoomFor(std::size_t bytes) {
        if (out.size() < written + bytes) out.resize(written + bytes);
    }
    void Put(std::uint32_t bits, int count) {
        pending |= std::uint64_t(bits) << pendingCount;
        pendingCount += count;
        if (pendingCount >= 32) {
            char* at = out.data() + written;
            for (int i = 0; i < 4; ++i)
                at[i] = char(pending >> 8 * i);
            written += 4;
            pending >>= 32;
            pendingCount -= 32;
        }
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
    // Ends the stream with its last block. No row may come after it.
    void Finish();

private:
    // Codes are made anew for every so many tokens: they follow the
    // picture's parts, and a large picture's tokens never all wait in memory.
    static constexpr std::size_t BlockTokens = std::size_t(1) << 15;

    void Literal(std::uint8_t byte) { Add({0, byte, false}); }
    void Copy(std::size_t length, bool up);
    void Add(TDeflateToken token) {
        tokens.push_back(token);
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
    TBitWriter bits;
};
