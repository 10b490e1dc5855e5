#include "platform/draw/font.h"

bool CFont::CreatePointFont(int pointSizeTenths, const char* faceName) {
    QFont font(faceName != nullptr ? QString::fromUtf8(faceName) : QString());
    font.setPointSizeF(pointSizeTenths / 10.0);
    SetQFont(font);
    return true;
}
