#include "cli/VerifyPicture.h"

std::string VerifyProblem(const TGreyPicture& picture, const TExpectedReading& expected) {
    return ReadBackProblem(picture.Pixels.data(), picture.Width, picture.Height, expected);
}
