#include "platform/draw/sys_colors.h"

#include <QGuiApplication>
#include <QPalette>

#include "platform/draw/qt/qt_convert.h"

namespace {

// Used before an application object exists.
COLORREF FixedColour(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
            return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        case COLOR_BTNSHADOW:
            return RGB(160, 160, 160);
        case COLOR_GRAYTEXT:
            return RGB(109, 109, 109);
        case COLOR_BTNTEXT:
            return RGB(0, 0, 0);
        case COLOR_BTNHIGHLIGHT:
            return RGB(255, 255, 255);
        case COLOR_3DDKSHADOW:
            return RGB(105, 105, 105);
        case COLOR_3DLIGHT:
            return RGB(227, 227, 227);
        default:
            return RGB(0, 0, 0);
    }
}

}  // namespace

COLORREF GetSysColor(int index) {
    if (QGuiApplication::instance() == nullptr) {
        return FixedColour(index);
    }
    const QPalette palette = QGuiApplication::palette();
    auto role = [&](QPalette::ColorRole r) {
        return platform::draw::FromQColor(palette.color(QPalette::Active, r));
    };
    switch (index) {
        case COLOR_WINDOW:
            return role(QPalette::Base);
        case COLOR_WINDOWTEXT:
            return role(QPalette::Text);
        case COLOR_HIGHLIGHT:
            return role(QPalette::Highlight);
        case COLOR_HIGHLIGHTTEXT:
            return role(QPalette::HighlightedText);
        case COLOR_BTNFACE:
            return role(QPalette::Button);
        case COLOR_BTNSHADOW:
            return role(QPalette::Dark);
        case COLOR_GRAYTEXT:
            return platform::draw::FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
        case COLOR_BTNTEXT:
            return role(QPalette::ButtonText);
        case COLOR_BTNHIGHLIGHT:
            return role(QPalette::Light);
        case COLOR_3DDKSHADOW:
            return role(QPalette::Shadow);
        case COLOR_3DLIGHT:
            return role(QPalette::Midlight);
        default:
            return RGB(0, 0, 0);
    }
}
