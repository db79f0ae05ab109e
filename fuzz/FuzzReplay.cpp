// The regression run: feeds one target every file of the folders given (its
// seed corpus and every input that ever broke it), as libFuzzer would.
//
//   fuzz_replay TARGET FOLDER...
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TARGET FOLDER...\n", argv[0]);
        return 2;
    }
    FuzzSetUp();
    const TFuzzTarget* target = FindFuzzTarget(argv[1]);
    if (!target) {
        std::fprintf(stderr, "no fuzz target named %s\n", argv[1]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (int i = 2; i < argc; ++i) {
        if (!std::filesystem::is_directory(argv[i])) continue; // no regressions yet
        for (const auto& e : std::filesystem::recursive_directory_iterator(argv[i]))
            if (e.is_regular_file() && e.path().filename().string()[0] != '.')
                files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    // A target without inputs would pass without testing anything.
    if (files.empty()) {
        std::fprintf(stderr, "%s: no inputs found\n", argv[1]);
        return 1;
    }
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        // Shown before the input runs: a broken invariant aborts.
        std::fprintf(stderr, "%s\n", f.c_str());
        target->Run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%s: %zu inputs replayed\n", argv[1], files.size());
    return 0;
}
