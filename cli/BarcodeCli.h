// The headless generator: draws exactly what the window's Generate draws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/LineText.h"
#include "picture/FileIO.h"
#include "picture/ImageWriters.h"

enum TCliExit { cliOk = 0, cliRefused = 1, cliUsage = 2 };

// Begins our own messages (the engine's are printed as they are).
inline constexpr std::string_view CliPrefix = "barcodegen-cli: ";

// Standard output or standard error as the generator writes them: buffered,
// and every failure of the system kept to be told once.
class TCliStream {
public:
    explicit TCliStream(int descriptor) : fd(descriptor) {}
    TCliStream(const TCliStream&) = delete;
    TCliStream& operator=(const TCliStream&) = delete;

    TCliStream& operator<<(std::string_view text);
    TCliStream& operator<<(char c) { return *this << std::string_view(&c, 1); }
    TCliStream& operator<<(std::int64_t n) { return *this << std::string_view(std::to_string(n)); }
    // Writes out what is buffered; false when the system refused it, then or before.
    bool Flush();
    // The system's words for the first failure ("No space left on device").
    std::string Problem() const;
    int Descriptor() const { return fd; }

private:
    int fd;
    std::string buffer;
    int error = 0; // the errno of the first failed write
};

// What one code's run came to. Nothing in it is shared, so runs may go on in
// several threads at once.
struct TCodeOutcome {
    TCliExit Exit = cliOk;
    std::vector<std::string> Messages; // lines for standard error: the refusal, then perhaps a hint
    // Why --verify could not check the symbol (its type is one the decoder
    // cannot read); the picture is still made. Reported once per run.
    std::string Unverified;
    TBytes Bytes; // the encoded picture (empty when refused)
};

// Prepares, draws and encodes one code (UTF-8) with the parsed options (Type,
// Generate, Dpi, Format), and with Verify reads the encoded bytes back.
// alterBytes, when given, changes the bytes between encoding and reading: how
// tests stand in for a writer whose file does not scan. Catches every failure
// into the outcome.
TCodeOutcome RenderCode(const TCliOptions& options, const std::string& code,
                        const std::function<void(TBytes&)>& alterBytes = {});

// RenderCode, then the bytes written to fileName whole or not at all.
TCodeOutcome RunCode(const TCliOptions& options, const std::string& code,
                     const std::string& fileName, TFileFlush flush = TFileFlush::ToDisk);

// The refusal for the exception being handled; only for a catch block. Every
// failure the command line catches, but the engine's refusals of a code (which
// RenderCode hints at), is told through it: "not enough memory" for an
// allocation, the message of any other exception.
TCodeOutcome CaughtFailure();

// The line of standard error that reports an Unverified reason.
std::string UnverifiedLine(std::string_view reason);

// args without the program name. The picture of -o - and every text result go
// to out, messages to err. Returns a TCliExit.
int RunBarcodeCli(const std::vector<std::string>& args, TCliStream& out, TCliStream& err);
