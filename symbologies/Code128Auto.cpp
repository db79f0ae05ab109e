// Code 128 with the code sets chosen for the shortest symbol.
//
// The choice is a shortest path: a state is the code set in use and whether
// the extended characters (128..255) are latched; every way of carrying the
// next item (a character in the set, a shift, an FNC4 before it, a digit pair
// in set C, FNC1) and every change of state (a code change, two FNC4 that
// latch or unlatch) is an edge that costs the symbol characters it writes.
// A greedy rule ("four digits make set C worth it") misses cases such as
// digits at the end of a text or between two characters of set A.
#include <array>
#include <limits>

#include "symbologies/Code128.h"
#include "symbologies/EncoderSupport.h"

namespace {

enum TSet : int { SetA, SetB, SetC };
constexpr int SetCount = 3;
constexpr int StateCount = 2 * SetCount;
// Of equally short ways the first found is kept: set B, the usual one, first.
constexpr std::array<int, SetCount> Order = {SetB, SetA, SetC};

constexpr int Fnc4(int set) {
    return set == SetA ? Code128CodeA : Code128CodeB;
}

// The value of a character 0..127 in set A or B, or -1. Unlike FindCode128
// this gives DEL its value 95 in set B: the fixed-set types never carried it.
constexpr int ValueIn(int set, int c) {
    if (set == SetA) return c < 32 ? c + 64 : c < 96 ? c - 32 : -1;
    return c >= 32 && c < 128 ? c - 32 : -1;
}

constexpr int CodeChange(int to) {
    return to == SetC ? Code128CodeC : to == SetB ? Code128CodeB : Code128CodeA;
}

bool IsDigitItem(int item) {
    return item >= '0' && item <= '9';
}

struct TNode {
    int Cost = std::numeric_limits<int>::max();
    int From = -1; // node index it was reached from; -1 for the start
    std::array<int, 3> Values{};
    int ValueCount = 0;
};

} // namespace

std::vector<int> Code128ShortestValues(const std::vector<int>& items) {
    const std::size_t n = items.size();
    // Node (i, set, latched): items before i written, in set, latched or not.
    std::vector<TNode> nodes((n + 1) * StateCount);
    auto index = [](std::size_t i, int set, int latched) {
        return static_cast<int>(i * StateCount + static_cast<std::size_t>(set * 2 + latched));
    };
    auto relax = [&nodes](int from, int to, std::initializer_list<int> values) {
        const int cost = (from < 0 ? 0 : nodes[static_cast<std::size_t>(from)].Cost) +
                         static_cast<int>(values.size());
        TNode& node = nodes[static_cast<std::size_t>(to)];
        if (cost >= node.Cost) return false;
        node.Cost = cost;
        node.From = from;
        node.ValueCount = 0;
        for (int v : values)
            node.Values[static_cast<std::size_t>(node.ValueCount++)] = v;
        return true;
    };
    for (const int set : Order)
        relax(-1, index(0, set, 0), {Code128StartA + set});

    for (std::size_t i = 0; i <= n; ++i) {
        // Changes of state that write no data; at most two of them follow
        // each other usefully, so repeating until nothing improves ends soon.
        for (bool changed = true; changed;) {
            changed = false;
            for (const int set : Order)
                for (int latched = 0; latched < 2; ++latched) {
                    const int from = index(i, set, latched);
                    if (nodes[static_cast<std::size_t>(from)].Cost ==
                        std::numeric_limits<int>::max())
                        continue;
                    for (const int to : Order)
                        // Set C is left alone while latched: what FNC4 means to its
                        // digit pairs is not agreed on by every reader.
                        if (to != set && !(to == SetC && latched))
                            changed |= relax(from, index(i, to, latched), {CodeChange(to)});
                    if (set != SetC)
                        changed |= relax(from, index(i, set, 1 - latched), {Fnc4(set), Fnc4(set)});
                }
        }
        if (i == n) break;
        const int item = items[i];
        for (const int set : Order)
            for (int latched = 0; latched < 2; ++latched) {
                const int from = index(i, set, latched);
                if (nodes[static_cast<std::size_t>(from)].Cost == std::numeric_limits<int>::max())
                    continue;
                if (item == Code128Fnc1Item) {
                    relax(from, index(i + 1, set, latched), {Code128Fnc1});
                    continue;
                }
                if (set == SetC) {
                    if (i + 1 < n && IsDigitItem(item) && IsDigitItem(items[i + 1]))
                        relax(from, index(i + 2, SetC, 0),
                              {(item - '0') * 10 + (items[i + 1] - '0')});
                    continue;
                }
                const int base = item & 127;
                const int extended = item >= 128 ? 1 : 0;
                const int own = ValueIn(set, base);
                const int other = ValueIn(1 - set, base);
                if (own >= 0 && extended == latched)
                    relax(from, index(i + 1, set, latched), {own});
                else if (own >= 0)
                    relax(from, index(i + 1, set, latched), {Fnc4(set), own});
                else if (other >= 0 && extended == latched)
                    relax(from, index(i + 1, set, latched), {Code128Shift, other});
                // FNC4 before the shift, in the set it is written in: it applies to
                // the next data character, whichever set that comes from.
                else if (other >= 0)
                    relax(from, index(i + 1, set, latched), {Fnc4(set), Code128Shift, other});
            }
    }

    int best = -1;
    for (const int set : Order)
        for (int latched = 0; latched < 2; ++latched) {
            const int at = index(n, set, latched);
            if (best < 0 || nodes[static_cast<std::size_t>(at)].Cost <
                                nodes[static_cast<std::size_t>(best)].Cost)
                best = at;
        }
    std::vector<int> values;
    for (int at = best; at >= 0; at = nodes[static_cast<std::size_t>(at)].From) {
        const TNode& node = nodes[static_cast<std::size_t>(at)];
        for (int k = node.ValueCount - 1; k >= 0; --k)
            values.push_back(node.Values[static_cast<std::size_t>(k)]);
    }
    return {values.rbegin(), values.rend()};
}

std::u16string TZoBarcode::Code_128Auto() {
    std::vector<int> items;
    items.reserve(BCText.size());
    for (std::size_t i = 0; i < BCText.size(); ++i) {
        // ISO 8859-1 is what Code 128 carries: its characters are the first 256 of Unicode.
        if (BCText[i] > 0xFF) ThrowCannotEncode(BarCodeType(), BCText, i);
        items.push_back(BCText[i]);
    }
    return Code128Pattern(Code128ShortestValues(items));
}
