#include "platform/SysColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <utility>

#include "platform/QtConvert.h"

namespace {

struct TColorName {
    const char* Name;
    TColor Value;
};

constexpr std::array<TColorName, 52> ColorNames{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", clActiveBorder},
    {"clActiveCaption", clActiveCaption},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clBackground", clBackground},
    {"clBtnFace", clBtnFace},
    {"clBtnHighlight", clBtnHighlight},
    {"clBtnShadow", clBtnShadow},
    {"clBtnText", clBtnText},
    {"clCaptionText", clCaptionText},
    {"clDefault", clDefault},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clGrayText", clGrayText},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clHotLight", clHotLight},
    {"clInactiveBorder", clInactiveBorder},
    {"clInactiveCaption", clInactiveCaption},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clInfoBk", clInfoBk},
    {"clInfoText", clInfoText},
    {"clMenu", clMenu},
    {"clMenuBar", clMenuBar},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuText", clMenuText},
    {"clNone", clNone},
    {"clScrollBar", clScrollBar},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clWindowText", clWindowText},
}};

// Qt's palette has no caption, menu or desktop colours; each system colour
// takes the role that looks like it in an ordinary Qt window.
std::pair<QPalette::ColorGroup, QPalette::ColorRole> PaletteRole(unsigned index) {
    using P = QPalette;
    switch (index) {
    case 1: // desktop
    case 12:
        return {P::Active, P::Dark};
    case 2:
    case 13:
    case 27:
    case 29:
        return {P::Active, P::Highlight};
    case 3:
    case 28:
        return {P::Inactive, P::Highlight};
    case 5:
        return {P::Active, P::Base};
    case 6:
    case 21:
        return {P::Active, P::Shadow};
    case 7:
    case 8:
        return {P::Active, P::WindowText};
    case 9:
    case 14:
        return {P::Active, P::HighlightedText};
    case 19:
        return {P::Inactive, P::HighlightedText};
    case 16:
        return {P::Active, P::Dark};
    case 17:
        return {P::Disabled, P::Text};
    case 18:
        return {P::Active, P::ButtonText};
    case 20:
        return {P::Active, P::Light};
    case 22:
        return {P::Active, P::Midlight};
    case 23:
        return {P::Active, P::ToolTipText};
    case 24:
        return {P::Active, P::ToolTipBase};
    case 26:
        return {P::Active, P::Link};
    case 4:
    case 30:
        return {P::Active, P::Window};
    default:
        return {P::Active, P::Button}; // scroll bar, borders, button face
    }
}

} // namespace

QColor ColorToQColor(TColor c, const QColor& Default) {
    if (c == clNone) return QColor(Qt::transparent);
    if (c == clDefault) return Default;
    if ((c & 0xFF000000) == clSystemColor) {
        if (!qGuiApp) return Default.isValid() ? Default : QColor(Qt::black);
        const auto [group, role] = PaletteRole(c & 0xFF);
        return QGuiApplication::palette().color(group, role);
    }
    return ToQColor(c & 0xFFFFFF);
}

bool IdentToColor(const QString& Name, TColor& Color) {
    for (const TColorName& n : ColorNames)
        if (Name.compare(QLatin1String(n.Name), Qt::CaseInsensitive) == 0) {
            Color = n.Value;
            return true;
        }
    return false;
}
