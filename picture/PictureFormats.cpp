#include "picture/PictureFormats.h"

#include "picture/FileIO.h"

#include <algorithm>

namespace {

template <class Matches> const TPictureFormat* Find(Matches matches) {
    const auto* row = std::find_if(PictureFormats.begin(), PictureFormats.end(), matches);
    return row == PictureFormats.end() ? nullptr : row;
}

} // namespace

const TPictureFormat* PictureFormatNamed(QStringView name) {
    return Find([name](const TPictureFormat& f) { return name == f.Name; });
}

const TPictureFormat* PictureFormatOfExtension(QStringView extension) {
    if (extension.isEmpty()) return nullptr; // the empty second spelling of most rows
    // Lower case rather than folded: "\u017Fvg" (a long s) names nothing.
    const QString lower = extension.toString().toLower();
    return Find([&lower](const TPictureFormat& f) {
        return std::find(f.Extensions.begin(), f.Extensions.end(), lower) != f.Extensions.end();
    });
}

const TPictureFormat* PictureFormatOfFile(const QString& fileName) {
    const qsizetype dot = ExtensionStart(fileName);
    return dot < 0 ? nullptr : PictureFormatOfExtension(QStringView(fileName).sliced(dot + 1));
}
