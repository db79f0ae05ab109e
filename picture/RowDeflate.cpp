#include "picture/RowDeflate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace {

struct TCode {
    std::uint32_t Bits = 0; // in the order they go out, the first lowest
    int Count = 0;
};

// Huffman codes go out from their first bit, the rest of the stream from its
// lowest: the codes are stored turned round.
std::uint32_t Reversed(std::uint32_t code, int length) {
    std::uint32_t r = code & 0xFFFF;
    r = (r & 0x5555) << 1 | (r >> 1 & 0x5555);
    r = (r & 0x3333) << 2 | (r >> 2 & 0x3333);
    r = (r & 0x0F0F) << 4 | (r >> 4 & 0x0F0F);
    r = (r & 0x00FF) << 8 | r >> 8;
    return r >> (16 - length);
}

constexpr int MinCopy = 3, MaxCopy = 258, Window = 32768;
constexpr int Literals = 286, Distances = 30, EndOfBlock = 256;

constexpr std::array<int, 29> LengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                            15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                            67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int LengthExtra(int k) {
    return k < 8 || k == 28 ? 0 : (k - 4) / 4;
}

// The length code (0 to 28, for symbols 257 to 285) of every copy length.
constexpr std::array<std::uint8_t, MaxCopy + 1> LengthCodes = [] {
    std::array<std::uint8_t, MaxCopy + 1> codes{};
    for (int k = 0, length = MinCopy; length <= MaxCopy; ++length) {
        // 258 has a code of its own, after the span of 227 that would reach it.
        while (k < 28 && length >= LengthBase[std::size_t(k) + 1])
            ++k;
        codes[std::size_t(length)] = std::uint8_t(k);
    }
    return codes;
}();

struct TDistance {
    int Code = 0;
    std::uint32_t Extra = 0;
    int ExtraCount = 0;
};

TDistance DistanceOf(std::size_t d) {
    if (d <= 4) return {int(d) - 1, 0, 0};
    // After 1 to 4 every pair of codes doubles the span.
    int code = 4, extra = 1;
    std::size_t base = 5;
    while (d >= base + (std::size_t(2) << extra)) {
        base += std::size_t(2) << extra;
        code += 2, ++extra;
    }
    if (d >= base + (std::size_t(1) << extra)) base += std::size_t(1) << extra, ++code;
    return {code, std::uint32_t(d - base), extra};
}

// The canonical code of these lengths, as deflate defines it.
std::vector<TCode> CanonicalCodes(const std::vector<int>& lengths) {
    std::array<std::uint32_t, 16> count{}, next{};
    for (const int l : lengths)
        if (l > 0) ++count[std::size_t(l)];
    for (std::size_t bits = 1, code = 0; bits < 16; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = std::uint32_t(code);
    }
    std::vector<TCode> codes(lengths.size());
    for (std::size_t i = 0; i < lengths.size(); ++i)
        if (const int l = lengths[i]; l > 0) codes[i] = {Reversed(next[std::size_t(l)]++, l), l};
    return codes;
}

struct TFixedCodes {
    std::vector<TCode> Literal, Distance;
    TFixedCodes() {
        std::vector<int> literal(288, 8);
        std::fill(literal.begin() + 144, literal.begin() + 256, 9);
        std::fill(literal.begin() + 256, literal.begin() + 280, 7);
        Literal = CanonicalCodes(literal);
        Distance = CanonicalCodes(std::vector<int>(Distances, 5));
    }
};
const TFixedCodes& Fixed() {
    static const TFixedCodes codes;
    return codes;
}

// How many bytes from a on equal those from b, at most n.
std::size_t SameBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    std::size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + k, 8);
        std::memcpy(&y, b + k, 8);
        if (x != y) return k + std::size_t(__builtin_ctzll(x ^ y)) / 8;
    }
    while (k < n && a[k] == b[k])
        ++k;
    return k;
}

// Code lengths as a dynamic block's header holds them: runs of zeros and
// repeats of the length before shortened to one symbol with extra bits.
struct TLengthSymbol {
    int Symbol = 0;
    std::uint32_t Extra = 0;
    int ExtraCount = 0;
};

