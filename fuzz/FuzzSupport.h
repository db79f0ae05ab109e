// What every fuzz target shares: how it registers, how it reads its input and
// how it reports a broken invariant.
//
// A target is a function that takes any bytes, feeds them to one parser and
// checks what must hold whatever the bytes were. The same function runs under
// libFuzzer (one executable per target, built with clang when BARCODEGEN_FUZZ
// is on) and in the replay test of the normal build, which feeds it the
// corpus and every input that ever broke it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using TFuzzFunction = void (*)(const std::uint8_t* Data, std::size_t Size);

struct TFuzzTarget {
    const char* Name;
    TFuzzFunction Run;
};

// Every target linked into this executable.
std::vector<TFuzzTarget>& FuzzTargets();
const TFuzzTarget* FindFuzzTarget(std::string_view Name);

struct TFuzzRegistration {
    TFuzzRegistration(const char* Name, TFuzzFunction Run);
};

// FUZZ_TARGET(name) { ... Data, Size ... }
#define FUZZ_TARGET(name)                                                                          \
    static void FuzzTarget_##name(const std::uint8_t* Data, std::size_t Size);                     \
    static const TFuzzRegistration FuzzRegistration_##name(#name, FuzzTarget_##name);              \
    static void FuzzTarget_##name(const std::uint8_t* Data, std::size_t Size)

// The application object, the window font and the library's configuration,
// as at program start (offscreen). Called once, before the first input.
void FuzzSetUp();

// A broken invariant: prints it and aborts, so that libFuzzer keeps the input
// and the replay test fails.
[[noreturn]] void FuzzFail(const char* File, int Line, const std::string& What);
#define FUZZ_CHECK(cond, what)                                                                     \
    ((cond) ? (void)0 : FuzzFail(__FILE__, __LINE__, std::string(#cond) + " -- " + (what)))

// Reads an input front to back: option bytes first, then text. Past the end
// every byte is 0, so a short input is still a complete one.
class TFuzzInput {
public:
    TFuzzInput(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}
    std::uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
    bool Bit(unsigned Bits, int Index) const { return (Bits >> Index) & 1u; }
    int Pick(int Count) { return Byte() % Count; }
    std::uint64_t Bytes8();
    // The bytes up to Separator (dropped) or to the end.
    std::string Until(char Separator);
    std::string Rest();
    std::size_t Left() const { return FSize - FPos; }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

// A printable picture of a text for a failure message: control characters,
// backslashes and non-ASCII as escapes, cut after Max characters.
std::string Shown(std::u16string_view Text, std::size_t Max = 200);
std::string Shown(std::string_view Utf8, std::size_t Max = 200);
