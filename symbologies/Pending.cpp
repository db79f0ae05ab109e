// Encoders whose symbologies are not built yet: they refuse every text, so a
// caller gets a message and never a crash. Each goes away as its family arrives.
#include "ZoBarcode.h"

namespace {
[[noreturn]] void NotImplemented(TBarcodeType type) {
    throw EBarcodeError(FormatMessage("%s: %s is not implemented yet",
                                      {TZoBarcode::ClassName, ToUtf8(BarcodeTypeName(type))}));
}
} // namespace

std::u16string TZoBarcode::Code_UPC_E0() { NotImplemented(BarCodeType()); }
std::u16string TZoBarcode::Code_UPC_E1() { NotImplemented(BarCodeType()); }
std::u16string TZoBarcode::Code_Supp5() { NotImplemented(BarCodeType()); }
std::u16string TZoBarcode::Code_Supp2() { NotImplemented(BarCodeType()); }
