#include "platform/draw/qt/text_layout.h"

#include <algorithm>

#include "platform/draw/gdi_constants.h"

namespace platform::draw {
namespace {

// Removes the ampersands of mnemonic prefixes; returns the index of the underlined character of
// the stripped text (the first one marked), or -1.
int StripPrefixes(QString& text) {
    QString out;
    out.reserve(text.size());
    int mnemonic = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&' && mnemonic < 0) {
                mnemonic = static_cast<int>(out.size());
            }
        } else if (text[i] == u'&') {
            continue;  // a lone trailing ampersand shows nothing
        }
        out += text[i];
    }
    text = out;
    return mnemonic;
}

void AddLine(TextLayout& layout, const QString& paragraph, qsizetype from, qsizetype to,
             qsizetype paragraphStart, int mnemonic, const QFontMetrics& metrics) {
    TextLine line;
    line.text = paragraph.mid(from, to - from);
    line.width = metrics.horizontalAdvance(line.text);
    const qsizetype at = mnemonic - paragraphStart;
    if (mnemonic >= 0 && at >= from && at < to) {
        line.mnemonic = static_cast<int>(at - from);
    }
    layout.width = std::max(layout.width, line.width);
    layout.lines.push_back(std::move(line));
}

void WrapParagraph(TextLayout& layout, const QString& p, qsizetype start, int mnemonic,
                   const QFontMetrics& metrics, int maxWidth) {
    qsizetype pos = 0;
    do {
        qsizetype lineEnd = -1;
        qsizetype i = pos;
        while (i < p.size()) {
            while (i < p.size() && p[i] == u' ') {
                ++i;
            }
            qsizetype wordEnd = p.indexOf(u' ', i);
            if (wordEnd < 0) {
                wordEnd = p.size();
            }
            const bool fits = metrics.horizontalAdvance(p.mid(pos, wordEnd - pos)) <= maxWidth;
            if (!fits && lineEnd >= 0) {
                break;
            }
            lineEnd = wordEnd;
            i = wordEnd;
            if (!fits) {
                break;  // a single word wider than the rectangle stays whole
            }
        }
        if (lineEnd < 0) {
            lineEnd = p.size();  // only blanks are left
        }
        qsizetype contentEnd = lineEnd;
        while (contentEnd > pos && p[contentEnd - 1] == u' ') {
            --contentEnd;  // blanks at a break take no room
        }
        AddLine(layout, p, pos, contentEnd, start, mnemonic, metrics);
        pos = lineEnd;
        while (pos < p.size() && p[pos] == u' ') {
            ++pos;
        }
    } while (pos < p.size());
}

}  // namespace

TextLayout LayOutText(const QString& text, const QFontMetrics& metrics, int maxWidth,
                      uint32_t format) {
    TextLayout layout;
    QString stripped = text;
    const int mnemonic = (format & DT_NOPREFIX) != 0 ? -1 : StripPrefixes(stripped);
    if (stripped.isEmpty()) {
        return layout;
    }
    if ((format & DT_SINGLELINE) != 0) {
        stripped.replace(u'\r', u' ').replace(u'\n', u' ');
        AddLine(layout, stripped, 0, stripped.size(), 0, mnemonic, metrics);
        return layout;
    }
    qsizetype start = 0;
    while (start <= stripped.size()) {
        qsizetype end = stripped.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last) {
            end = stripped.size();
        }
        qsizetype contentEnd = end;
        if (contentEnd > start && stripped[contentEnd - 1] == u'\r') {
            --contentEnd;
        }
        const QString paragraph = stripped.mid(start, contentEnd - start);
        if ((format & DT_WORDBREAK) != 0 && !paragraph.isEmpty()) {
            WrapParagraph(layout, paragraph, start, mnemonic, metrics, maxWidth);
        } else {
            AddLine(layout, paragraph, 0, paragraph.size(), start, mnemonic, metrics);
        }
        if (last) {
            break;
        }
        start = end + 1;
    }
    return layout;
}

}  // namespace platform::draw
