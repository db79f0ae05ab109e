#include "cli/VerifyModule.h"

#include <exception>
#include <new>
#include <string>

#include "cli/VerifyPicture.h"
#include "engine/BarcodeError.h"

namespace {

// Nothing may cross the C interface but the string.
template <class Step> int Reported(TVerifyTextSink sink, void* context, Step step) {
    std::string text;
    int status = VerifyDone;
    try {
        text = step();
    } catch (const EBarcodeError& e) {
        text = e.what(), status = VerifyRefused;
    } catch (const std::bad_alloc&) {
        text = "not enough memory", status = VerifyFailed;
    } catch (const std::exception& e) {
        text = e.what(), status = VerifyFailed;
    } catch (...) {
        text = "unexpected failure", status = VerifyFailed;
    }
    sink(context, text.data(), text.size());
    return status;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
barcodegen_unverifiable_reason(const char16_t* code, std::size_t size, int type, int useCheckSum,
                               TVerifyTextSink sink, void* context) {
    return Reported(sink, context, [&] {
        return UnverifiableReason(
            ExpectedReading(std::u16string_view(code, size), type, useCheckSum != 0));
    });
}

extern "C" __attribute__((visibility("default"))) int
barcodegen_verify_problem(const std::uint8_t* grey, int width, int height, const char16_t* code,
                          std::size_t size, int type, int useCheckSum, TVerifyTextSink sink,
                          void* context) {
    return Reported(sink, context, [&] {
        const TExpectedReading expected =
            ExpectedReading(std::u16string_view(code, size), type, useCheckSum != 0);
        return ReadBackProblem(grey, width, height, expected);
    });
}
