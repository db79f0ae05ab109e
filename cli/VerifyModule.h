// barcodegen-verify, the module that holds --verify's reading
// (cli/VerifyReading.h over ZXing-C++). ZXing-C++ and the C++ library it
// needs took two thirds of the generator's start-up, so only runs that verify
// load them. The interface is plain C, so the module and the program agree
// whatever C++ library each carries; strings go through a sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/WrittenPicture.h"

extern "C" {

typedef void (*TVerifyTextSink)(void* context, const char* text, std::size_t size);

// Each reads code (UTF-16) as drawn in type, and hands sink its string
// (UTF-8): UnverifiableReason, or VerifyProblem of the grey picture. Returns
// VerifyDone, or VerifyRefused with the engine's message for a code it
// refuses, or VerifyFailed with the message of another failure.
enum { VerifyDone = 1, VerifyRefused = 2, VerifyFailed = 0 };
typedef int (*TVerifyUnverifiable)(const char16_t* code, std::size_t size, int type,
                                   int useCheckSum, TVerifyTextSink sink, void* context);
typedef int (*TVerifyProblem)(const std::uint8_t* grey, int width, int height, const char16_t* code,
                              std::size_t size, int type, int useCheckSum, TVerifyTextSink sink,
                              void* context);
}

inline constexpr const char* VerifyUnverifiableSymbol = "barcodegen_unverifiable_reason";
inline constexpr const char* VerifyProblemSymbol = "barcodegen_verify_problem";

// ---- the program's side (cli/VerifyCall.cpp), loading the module on first use

// A code as drawn: what the reading is checked against.
struct TVerifyRequest {
    std::u16string Code;
    int Type = 0;
    bool UseCheckSum = true;
};

// UnverifiableReason and VerifyProblem (cli/VerifyPicture.h) through the
// module. The engine's refusal of the code is an EBarcodeError; a module
// that is missing, or any other failure, a std::runtime_error.
std::string VerifyUnverifiableReason(const TVerifyRequest& request);
std::string VerifyReadBackProblem(const TGreyPicture& picture, const TVerifyRequest& request);
