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

class TRowDeflate {
public:
    // Appends the stream to out as rows come; every row is rowBytes long.
    TRowDeflate(std::size_t rowBytes, std::string& out);
    void Row(const std::uint8_t* row);
    // Ends the stream with its last block. No row may come after it.
    void Finish();

private:
    // A byte as it is, or a copy of Length bytes from one byte back or one row up.
    struct TToken {
        std::uint16_t Length = 0; // 0 for a byte
        std::uint8_t Byte = 0;
        bool Up = false;
    };
    void Literal(std::uint8_t byte);
    void Copy(std::size_t length, bool up);
    void Add(TToken token);
    void WriteRepeats();
    void WriteBlock(bool last);
    void Put(std::uint32_t bits, int count);

    std::size_t rowBytes;
    std::string& out;
    std::string above; // the row before, for copies at one row's distance
    bool haveAbove = false;
    bool aboveInReach;          // a row is at most deflate's 32 KB window away
    std::size_t repeats = 0;    // rows the same as the one above, not yet written
    std::vector<TToken> tokens; // the block being gathered
    std::uint64_t pending = 0;  // bits not yet in out, the first lowest
    int pendingCount = 0;
};
