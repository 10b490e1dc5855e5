#include "widgets/progress_meter_fit.h"

#include <cctype>

namespace meter {
namespace {

constexpr std::string_view kEllipsis = "...";

void TrimRight(std::string& text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.pop_back();
    }
}

}  // namespace

int FitTextToWidth(std::string& text, const TextMeasure& measure, int available, int reserved) {
    if (text.ends_with(kEllipsis)) {
        text.resize(text.size() - kEllipsis.size());
    }
    int n = static_cast<int>(text.size());
    if (n == 0) {
        return 0;
    }
    if (measure.TextWidth(text) + reserved <= available) {
        return 0;
    }
    const int e = measure.TextWidth(kEllipsis);
    const int f = measure.TextWidth(std::string_view(text).substr(0, 1));
    if (measure.TextWidth(text) <= e + f) {
        return -n;
    }
    int removed = 0;
    if (n > 1) {
        reserved += e / 2;
        while (n > 1) {
            if (measure.TextWidth(text) + reserved <= available) {
                break;
            }
            text.pop_back();
            TrimRight(text);
            n = static_cast<int>(text.size());
            ++removed;
        }
    }
    text.append(kEllipsis);
    return removed;
}

}  // namespace meter
