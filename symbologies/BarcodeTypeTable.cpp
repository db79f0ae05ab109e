// The symbology table: one row per TBarcodeType, read by the pattern build
// (digits-only check, ratio clamp, encoder), by the drawing (text layout), by
// the type names and by the applications. A new symbology is a row here and
// its encoder.
#include <algorithm>

#include "EanUpc.h"
#include "ZoBarcode.h"

namespace {

constexpr TRatioClamp AnyRatio{};
constexpr TRatioClamp Ratio2To3{2.0, 3.0};
constexpr TRatioClamp Ratio225To3{2.25, 3.0};

} // namespace

// A friend of TZoBarcode, so that the rows can name its private encoders.
struct TBarcodeTypeRows {
    using Z = TZoBarcode;
    // clang-format off
    static constexpr auto Rows = std::to_array<TBCdata>({
        // type                  name                     digits check       ratio        encoder                    text
        {bcCode_2_5_interleaved, u"Code_2_5_interleaved", true,  ccNone,     Ratio2To3,   &Z::Code_2_5_interleaved,  nullptr},
        {bcCode_2_5_industrial,  u"Code_2_5_industrial",  true,  ccNone,     Ratio2To3,   &Z::Code_2_5_industrial,   nullptr},
        {bcCode_2_5_matrix,      u"Code_2_5_matrix",      true,  ccNone,     Ratio225To3, &Z::Code_2_5_matrix,       nullptr},
        {bcCode39,               u"Code39",               false, ccOptional, Ratio2To3,   &Z::Code_39,               nullptr},
        {bcCode39Extended,       u"Code39Extended",       false, ccOptional, Ratio2To3,   &Z::Code_39Extended,       nullptr},
        {bcCode128A,             u"Code128A",             false, ccAlways,   AnyRatio,    &Z::Code_128,              nullptr},
        {bcCode128B,             u"Code128B",             false, ccAlways,   AnyRatio,    &Z::Code_128,              nullptr},
        {bcCode128C,             u"Code128C",             true,  ccAlways,   AnyRatio,    &Z::Code_128,              nullptr},
        {bcCode93,               u"Code93",               false, ccAlways,   AnyRatio,    &Z::Code_93,               nullptr},
        {bcCode93Extended,       u"Code93Extended",       false, ccAlways,   AnyRatio,    &Z::Code_93Extended,       nullptr},
        {bcCodeMSI,              u"CodeMSI",              true,  ccOptional, AnyRatio,    &Z::Code_MSI,              nullptr},
        {bcCodePostNet,          u"CodePostNet",          true,  ccOptional, AnyRatio,    &Z::Code_PostNet,          nullptr},
        {bcCodeCodabar,          u"CodeCodabar",          false, ccNone,     Ratio2To3,   &Z::Code_Codabar,          nullptr},
        {bcCodeEAN8,             u"CodeEAN8",             true,  ccOptional, Ratio2To3,   &Z::Code_EAN8,             &Ean8Text},
        {bcCodeEAN13,            u"CodeEAN13",            true,  ccOptional, Ratio2To3,   &Z::Code_EAN13,            &Ean13Text},
        {bcCodeUPC_A,            u"CodeUPC_A",            true,  ccOptional, Ratio2To3,   &Z::Code_UPC_A,            &UpcAText},
        {bcCodeUPC_E0,           u"CodeUPC_E0",           true,  ccAlways,   Ratio2To3,   &Z::Code_UPC_E0,           &UpcEText},
        {bcCodeUPC_E1,           u"CodeUPC_E1",           true,  ccAlways,   Ratio2To3,   &Z::Code_UPC_E1,           &UpcEText},
        {bcCodeUPC_Supp2,        u"CodeUPC_Supp2",        true,  ccNone,     Ratio2To3,   &Z::Code_Supp2,            nullptr},
        {bcCodeUPC_Supp5,        u"CodeUPC_Supp5",        true,  ccAlways,   Ratio2To3,   &Z::Code_Supp5,            nullptr},
        {bcCodeEAN128A,          u"CodeEAN128A",          false, ccAlways,   AnyRatio,    &Z::Code_128,              nullptr},
        {bcCodeEAN128B,          u"CodeEAN128B",          false, ccAlways,   AnyRatio,    &Z::Code_128,              nullptr},
        {bcCodeEAN128C,          u"CodeEAN128C",          true,  ccAlways,   AnyRatio,    &Z::Code_128,              nullptr},
        {bcTypeUndefined,        u"Undefined",            true,  ccNone,     AnyRatio,    nullptr,                   nullptr},
    });
    // clang-format on
};

static_assert(TBarcodeTypeRows::Rows.size() == BarcodeTypeCount, "one row per TBarcodeType");
static_assert(std::ranges::all_of(TBarcodeTypeRows::Rows,
                                  [](const TBCdata& row) {
                                      return row.Type == &row - TBarcodeTypeRows::Rows.data();
                                  }),
              "the rows in the order of the enumeration");

constinit const std::array<TBCdata, BarcodeTypeCount> BarcodeTypeTable = TBarcodeTypeRows::Rows;
