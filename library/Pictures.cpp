// The pictures of barcodegen-cli behind the library's face.
#include <algorithm>

#include "barcodegen/barcodegen.h"
#include "library/LibrarySupport.h"

namespace barcodegen {

TFormat FormatOfFileName(std::string_view fileName) {
    const std::size_t slash = fileName.rfind('/');
    const std::size_t dot = fileName.rfind('.');
    std::string extension;
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        for (const char c : fileName.substr(dot + 1))
            extension += c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    if (extension == "png") return TFormat::Png;
    if (extension == "bmp") return TFormat::Bmp;
    if (extension == "jpg" || extension == "jpeg") return TFormat::Jpeg;
    if (extension == "svg") return TFormat::Svg;
    if (extension == "pdf") return TFormat::Pdf;
    throw EError(FormatMessage("%s: the name's extension is none of png, bmp, jpg, jpeg, svg "
                               "and pdf",
                               {TextForMessage(FromUtf8(fileName))}));
}

} // namespace barcodegen
