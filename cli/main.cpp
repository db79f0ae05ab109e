#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/BarcodeCli.h"

int main(int argc, char** argv) {
    // Every picture of a batch takes and gives back the same few blocks of a
    // quarter megabyte. Kept by the allocator instead of mapped and unmapped
    // each time, they cost no page faults, which showed as a third of a
    // batch's time (and more with every thread added).
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    TCliStream out(STDOUT_FILENO), err(STDERR_FILENO);
    int status = RunBarcodeCli(args, out, err);
    if (!out.Flush() && status == cliOk) { // a full disk behind a redirection
        err << CliPrefix << "standard output: " << out.Problem() << '\n';
        status = cliRefused;
    }
    err.Flush();
    return status;
}
