// The seed of a randomised test: BARCODEGEN_SEED when it is set, so that a
// failure can be repeated, otherwise a fresh one. The test prints it.
#pragma once

#include <cstdlib>
#include <random>

inline unsigned TestSeed() {
    if (const char* s = std::getenv("BARCODEGEN_SEED")) return static_cast<unsigned>(std::atol(s));
    return std::random_device{}();
}