std::vector<TLengthSymbol> LengthSymbols(const std::vector<int>& lengths) {
    std::vector<TLengthSymbol> symbols;
    for (std::size_t i = 0; i < lengths.size();) {
        const int l = lengths[i];
        std::size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == l)
            ++run;
        if (l == 0 && run >= 3) {
            const std::size_t take = std::min<std::size_t>(run, 138);
            symbols.push_back(take >= 11 ? TLengthSymbol{18, std::uint32_t(take - 11), 7}
                                         : TLengthSymbol{17, std::uint32_t(take - 3), 3});
            i += take;
        } else if (l != 0 && run >= 4) {
            symbols.push_back({l, 0, 0});
            std::size_t left = run - 1;
            while (left >= 3) {
                const std::size_t take = std::min<std::size_t>(left, 6);
                symbols.push_back({16, std::uint32_t(take - 3), 2});
                left -= take;
            }
            i += run - left;
        } else {
            symbols.push_back({l, 0, 0});
            ++i;
        }
    }
    return symbols;
}

constexpr std::array<int, 19> HeaderOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                             11, 4,  12, 3, 13, 2, 14, 1, 15};

// The bits of a block's codes with deflate's fixed codes; extra bits, the
// same either way, left out.
std::uint64_t FixedBits(const std::vector<std::uint32_t>& literalCounts,
                        const std::vector<std::uint32_t>& distanceCounts) {
    std::uint64_t bits = 3;
    const std::vector<TCode>& fixed = Fixed().Literal;
    for (std::size_t s = 0; s < literalCounts.size(); ++s)
        bits += std::uint64_t(fixed[s].Count) * literalCounts[s];
    for (const std::uint32_t count : distanceCounts)
        bits += 5u * count;
    return bits;
}

// Huffman codes made for one block's counts, and the header that tells them.
struct TBlockCodes {
    std::vector<int> LiteralLengths, DistanceLengths, HeaderLengths;
    std::size_t LiteralsListed = 0, DistancesListed = 0, HeaderUsed = 0; // in the header
    std::vector<TLengthSymbol> Header;

    TBlockCodes(const std::vector<std::uint32_t>& literalCounts,
                const std::vector<std::uint32_t>& distanceCounts)
        : LiteralLengths(HuffmanCodeLengths(literalCounts, 15)),
          DistanceLengths(HuffmanCodeLengths(distanceCounts, 15)), LiteralsListed(Literals),
          DistancesListed(Distances) {
        while (LiteralsListed > 257 && LiteralLengths[LiteralsListed - 1] == 0)
            --LiteralsListed;
        while (DistancesListed > 1 && DistanceLengths[DistancesListed - 1] == 0)
            --DistancesListed;
        std::vector<int> lengths(LiteralLengths.begin(),
                                 LiteralLengths.begin() + std::ptrdiff_t(LiteralsListed));
        lengths.insert(lengths.end(), DistanceLengths.begin(),
                       DistanceLengths.begin() + std::ptrdiff_t(DistancesListed));
        Header = LengthSymbols(lengths);
        std::vector<std::uint32_t> headerCounts(HeaderOrder.size());
        for (const TLengthSymbol& s : Header)
            ++headerCounts[std::size_t(s.Symbol)];
        HeaderLengths = HuffmanCodeLengths(headerCounts, 7);
        HeaderUsed = HeaderOrder.size();
        while (HeaderUsed > 4 && HeaderLengths[std::size_t(HeaderOrder[HeaderUsed - 1])] == 0)
            --HeaderUsed;
    }

    // The block's bits with these codes, the header's too; extra bits left out.
    std::uint64_t Bits(const std::vector<std::uint32_t>& literalCounts,
                       const std::vector<std::uint32_t>& distanceCounts) const {
        std::uint64_t bits = 3 + 14 + 3 * HeaderUsed;
        for (std::size_t s = 0; s < literalCounts.size(); ++s)
            bits += std::uint64_t(LiteralLengths[s]) * literalCounts[s];
        for (std::size_t d = 0; d < distanceCounts.size(); ++d)
            bits += std::uint64_t(DistanceLengths[d]) * distanceCounts[d];
        for (const TLengthSymbol& s : Header)
            bits += std::uint64_t(HeaderLengths[std::size_t(s.Symbol)] + s.ExtraCount);
        return bits;
    }
};

void WriteTokens(TBitWriter& bits, const std::vector<TDeflateToken>& tokens,
                 const std::vector<TCode>& literalCodes, const std::vector<TCode>& distanceCodes,
                 const TDistance& previous, const TDistance& rowUp) {
    for (const TDeflateToken& t : tokens) {
        if (t.Length == 0) {
            bits.Put(literalCodes[t.Byte].Bits, literalCodes[t.Byte].Count);
            continue;
        }
        const int k = LengthCodes[t.Length];
        bits.Put(literalCodes[257 + std::size_t(k)].Bits, literalCodes[257 + std::size_t(k)].Count);
        bits.Put(std::uint32_t(t.Length - LengthBase[std::size_t(k)]), LengthExtra(k));
        const TDistance& d = t.Up ? rowUp : previous;
        bits.Put(distanceCodes[std::size_t(d.Code)].Bits, distanceCodes[std::size_t(d.Code)].Count);
        bits.Put(d.Extra, d.ExtraCount);
    }
    bits.Put(literalCodes[EndOfBlock].Bits, literalCodes[EndOfBlock].Count);
}

