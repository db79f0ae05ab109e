// The print-size options as the command line gives them: what they come to,
// and the usage errors that name the option at fault.
#include <gtest/gtest.h>

#include <string>

#include "cli/PrintArguments.h"

TEST(PrintArguments, ValuesAndRefusals) {
    struct TCase {
        const char* Name;
        TPrintArguments Args;
        TPrintContext Context;
        const char* Error; // a part of the usage error; "" when the options are taken
    };
    TPrintArguments xdim;
    xdim.XDim = "0.33mm";
    auto with = [&xdim](auto change) {
        TPrintArguments a = xdim;
        change(a);
        return a;
    };
    const TCase cases[] = {
        {"xdim alone", xdim, {300, false, false, "PNG"}, ""},
        {"every option",
         with([](TPrintArguments& a) {
             a.Height = "50x";
             a.QuietZone = "12.5";
             a.QuietZoneMarks = true;
             a.TextSize = "8pt";
             a.TextGap = "0.2mm";
             a.Foreground = "navy";
             a.Background = "transparent";
             a.Rotate = "270";
         }),
         {300, false, false, "SVG"},
         ""},
        {"height without xdim",
         [] {
             TPrintArguments a;
             a.Height = "10mm";
             return a;
         }(),
         {},
         "--height shapes a label at a print size: give --xdim"},
        {"rotate without xdim",
         [] {
             TPrintArguments a;
             a.Rotate = "90";
             return a;
         }(),
         {},
         "--rotate shapes"},
        {"with --size", xdim, {300, true, false, "PNG"}, "--xdim with --size"},
        {"with --border", xdim, {300, false, true, "PNG"}, "--xdim with --border"},
        {"bad unit",
         with([](TPrintArguments& a) { a.XDim = "3cm"; }),
         {},
         "--xdim: \"3cm\" has an unknown unit"},
        {"modules for xdim", with([](TPrintArguments& a) { a.XDim = "2x"; }), {}, "--xdim:"},
        {"no xdim at all",
         with([](TPrintArguments& a) { a.XDim = "0mm"; }),
         {},
         "more than nothing"},
        {"bad height",
         with([](TPrintArguments& a) { a.Height = "tall"; }),
         {},
         "--height: \"tall\""},
        {"both quiet options",
         with([](TPrintArguments& a) {
             a.QuietZone = "3";
             a.NoQuietZone = true;
         }),
         {},
         "--quiet-zone with --no-quiet-zone"},
        {"negative quiet zone",
         with([](TPrintArguments& a) { a.QuietZone = "-1"; }),
         {},
         "--quiet-zone: \"-1\""},
        {"rotation of 45",
         with([](TPrintArguments& a) { a.Rotate = "45"; }),
         {},
         "--rotate: \"45\" is no rotation"},
        {"bad colour", with([](TPrintArguments& a) { a.Foreground = "#12"; }), {}, "--fg: \"#12\""},
        {"light on dark",
         with([](TPrintArguments& a) {
             a.Foreground = "white";
             a.Background = "black";
         }),
         {},
         "no darker"},
        {"low contrast",
         with([](TPrintArguments& a) { a.Foreground = "#D0D0D0"; }),
         {},
         "symbol contrast"},
        {"transparent BMP",
         with([](TPrintArguments& a) { a.Background = "transparent"; }),
         {300, false, false, "BMP"},
         "BMP keeps no transparency"},
        {"transparent JPEG",
         with([](TPrintArguments& a) { a.Foreground = "#000000C0"; }),
         {300, false, false, "JPEG"},
         "JPEG keeps no transparency"},
    };
    for (const TCase& c : cases) {
        std::string error;
        const std::optional<TPrintOptions> o = PrintOptionsOf(c.Args, c.Context, error);
        if (*c.Error == 0) {
            EXPECT_TRUE(o.has_value()) << c.Name << ": " << error;
        } else {
            EXPECT_FALSE(o.has_value()) << c.Name;
            EXPECT_NE(error.find(c.Error), std::string::npos) << c.Name << ": " << error;
        }
    }
    // What the options come to.
    std::string error;
    const auto o = PrintOptionsOf(cases[1].Args, cases[1].Context, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->Dpi, 300);
    EXPECT_EQ(o->XDim, (TLength{0.33, TLengthUnit::Millimetre}));
    EXPECT_EQ(o->BarHeight, (TLength{50, TLengthUnit::Module}));
    EXPECT_EQ(o->QuietZone, 12.5);
    EXPECT_EQ(o->QuarterTurns, 3);
    EXPECT_EQ(o->Foreground, 0xFF000080u);
    EXPECT_EQ(o->Background, 0u);
    EXPECT_TRUE(o->QuietZoneMarks);
    TPrintArguments none;
    EXPECT_FALSE(PrintOptionsOf(none, {}, error));
    EXPECT_EQ(error, "");
}
