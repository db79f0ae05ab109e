#include "cli/VerifyModule.h"

#include <exception>
#include <new>
#include <string>

#include "cli/VerifyPicture.h"

namespace {

// Nothing may cross the C interface but the string.
template <class Step> int Reported(TVerifyTextSink sink, void* context, Step step) {
    std::string text;
    int ok = 1;
    try {
        text = step();
    } catch (const std::bad_alloc&) {
        text = "not enough memory", ok = 0;
    } catch (const std::exception& e) {
        text = e.what(), ok = 0;
    } catch (...) {
        text = "unexpected failure", ok = 0;
    }
    sink(context, text.data(), text.size());
    return ok;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
barcodegen_unverifiable_reason(int type, const char16_t* text, std::size_t size, int useCheckSum,
                               TVerifyTextSink sink, void* context) {
    return Reported(sink, context, [&] {
        return UnverifiableReason(type, std::u16string_view(text, size), useCheckSum != 0);
    });
}

extern "C" __attribute__((visibility("default"))) int
barcodegen_verify_problem(const std::uint8_t* grey, int width, int height, int type,
                          const char16_t* text, std::size_t size, int useCheckSum,
                          TVerifyTextSink sink, void* context) {
    return Reported(sink, context, [&] {
        TGreyPicture picture{
            width, height, {grey, grey + std::size_t(width) * std::size_t(height)}};
        return VerifyProblem(picture, type, std::u16string_view(text, size), useCheckSum != 0);
    });
}
