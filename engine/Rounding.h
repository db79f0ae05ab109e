#pragma once

#include <cstdint>

// num / den rounded to the nearest integer, an exact half going to the even
// neighbour; den > 0. Exact, so ties such as 30 * 15 / 100 = 4.5 are seen as ties.
inline std::int64_t RoundHalfEvenDiv(std::int64_t num, std::int64_t den) {
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) { // floor division
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q % 2 != 0))) ++q;
    return q;
}
