#include "picture/RowDeflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstring>
#include <span>
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
// Every alphabet here fits the fixed code's 288 symbols: a block's tables
// live on the stack, not in allocations made anew for every picture.
constexpr std::size_t MaxSymbols = 288;
using TCodeTable = std::array<TCode, MaxSymbols>;
using TLengthTable = std::array<int, MaxSymbols>;

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
TCodeTable CanonicalCodes(std::span<const int> lengths) {
    std::array<std::uint32_t, 16> count{}, next{};
    for (const int l : lengths)
        if (l > 0) ++count[std::size_t(l)];
    for (std::size_t bits = 1, code = 0; bits < 16; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = std::uint32_t(code);
    }
    TCodeTable codes{};
    for (std::size_t i = 0; i < lengths.size(); ++i)
        if (const int l = lengths[i]; l > 0) codes[i] = {Reversed(next[std::size_t(l)]++, l), l};
    return codes;
}

struct TFixedCodes {
    TCodeTable Literal, Distance;
    TFixedCodes() {
        TLengthTable literal;
        literal.fill(8);
        std::fill(literal.begin() + 144, literal.begin() + 256, 9);
        std::fill(literal.begin() + 256, literal.begin() + 280, 7);
        Literal = CanonicalCodes(literal);
        TLengthTable distance;
        distance.fill(5);
        Distance = CanonicalCodes(std::span(distance).first(Distances));
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
        if (x == y) continue;
        // The first byte that differs is the lowest in memory, wherever the
        // machine keeps it in a word.
        const std::uint64_t d = x ^ y;
        const int bit =
            std::endian::native == std::endian::little ? std::countr_zero(d) : std::countl_zero(d);
        return k + std::size_t(bit) / 8;
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

using TLengthSymbols = std::array<TLengthSymbol, Literals + Distances>;

// The symbols of these lengths into symbols; returns how many.
std::size_t LengthSymbols(std::span<const int> lengths, TLengthSymbols& symbols) {
    std::size_t n = 0;
    const auto push = [&](TLengthSymbol s) { symbols[n++] = s; };
    for (std::size_t i = 0; i < lengths.size();) {
        const int l = lengths[i];
        std::size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == l)
            ++run;
        if (l == 0 && run >= 3) {
            const std::size_t take = std::min<std::size_t>(run, 138);
            push(take >= 11 ? TLengthSymbol{18, std::uint32_t(take - 11), 7}
                            : TLengthSymbol{17, std::uint32_t(take - 3), 3});
            i += take;
        } else if (l != 0 && run >= 4) {
            push({l, 0, 0});
            std::size_t left = run - 1;
            while (left >= 3) {
                const std::size_t take = std::min<std::size_t>(left, 6);
                push({16, std::uint32_t(take - 3), 2});
                left -= take;
            }
            i += run - left;
        } else {
            push({l, 0, 0});
            ++i;
        }
    }
    return n;
}

constexpr std::array<int, 19> HeaderOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                             11, 4,  12, 3, 13, 2, 14, 1, 15};

using TLiteralCounts = std::array<std::uint32_t, Literals>;
using TDistanceCounts = std::array<std::uint32_t, Distances>;

void CodeLengths(std::span<const std::uint32_t> counts, int limit, std::span<int> lengths);

// The bits of a block's codes with deflate's fixed codes; extra bits, the
// same either way, left out.
std::uint64_t FixedBits(const TLiteralCounts& literalCounts,
                        const TDistanceCounts& distanceCounts) {
    std::uint64_t bits = 3;
    const TCodeTable& fixed = Fixed().Literal;
    for (std::size_t s = 0; s < literalCounts.size(); ++s)
        bits += std::uint64_t(fixed[s].Count) * literalCounts[s];
    for (const std::uint32_t count : distanceCounts)
        bits += 5u * count;
    return bits;
}

