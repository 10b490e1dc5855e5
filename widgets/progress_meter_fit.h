#pragma once

#include <string>
#include <string_view>

namespace meter {

// Measures the pixel width of a text in some font.
class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    virtual int TextWidth(std::string_view text) const = 0;
};

// Shortens `text` so that it fits into `available` pixels beside `reserved` pixels. A trailing
// "..." is dropped first. Returns 0 when the text fits (or is empty), -length when it is too short
// to shorten usefully (left as is), otherwise the number of characters cut, "..." appended.
int FitTextToWidth(std::string& text, const TextMeasure& measure, int available, int reserved);

}  // namespace meter
