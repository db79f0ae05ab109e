// The program's side of --verify's reading: the functions of
// cli/VerifyPicture.h called in the module barcodegen-verify, loaded on first use.
#include <stdexcept>
#include <string>

#include "cli/Modules.h"
#include "cli/VerifyModule.h"
#include "cli/VerifyPicture.h"

namespace {

struct TVerifyModule {
    TVerifyUnverifiable Unverifiable = nullptr;
    TVerifyProblem Problem = nullptr;
};

const TVerifyModule& VerifyModule() {
    static const TVerifyModule module = [] {
        void* handle = LoadModule("barcodegen-verify.so", BARCODEGEN_VERIFY_BUILT);
        return TVerifyModule{ModuleFunction<TVerifyUnverifiable>(handle, VerifyUnverifiableSymbol),
                             ModuleFunction<TVerifyProblem>(handle, VerifyProblemSymbol)};
    }();
    if (!module.Unverifiable || !module.Problem)
        throw std::runtime_error(
            "--verify: the module barcodegen-verify.so that reads the pictures is not installed");
    return module;
}

void Keep(void* context, const char* text, std::size_t size) {
    static_cast<std::string*>(context)->assign(text, size);
}

std::string Checked(int ok, std::string text) {
    if (!ok) throw std::runtime_error(text);
    return text;
}

} // namespace

std::string UnverifiableReason(int type, std::u16string_view preparedText, bool useCheckSum) {
    std::string text;
    const int ok = VerifyModule().Unverifiable(type, preparedText.data(), preparedText.size(),
                                               useCheckSum, Keep, &text);
    return Checked(ok, std::move(text));
}

std::string VerifyProblem(const TGreyPicture& picture, int type, std::u16string_view preparedText,
                          bool useCheckSum) {
    std::string text;
    const int ok =
        VerifyModule().Problem(picture.Pixels.data(), picture.Width, picture.Height, type,
                               preparedText.data(), preparedText.size(), useCheckSum, Keep, &text);
    return Checked(ok, std::move(text));
}