// Huffman codes made for one block's counts, and the header that tells them.
struct TBlockCodes {
    TLengthTable LiteralLengths{}, DistanceLengths{}, HeaderLengths{};
    std::size_t LiteralsListed = Literals, DistancesListed = Distances; // in the header
    std::size_t HeaderUsed = HeaderOrder.size();
    TLengthSymbols Header;
    std::size_t HeaderSymbols = 0;

    TBlockCodes(const TLiteralCounts& literalCounts, const TDistanceCounts& distanceCounts) {
        CodeLengths(literalCounts, 15, std::span(LiteralLengths).first(Literals));
        CodeLengths(distanceCounts, 15, std::span(DistanceLengths).first(Distances));
        while (LiteralsListed > 257 && LiteralLengths[LiteralsListed - 1] == 0)
            --LiteralsListed;
        while (DistancesListed > 1 && DistanceLengths[DistancesListed - 1] == 0)
            --DistancesListed;
        std::array<int, Literals + Distances> lengths;
        std::copy_n(LiteralLengths.begin(), LiteralsListed, lengths.begin());
        std::copy_n(DistanceLengths.begin(), DistancesListed, lengths.begin() + LiteralsListed);
        HeaderSymbols =
            LengthSymbols(std::span(lengths).first(LiteralsListed + DistancesListed), Header);
        std::array<std::uint32_t, HeaderOrder.size()> headerCounts{};
        for (const TLengthSymbol& s : Symbols())
            ++headerCounts[std::size_t(s.Symbol)];
        CodeLengths(headerCounts, 7, std::span(HeaderLengths).first(HeaderOrder.size()));
        while (HeaderUsed > 4 && HeaderLengths[std::size_t(HeaderOrder[HeaderUsed - 1])] == 0)
            --HeaderUsed;
    }

    std::span<const TLengthSymbol> Symbols() const {
        return std::span(Header).first(HeaderSymbols);
    }

    // The block's bits with these codes, the header's too; extra bits left out.
    std::uint64_t Bits(const TLiteralCounts& literalCounts,
                       const TDistanceCounts& distanceCounts) const {
        std::uint64_t bits = 3 + 14 + 3 * HeaderUsed;
        for (std::size_t s = 0; s < literalCounts.size(); ++s)
            bits += std::uint64_t(LiteralLengths[s]) * literalCounts[s];
        for (std::size_t d = 0; d < distanceCounts.size(); ++d)
            bits += std::uint64_t(DistanceLengths[d]) * distanceCounts[d];
        for (const TLengthSymbol& s : Symbols())
            bits += std::uint64_t(HeaderLengths[std::size_t(s.Symbol)] + s.ExtraCount);
        return bits;
    }
};