// The dynamic block's header: how many codes, the header's own code, then
// the lengths of the block's codes in it.
void WriteHeader(TBitWriter& bits, const TBlockCodes& own) {
    bits.Put(std::uint32_t(own.LiteralsListed - 257), 5);
    bits.Put(std::uint32_t(own.DistancesListed - 1), 5);
    bits.Put(std::uint32_t(own.HeaderUsed - 4), 4);
    for (std::size_t k = 0; k < own.HeaderUsed; ++k)
        bits.Put(std::uint32_t(own.HeaderLengths[std::size_t(HeaderOrder[k])]), 3);
    const std::vector<TCode> headerCodes = CanonicalCodes(own.HeaderLengths);
    for (const TLengthSymbol& s : own.Header) {
        bits.Put(headerCodes[std::size_t(s.Symbol)].Bits, headerCodes[std::size_t(s.Symbol)].Count);
        bits.Put(s.Extra, s.ExtraCount);
    }
}

// Nodes in the order of their weights (above 16 bits), ties in the order
// they come: a radix sort a byte at a time, as many bytes as the heaviest
// needs. Faster than comparing, whose every guess about random counts fails.
void SortByWeight(std::vector<std::uint64_t>& nodes, std::uint32_t heaviest) {
    std::vector<std::uint64_t> sorted(nodes.size());
    for (int shift = 16; shift < 48 && (heaviest >> (shift - 16)) > 0; shift += 8) {
        std::array<std::size_t, 257> start{};
        for (const std::uint64_t v : nodes)
            ++start[((v >> shift) & 0xFF) + 1];
        for (std::size_t b = 1; b < start.size(); ++b)
            start[b] += start[b - 1];
        for (const std::uint64_t v : nodes)
            sorted[start[(v >> shift) & 0xFF]++] = v;
        nodes.swap(sorted);
    }
}

// A node is its weight above 16 bits of its number: leaves are numbered by
// symbol, joined nodes after them.
constexpr int NodeBits = 16;
std::size_t NodeOf(std::uint64_t key) {
    return std::size_t(key & 0xFFFF);
}

// Huffman's joining of the two lightest, from two queues: the leaves, sorted
// by weight, and the joined nodes, which come out no lighter than the one
// before. Sets each leaf's depth in lengths; returns the deepest.
int TreeDepths(const std::vector<std::uint64_t>& leaves, std::size_t n, std::vector<int>& lengths) {
    std::vector<std::uint64_t> joined;
    std::vector<std::size_t> parent(n + leaves.size());
    std::size_t leaf = 0, join = 0;
    const auto lightest = [&] {
        const bool fromLeaves =
            leaf < leaves.size() &&
            (join == joined.size() || leaves[leaf] >> NodeBits <= joined[join] >> NodeBits);
        return fromLeaves ? leaves[leaf++] : joined[join++];
    };
    while (leaves.size() - leaf + joined.size() - join > 1) {
        const std::uint64_t a = lightest(), b = lightest();
        const std::size_t next = n + joined.size();
        parent[NodeOf(a)] = parent[NodeOf(b)] = next;
        joined.push_back(((a >> NodeBits) + (b >> NodeBits)) << NodeBits | next);
    }
    // Depths from the root down: a node is joined after its children.
    std::vector<int> depth(parent.size());
    depth[n + joined.size() - 1] = 0;
    for (std::size_t k = joined.size() - 1; k-- > 0;)
        depth[n + k] = depth[parent[n + k]] + 1;
    int deepest = 0;
    for (const std::uint64_t l : leaves) {
        lengths[NodeOf(l)] = depth[parent[NodeOf(l)]] + 1;
        deepest = std::max(deepest, lengths[NodeOf(l)]);
    }
    return deepest;
}

} // namespace

