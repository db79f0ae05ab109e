// The interface of barcodegen-verify, the module that holds --verify's reading
// (cli/VerifyPicture.h over ZXing-C++). ZXing-C++ and the C++ library it needs
// took two thirds of the generator's start-up, so only runs that verify load
// them. Plain C, so the module and the program agree whatever C++ library each
// carries; the strings go through a sink.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

typedef void (*TVerifyTextSink)(void* context, const char* text, std::size_t size);

// UnverifiableReason and VerifyProblem. Each hands its string (UTF-8) to sink
// and returns 1, or hands the message of an unexpected failure to sink and
// returns 0.
typedef int (*TVerifyUnverifiable)(int type, const char16_t* text, std::size_t size,
                                   int useCheckSum, TVerifyTextSink sink, void* context);
typedef int (*TVerifyProblem)(const std::uint8_t* grey, int width, int height, int type,
                              const char16_t* text, std::size_t size, int useCheckSum,
                              TVerifyTextSink sink, void* context);
}

inline constexpr const char* VerifyUnverifiableSymbol = "barcodegen_unverifiable_reason";
inline constexpr const char* VerifyProblemSymbol = "barcodegen_verify_problem";