// The tokens in these codes. A token is one or two codes, each with its
// extra bits: put together beforehand, every token goes out in one Put
// without a branch on its kind.
void WriteTokens(TBitWriter& bits, const std::vector<TDeflateToken>& tokens,
                 const TCodeTable& literalCodes, const TCodeTable& distanceCodes,
                 const TDistance& previous, const TDistance& rowUp) {
    static_assert(TDeflateToken::Symbols == 256 + MaxCopy + 1);
    std::array<TCode, TDeflateToken::Symbols> symbols{};
    std::copy_n(literalCodes.begin(), 256, symbols.begin());
    for (int length = MinCopy; length <= MaxCopy; ++length) {
        const int k = LengthCodes[std::size_t(length)];
        const TCode& code = literalCodes[257 + std::size_t(k)];
        symbols[256 + std::size_t(length)] = {
            code.Bits | std::uint32_t(length - LengthBase[std::size_t(k)]) << code.Count,
            code.Count + LengthExtra(k)};
    }
    const auto distance = [&](const TDistance& d) {
        const TCode& code = distanceCodes[std::size_t(d.Code)];
        return TCode{code.Bits | d.Extra << code.Count, code.Count + d.ExtraCount};
    };
    const std::array<TCode, 3> kinds = {TCode{}, distance(previous), distance(rowUp)};
    for (const TDeflateToken& t : tokens) {
        const TCode& symbol = symbols[t.Symbol];
        const TCode& after = kinds[t.Kind];
        bits.Put(symbol.Bits | std::uint64_t(after.Bits) << symbol.Count,
                 symbol.Count + after.Count);
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
    const TCodeTable headerCodes = CanonicalCodes(own.HeaderLengths);
    for (const TLengthSymbol& s : own.Symbols()) {
        bits.Put(headerCodes[std::size_t(s.Symbol)].Bits, headerCodes[std::size_t(s.Symbol)].Count);
        bits.Put(s.Extra, s.ExtraCount);
    }
}

// A node is its weight above 16 bits of its number: leaves are numbered by
// symbol, joined nodes after them.
constexpr int NodeBits = 16;
std::size_t NodeOf(std::uint64_t key) {
    return std::size_t(key & 0xFFFF);
}

// Nodes in the order of their weights (above NodeBits), ties in the order
// they come. Few nodes are put in place one by one; more go by a radix sort
// a byte at a time, as many bytes as the heaviest needs, faster than
// comparing, whose every guess about random counts fails.
void SortByWeight(std::span<std::uint64_t> nodes, std::uint32_t heaviest) {
    if (nodes.size() <= 32) {
        for (std::size_t i = 1; i < nodes.size(); ++i) {
            const std::uint64_t v = nodes[i];
            std::size_t k = i;
            for (; k > 0 && nodes[k - 1] >> NodeBits > v >> NodeBits; --k)
                nodes[k] = nodes[k - 1];
            nodes[k] = v;
        }
        return;
    }
    std::array<std::uint64_t, MaxSymbols> other;
    std::span<std::uint64_t> from = nodes, to = std::span(other).first(nodes.size());
    for (int shift = NodeBits; shift < NodeBits + 32 && (heaviest >> (shift - NodeBits)) > 0;
         shift += 8) {
        std::array<std::size_t, 257> start{};
        for (const std::uint64_t v : from)
            ++start[((v >> shift) & 0xFF) + 1];
        for (std::size_t b = 1; b < start.size(); ++b)
            start[b] += start[b - 1];
        for (const std::uint64_t v : from)
            to[start[(v >> shift) & 0xFF]++] = v;
        std::swap(from, to);
    }
    if (from.data() != nodes.data()) std::copy(from.begin(), from.end(), nodes.begin());
}

// Huffman's joining of the two lightest, from two queues: the leaves, sorted
// by weight, and the joined nodes, which come out no lighter than the one
// before. Sets each leaf's depth in lengths, which has a length for each of
// the alphabet's n symbols; returns the deepest.
int TreeDepths(std::span<const std::uint64_t> leaves, std::span<int> lengths) {
    const std::size_t n = lengths.size();
    std::array<std::uint64_t, MaxSymbols> joined;
    std::array<std::size_t, 2 * MaxSymbols> parent;
    std::size_t leaf = 0, join = 0, joinedCount = 0;
    const auto lightest = [&] {
        const bool fromLeaves =
            leaf < leaves.size() &&
            (join == joinedCount || leaves[leaf] >> NodeBits <= joined[join] >> NodeBits);
        return fromLeaves ? leaves[leaf++] : joined[join++];
    };
    while (leaves.size() - leaf + joinedCount - join > 1) {
        const std::uint64_t a = lightest(), b = lightest();
        const std::size_t next = n + joinedCount;
        parent[NodeOf(a)] = parent[NodeOf(b)] = next;
        joined[joinedCount++] = ((a >> NodeBits) + (b >> NodeBits)) << NodeBits | next;
    }
    // Depths from the root down: a node is joined after its children.
    std::array<int, MaxSymbols> depth; // of the joined nodes
    depth[joinedCount - 1] = 0;
    for (std::size_t k = joinedCount - 1; k-- > 0;)
        depth[k] = depth[parent[n + k] - n] + 1;
    int deepest = 0;
    for (const std::uint64_t l : leaves) {
        lengths[NodeOf(l)] = depth[parent[NodeOf(l)] - n] + 1;
        deepest = std::max(deepest, lengths[NodeOf(l)]);
    }
    return deepest;
}

// HuffmanCodeLengths into lengths, as long as counts, without allocating.
void CodeLengths(std::span<const std::uint32_t> original, int limit, std::span<int> lengths) {
    const std::size_t n = original.size();
    assert(n <= MaxSymbols && lengths.size() == n);
    std::array<std::uint32_t, MaxSymbols> counts;
    std::copy(original.begin(), original.end(), counts.begin());
    std::size_t used = std::size_t(
        std::count_if(original.begin(), original.end(), [](std::uint32_t c) { return c > 0; }));
    for (std::size_t i = 0; used < 2 && i < n; ++i)
        if (counts[i] == 0) counts[i] = 1, ++used;
    std::fill(lengths.begin(), lengths.end(), 0);
    if (used < 2) { // an alphabet of one symbol: one bit, never a tree
        std::fill(lengths.begin(), lengths.end(), 1);
        return;
    }
    std::array<std::uint64_t, MaxSymbols> leaves;
    for (;;) {
        std::size_t m = 0;
        std::uint32_t heaviest = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (counts[i] > 0) {
                leaves[m++] = std::uint64_t(counts[i]) << NodeBits | i;
                heaviest = std::max(heaviest, counts[i]);
            }
        SortByWeight(std::span(leaves).first(m), heaviest);
        if (TreeDepths(std::span(leaves).first(m), lengths) <= limit) return;
        for (std::size_t i = 0; i < n; ++i)
            if (counts[i] > 0) counts[i] = (counts[i] + 1) / 2;
    }
}

} // namespace