std::vector<int> HuffmanCodeLengths(std::vector<std::uint32_t> counts, int limit) {
    const std::size_t n = counts.size();
    std::size_t used = std::size_t(
        std::count_if(counts.begin(), counts.end(), [](std::uint32_t c) { return c > 0; }));
    for (std::size_t i = 0; used < 2 && i < n; ++i)
        if (counts[i] == 0) counts[i] = 1, ++used;
    std::vector<int> lengths(n, 0);
    if (used < 2) { // an alphabet of one symbol: one bit, never a tree
        std::fill(lengths.begin(), lengths.end(), 1);
        return lengths;
    }
    std::vector<std::uint64_t> leaves;
    for (;;) {
        leaves.clear();
        std::uint32_t heaviest = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (counts[i] > 0) {
                leaves.push_back(std::uint64_t(counts[i]) << NodeBits | i);
                heaviest = std::max(heaviest, counts[i]);
            }
        SortByWeight(leaves, heaviest);
        if (TreeDepths(leaves, n, lengths) <= limit) return lengths;
        for (std::uint32_t& c : counts)
            if (c > 0) c = (c + 1) / 2;
    }
}

TRowDeflate::TRowDeflate(std::size_t rowLength, std::string& stream)
    : rowBytes(rowLength), above(rowLength, '\0'), aboveInReach(rowLength <= Window), bits(stream) {
    tokens.reserve(4096);
}

void TRowDeflate::Copy(std::size_t length, bool up) {
    while (length > 0) {
        // No piece may be shorter than three: a long copy leaves three or more for the last.
        std::size_t take = length <= MaxCopy ? length : MaxCopy;
        if (length > MaxCopy && length - MaxCopy < MinCopy) take = length - MinCopy;
        Add({std::uint16_t(take), 0, up});
        length -= take;
    }
}

void TRowDeflate::WriteRepeats() {
    const std::size_t length = repeats * rowBytes;
    repeats = 0;
    if (length >= MinCopy) return Copy(length, true);
    for (std::size_t i = 0; i < length; ++i) // one or two bytes: shorter than any copy
        Literal(std::uint8_t(above[i % rowBytes]));
}

void TRowDeflate::Row(const std::uint8_t* row) {
    const auto* up = reinterpret_cast<const std::uint8_t*>(above.data());
    const bool copyUp = haveAbove && aboveInReach;
    if (copyUp && std::memcmp(row, up, rowBytes) == 0) {
        // Rows the same as the one above go out as one copy: a copy may reach
        // into what it writes itself.
        ++repeats;
        return;
    }
    WriteRepeats();
    std::size_t i = 0;
    while (i < rowBytes) {
        const std::size_t left = rowBytes - i;
        // Most bytes of a picture's text start neither: one comparison each tells.
        const std::size_t same = copyUp && row[i] == up[i] ? SameBytes(row + i, up + i, left) : 0;
        const std::size_t run = i > 0 && same < left && row[i] == row[i - 1]
                                    ? SameBytes(row + i, row + i - 1, left)
                                    : 0;
        if (same >= MinCopy && same >= run) {
            Copy(same, true);
            i += same;
        } else if (run >= MinCopy) {
            Copy(run, false);
            i += run;
        } else {
            Literal(row[i++]);
        }
    }
    std::memcpy(above.data(), row, rowBytes);
    haveAbove = true;
}

void TRowDeflate::WriteBlock(bool last) {
    const TDistance previous = DistanceOf(1), rowUp = DistanceOf(aboveInReach ? rowBytes : 1);
    std::vector<std::uint32_t> literalCounts(Literals), distanceCounts(Distances);
    for (const TDeflateToken& t : tokens) {
        if (t.Length == 0) {
            ++literalCounts[t.Byte];
        } else {
            ++literalCounts[257 + std::size_t(LengthCodes[t.Length])];
            ++distanceCounts[std::size_t((t.Up ? rowUp : previous).Code)];
        }
    }
    literalCounts[EndOfBlock] = 1;
    const TBlockCodes own(literalCounts, distanceCounts);
    // The header's bits, six bytes at most a token, and the end.
    bits.RoomFor(1024 + 6 * tokens.size());
    // The fixed codes where they come out shorter, as for a small picture.
    if (FixedBits(literalCounts, distanceCounts) <= own.Bits(literalCounts, distanceCounts)) {
        bits.Put((last ? 1u : 0u) | 1u << 1, 3);
        WriteTokens(bits, tokens, Fixed().Literal, Fixed().Distance, previous, rowUp);
    } else {
        bits.Put((last ? 1u : 0u) | 2u << 1, 3);
        WriteHeader(bits, own);
        WriteTokens(bits, tokens, CanonicalCodes(own.LiteralLengths),
                    CanonicalCodes(own.DistanceLengths), previous, rowUp);
    }
    tokens.clear();
}

void TRowDeflate::Finish() {
    WriteRepeats();
    WriteBlock(true);
    bits.Finish();
}

void TBitWriter::Finish() {
    RoomFor(8);
    for (; pendingCount > 0; pendingCount -= 8, pending >>= 8)
        out[written++] = char(pending);
    pendingCount = 0;
    out.resize(written);
}
