// A label from a program of one's own: the symbol's text and pattern on
// standard output, its picture as a PNG file.
//
//     label [CODE [TYPE [FILE]]]     label 590123412345 ean-13 label.png
//
// TYPE is a name or alias of barcodegen::Types() or an index.
#include <barcodegen/barcodegen.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

int TypeOf(const std::string& wanted) {
    for (const barcodegen::TTypeInfo& type : barcodegen::Types()) {
        if (type.Name == wanted || std::to_string(type.Index) == wanted) return type.Index;
        for (const std::string& alias : type.Aliases)
            if (alias == wanted) return type.Index;
    }
    throw barcodegen::EError("no symbology is called " + wanted);
}

} // namespace

int main(int argc, char** argv) {
    const std::string code = argc > 1 ? argv[1] : "590123412345";
    const std::string typeName = argc > 2 ? argv[2] : "ean-13";
    const std::string file = argc > 3 ? argv[3] : "label.png";
    try {
        const int type = TypeOf(typeName);
        const barcodegen::TSymbol symbol = barcodegen::Encode(code, type);
        std::cout << symbol.Text << '\n' << symbol.Pattern << '\n';

        barcodegen::TPictureOptions options;
        options.Width = 600; // modules of 4 pixels for an EAN-13
        options.Height = 300;
        options.Dpi = 300;
        barcodegen::WritePicture(file, barcodegen::FormatOfFileName(file), code, type, options);
    } catch (const barcodegen::EError& e) {
        std::cerr << "label: " << e.what() << '\n';
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