std::vector<int> HuffmanCodeLengths(const std::vector<std::uint32_t>& counts, int limit) {
    std::vector<int> lengths(counts.size());
    CodeLengths(counts, limit, lengths);
    return lengths;
}

TRowDeflate::TRowDeflate(std::size_t rowLength, std::string& stream)
    : rowBytes(rowLength), above(rowLength, '\0'), aboveInReach(rowLength <= Window), bits(stream) {
    tokens.reserve(4096);
}

void TRowDeflate::Copy(std::size_t length, TDeflateToken::TKind kind) {
    while (length > 0) {
        // No piece may be shorter than three: a long copy leaves three or more for the last.
        std::size_t take = length <= MaxCopy ? length : MaxCopy;
        if (length > MaxCopy && length - MaxCopy < MinCopy) take = length - MinCopy;
        Add({std::uint16_t(256 + take), kind});
        length -= take;
    }
}

void TRowDeflate::WriteRepeats() {
    const std::size_t length = repeats * rowBytes;
    repeats = 0;
    if (length >= MinCopy) return Copy(length, TDeflateToken::FromAbove);
    for (std::size_t i = 0; i < length; ++i) // one or two bytes: shorter than any copy
        Literal(std::uint8_t(above[i % rowBytes]));
}

void TRowDeflate::RepeatRow(const std::uint8_t* row) {
    if (haveAbove && aboveInReach)
        ++repeats;
    else
        Row(row);
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
            Copy(same, TDeflateToken::FromAbove);
            i += same;
        } else if (run >= MinCopy) {
            Copy(run, TDeflateToken::FromBefore);
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
    TLiteralCounts literalCounts{};
    TDistanceCounts distanceCounts{};
    std::copy_n(symbolCounts.begin(), 256, literalCounts.begin());
    for (std::size_t length = MinCopy; length <= MaxCopy; ++length)
        literalCounts[257 + std::size_t(LengthCodes[length])] += symbolCounts[256 + length];
    literalCounts[EndOfBlock] = 1;
    distanceCounts[std::size_t(previous.Code)] += kindCounts[TDeflateToken::FromBefore];
    distanceCounts[std::size_t(rowUp.Code)] += kindCounts[TDeflateToken::FromAbove];
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
    symbolCounts.fill(0);
    kindCounts.fill(0);
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
