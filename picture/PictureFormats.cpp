#include "picture/PictureFormats.h"

#include <algorithm>
#include <string>

namespace {

template <class Matches> const TPictureFormat* Find(Matches matches) {
    const auto* row = std::find_if(PictureFormats.begin(), PictureFormats.end(), matches);
    return row == PictureFormats.end() ? nullptr : row;
}

template <class Text> std::ptrdiff_t ExtensionIn(Text name) {
    const auto dot = name.rfind(u'.'), slash = name.rfind(u'/');
    if (dot == Text::npos || (slash != Text::npos && slash > dot)) return -1;
    return std::ptrdiff_t(dot);
}

} // namespace

const TPictureFormat* PictureFormatNamed(std::string_view name) {
    return Find([name](const TPictureFormat& f) { return name == f.Name; });
}

const TPictureFormat* PictureFormatOfExtension(std::string_view extension) {
    if (extension.empty()) return nullptr; // the empty second spelling of most rows
    // ASCII letters only: no other character lowers to a letter of ours
    // ("\u017Fvg", a long s, names nothing).
    std::string lower(extension);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return Find([&lower](const TPictureFormat& f) {
        return std::find(f.Extensions.begin(), f.Extensions.end(), lower) != f.Extensions.end();
    });
}

std::ptrdiff_t ExtensionStart(std::string_view fileName) {
    return ExtensionIn(fileName);
}

std::ptrdiff_t ExtensionStart(std::u16string_view fileName) {
    return ExtensionIn(fileName);
}

const TPictureFormat* PictureFormatOfFile(std::string_view fileName) {
    const std::ptrdiff_t dot = ExtensionStart(fileName);
    return dot < 0 ? nullptr : PictureFormatOfExtension(fileName.substr(std::size_t(dot) + 1));
}

const TPictureFormat* PictureFormatOfFile(std::u16string_view fileName) {
    const std::ptrdiff_t dot = ExtensionStart(fileName);
    if (dot < 0) return nullptr;
    // Our extensions are ASCII: any other character names none of them.
    std::string extension;
    for (const char16_t c : fileName.substr(std::size_t(dot) + 1)) {
        if (c >= 0x80) return nullptr;
        extension += char(c);
    }
    return PictureFormatOfExtension(extension);
}
