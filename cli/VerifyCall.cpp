// The program's side of the module barcodegen-verify.
#include <stdexcept>
#include <string>

#include "cli/Modules.h"
#include "cli/VerifyModule.h"
#include "engine/BarcodeError.h"

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

std::string Checked(int status, std::string text) {
    if (status == VerifyRefused) throw EBarcodeError(text);
    if (status != VerifyDone) throw std::runtime_error(text);
    return text;
}

} // namespace

std::string VerifyUnverifiableReason(const TVerifyRequest& r) {
    std::string text;
    const int status = VerifyModule().Unverifiable(r.Code.data(), r.Code.size(), r.Type,
                                                   r.UseCheckSum, Keep, &text);
    return Checked(status, std::move(text));
}

std::string VerifyReadBackProblem(const TGreyPicture& picture, const TVerifyRequest& r) {
    std::string text;
    const int status =
        VerifyModule().Problem(picture.Pixels.data(), picture.Width, picture.Height, r.Code.data(),
                               r.Code.size(), r.Type, r.UseCheckSum, Keep, &text);
    return Checked(status, std::move(text));
}
