// The symbology table: one row per TBarcodeType, read by the pattern build
// (digits-only check, ratio clamp, encoder), by the drawing (text layout), by
// the type names and by the applications. A new symbology is a row here and
// its encoder.
#include <algorithm>

#include "engine/ZoBarcode.h"
#include "symbologies/EanUpc.h"

namespace {

constexpr TRatioClamp AnyRatio{};
constexpr TRatioClamp Ratio2To3{2.0, 3.0};
constexpr TRatioClamp Ratio225To3{2.25, 3.0};
// ITF-14 lays each element out as two (Itf14.cpp): a ratio of 4 makes its
// wide elements 2.5 times the narrow ones in whole modules.
constexpr TRatioClamp ItfRatio{4.0, 4.0};

} // namespace

// A friend of TZoBarcode, so that the rows can name its private encoders.
struct TBarcodeTypeRows {
    using Z = TZoBarcode;
    // clang-format off
    static constexpr auto Rows = std::to_array<TBCdata>({
        // type                  name                     digits check       ratio        encoder                    text        syntax     frame aliases, what it takes
        {bcCode_2_5_interleaved, u"Code_2_5_interleaved", true,  ccNone,     Ratio2To3,   &Z::Code_2_5_interleaved,  nullptr,    tsPlain,   0,    u"itf i2of5 interleaved2of5", u"digits"},
        {bcCode_2_5_industrial,  u"Code_2_5_industrial",  true,  ccNone,     Ratio2To3,   &Z::Code_2_5_industrial,   nullptr,    tsPlain,   0,    u"industrial2of5 c25industrial", u"digits"},
        {bcCode_2_5_matrix,      u"Code_2_5_matrix",      true,  ccNone,     Ratio225To3, &Z::Code_2_5_matrix,       nullptr,    tsPlain,   0,    u"matrix2of5 c25matrix", u"digits"},
        {bcCode39,               u"Code39",               false, ccOptional, Ratio2To3,   &Z::Code_39,               nullptr,    tsPlain,   0,    u"code39 code-39 c39 code3of9", u"capitals, digits, space and - . $ / + %"},
        {bcCode39Extended,       u"Code39Extended",       false, ccOptional, Ratio2To3,   &Z::Code_39Extended,       nullptr,    tsPlain,   0,    u"code39ext code39-full-ascii", u"ASCII text"},
        {bcCode128A,             u"Code128A",             false, ccAlways,   AnyRatio,    &Z::Code_128,              nullptr,    tsPlain,   0,    u"code128a", u"capitals, digits, punctuation, control characters"},
        {bcCode128B,             u"Code128B",             false, ccAlways,   AnyRatio,    &Z::Code_128,              nullptr,    tsPlain,   0,    u"code128b", u"printable ASCII"},
        {bcCode128C,             u"Code128C",             true,  ccAlways,   AnyRatio,    &Z::Code_128,              nullptr,    tsPlain,   0,    u"code128c", u"digits"},
        {bcCode93,               u"Code93",               false, ccAlways,   AnyRatio,    &Z::Code_93,               nullptr,    tsPlain,   0,    u"code93 code-93", u"capitals, digits, space and - . $ / + %"},
        {bcCode93Extended,       u"Code93Extended",       false, ccAlways,   AnyRatio,    &Z::Code_93Extended,       nullptr,    tsPlain,   0,    u"code93ext code93-full-ascii", u"ASCII text"},
        {bcCodeMSI,              u"CodeMSI",              true,  ccOptional, AnyRatio,    &Z::Code_MSI,              nullptr,    tsPlain,   0,    u"msi msi-plessey", u"digits"},
        {bcCodePostNet,          u"CodePostNet",          true,  ccOptional, AnyRatio,    &Z::Code_PostNet,          nullptr,    tsPlain,   0,    u"postnet", u"digits"},
        {bcCodeCodabar,          u"CodeCodabar",          false, ccNone,     Ratio2To3,   &Z::Code_Codabar,          nullptr,    tsPlain,   0,    u"codabar nw7", u"start A-D, digits and - $ : / . +, stop A-D"},
        {bcCodeEAN8,             u"CodeEAN8",             true,  ccOptional, Ratio2To3,   &Z::Code_EAN8,             &Ean8Text,  tsAddOn,   0,    u"ean8 ean-8", u"7 digits (8 with check), +2 or +5 digits add-on"},
        {bcCodeEAN13,            u"CodeEAN13",            true,  ccOptional, Ratio2To3,   &Z::Code_EAN13,            &Ean13Text, tsAddOn,   0,    u"ean13 ean-13 ean", u"12 digits (13 with check), +2 or +5 digits add-on"},
        {bcCodeUPC_A,            u"CodeUPC_A",            true,  ccOptional, Ratio2To3,   &Z::Code_UPC_A,            &UpcAText,  tsAddOn,   0,    u"upca upc-a upc", u"11 digits (12 with check), +2 or +5 digits add-on"},
        {bcCodeUPC_E0,           u"CodeUPC_E0",           true,  ccAlways,   Ratio2To3,   &Z::Code_UPC_E0,           &UpcEText,  tsAddOn,   0,    u"upce upc-e upce0", u"6 digits (7 with check), +2 or +5 digits add-on"},
        {bcCodeUPC_E1,           u"CodeUPC_E1",           true,  ccAlways,   Ratio2To3,   &Z::Code_UPC_E1,           &UpcEText,  tsAddOn,   0,    u"upce1", u"6 digits (7 with check), +2 or +5 digits add-on"},
        {bcCodeUPC_Supp2,        u"CodeUPC_Supp2",        true,  ccNone,     Ratio2To3,   &Z::Code_Supp2,            nullptr,    tsPlain,   0,    u"ean2 ean-2 upc-supp2 addon2", u"2 digits"},
        {bcCodeUPC_Supp5,        u"CodeUPC_Supp5",        true,  ccAlways,   Ratio2To3,   &Z::Code_Supp5,            nullptr,    tsPlain,   0,    u"ean5 ean-5 upc-supp5 addon5", u"5 digits"},
        {bcCodeEAN128A,          u"CodeEAN128A",          false, ccAlways,   AnyRatio,    &Z::Code_128,              nullptr,    tsGs1,     0,    u"ean128a gs1-128a", u"(AI)data... or data, all in code set A"},
        {bcCodeEAN128B,          u"CodeEAN128B",          false, ccAlways,   AnyRatio,    &Z::Code_128,              nullptr,    tsGs1,     0,    u"ean128b gs1-128b", u"(AI)data... or data, all in code set B"},
        {bcCodeEAN128C,          u"CodeEAN128C",          true,  ccAlways,   AnyRatio,    &Z::Code_128,              nullptr,    tsGs1,     0,    u"ean128c gs1-128c", u"(AI)digits... or digits, all in code set C"},
        {bcTypeUndefined,        u"Undefined",            true,  ccNone,     AnyRatio,    nullptr,                   nullptr,    tsPlain,   0,    u"", u""},
        {bcCode128,              u"Code128",              false, ccAlways,   AnyRatio,    &Z::Code_128Auto,          nullptr,    tsPlain,   0,    u"code128 code-128", u"ISO 8859-1 text"},
        {bcCodeGS1_128,          u"CodeGS1_128",          false, ccAlways,   AnyRatio,    &Z::Code_GS1_128,          nullptr,    tsGs1Only, 0,    u"gs1-128 ean-128 ucc-128", u"(AI)data... or [AI]data..."},
        {bcCodeSSCC18,           u"CodeSSCC18",           true,  ccAlways,   AnyRatio,    &Z::Code_SSCC18,           nullptr,    tsPlain,   0,    u"sscc-18 sscc", u"17 digits (18 with check)"},
        {bcCodeITF14,            u"CodeITF14",            true,  ccAlways,   ItfRatio,    &Z::Code_ITF14,            nullptr,    tsPlain,   10,   u"itf14", u"13 digits (14 with check)"},
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
