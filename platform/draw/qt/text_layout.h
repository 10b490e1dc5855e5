#pragma once

#include <QFontMetrics>
#include <QString>
#include <cstdint>
#include <vector>

// Line layout of DrawText: prefix processing, explicit line breaks and word wrapping.
namespace platform::draw {

struct TextLine {
    QString text;
    int width = 0;      // pixels
    int mnemonic = -1;  // index of the character to underline, -1 for none
};

struct TextLayout {
    std::vector<TextLine> lines;  // empty for an empty text
    int width = 0;                // the widest line
};

// Splits text into lines for a rectangle maxWidth pixels wide under the DT_ flags: without
// DT_NOPREFIX "&&" shows "&" and "&x" underlines x; without DT_SINGLELINE "\n" (or "\r\n") ends a
// line; DT_WORDBREAK wraps at blanks, keeping a word wider than the rectangle whole on its line.
TextLayout LayOutText(const QString& text, const QFontMetrics& metrics, int maxWidth,
                      uint32_t format);

}  // namespace platform::draw
