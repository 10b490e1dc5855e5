#include "platform/window/win32/message_box_layout.h"

#include <algorithm>

#include "platform/window/win32/window_map.h"

namespace platform::window {
namespace {

constexpr int kMargin = 7;
constexpr int kGap = 4;
constexpr int kIconSize = 21;  // 32 pixels of the classic font, in dialog units
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kToggleWidth = 64;
constexpr int kMaxTextWidth = 280;
constexpr int kMaxDetailsLines = 10;

const DialogFontTemplate kFont{};

// Text extents in dialog units of the box's font, as the dialog manager will convert them.
class DialogUnitMeter {
  public:
    DialogUnitMeter() : dc_(::CreateCompatibleDC(nullptr)) {
        const int height = -::MulDiv(kFont.pointSize, ::GetDeviceCaps(dc_, LOGPIXELSY), 72);
        const std::wstring face = Widen(kFont.typeface);
        font_ = ::CreateFontW(height, 0, 0, 0, kFont.weight, kFont.italic, FALSE, FALSE,
                              static_cast<DWORD>(kFont.charSet), OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
        previous_ = ::SelectObject(dc_, font_);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc_, &metrics);
        SIZE letters{};
        const wchar_t alphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        ::GetTextExtentPoint32W(dc_, alphabet, 52, &letters);
        baseX_ = std::max<int>(1, (letters.cx / 26 + 1) / 2);
        baseY_ = std::max<int>(1, metrics.tmHeight);
    }
    ~DialogUnitMeter() {
        ::SelectObject(dc_, previous_);
        ::DeleteObject(font_);
        ::DeleteDC(dc_);
    }
    DialogUnitMeter(const DialogUnitMeter&) = delete;
    DialogUnitMeter& operator=(const DialogUnitMeter&) = delete;

    // The size text takes, wrapped at maxWidth dialog units.
    SIZE Measure(const std::string& text, int maxWidth) const {
        const std::wstring wide = Widen(text);
        RECT r{0, 0, maxWidth * baseX_ / 4, 0};
        ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        return SIZE{(r.right * 4 + baseX_ - 1) / baseX_, (r.bottom * 8 + baseY_ - 1) / baseY_};
    }
    int LineHeight() const { return 8; }

  private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
    int baseX_ = 6;
    int baseY_ = 13;
};

DialogItemTemplate Item(int id, const char* windowClass, std::string text, DWORD style,
                        DialogUnitRect rect) {
    DialogItemTemplate item;
    item.id = id;
    item.windowClass = windowClass;
    item.text = std::move(text);
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.rect = rect;
    return item;
}

const char* AnswerText(int answer) {
    switch (answer) {
        case IDYES:
            return "&Yes";
        case IDNO:
            return "&No";
        case IDCANCEL:
            return "Cancel";
        default:
            return "OK";
    }
}

}  // namespace

std::vector<int> MessageBoxAnswers(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        default:
            return {IDOK};
    }
}

WORD MessageBoxIconId(UINT type) {
    // The system's icons: IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK.
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return 32513;
        case MB_ICONQUESTION:
            return 32514;
        case MB_ICONEXCLAMATION:
            return 32515;
        case MB_ICONASTERISK:
            return 32516;
        default:
            return 0;
    }
}

DialogTemplate MessageBoxTemplate(const std::string& caption, const std::string& text, UINT type,
                                  const std::string& details) {
    const DialogUnitMeter meter;
    const bool icon = MessageBoxIconId(type) != 0;
    const std::vector<int> answers = MessageBoxAnswers(type);

    const int textLeft = icon ? kMargin + kIconSize + kMargin : kMargin;
    const SIZE textSize = meter.Measure(text, kMaxTextWidth);
    const int textHeight = std::max<int>(textSize.cy, icon ? kIconSize : 0);
    const int buttonsWidth = static_cast<int>(answers.size()) * (kButtonWidth + kGap) - kGap +
                             (details.empty() ? 0 : kToggleWidth + 2 * kGap);
    const int width = std::max<int>(textLeft + textSize.cx, kMargin + buttonsWidth) + kMargin;

    DialogTemplate box;
    box.id = kMessageBoxTemplateId;
    box.caption = caption;
    box.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
    box.font = kFont;
    if (icon) {
        box.items.push_back(
            Item(kMessageBoxIcon, "Static", "", SS_ICON, {kMargin, kMargin, kIconSize, kIconSize}));
    }
    box.items.push_back(Item(kMessageBoxText, "Static", text, SS_LEFT | SS_NOPREFIX,
                             {textLeft, kMargin, textSize.cx, textSize.cy}));
    int y = kMargin + textHeight + kMargin;
    if (!details.empty()) {
        const int measured =
            meter.Measure(details, width - 2 * kMargin - 10).cy / meter.LineHeight();
        const int lines = std::clamp(measured, 2, kMaxDetailsLines);
        const int height = lines * meter.LineHeight() + 4;
        std::string shown;  // the edit control breaks lines at CR LF
        for (char c : details) {
            shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        box.items.push_back(Item(kMessageBoxDetails, "Edit", shown,
                                 WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                                     ES_AUTOVSCROLL | (measured > lines ? WS_VSCROLL : 0),
                                 {kMargin, y, width - 2 * kMargin, height}));
        y += height + kMargin;
    }
    int x = width - kMargin - static_cast<int>(answers.size()) * (kButtonWidth + kGap) + kGap;
    if (details.empty()) {
        x = (width - buttonsWidth) / 2;  // a plain box centres its buttons
    }
    const int defaultIndex = static_cast<int>((type & MB_DEFMASK) >> 8);
    for (size_t i = 0; i < answers.size(); ++i) {
        const bool isDefault = static_cast<int>(i) ==
                               (defaultIndex < static_cast<int>(answers.size()) ? defaultIndex : 0);
        box.items.push_back(Item(answers[i], "Button", AnswerText(answers[i]),
                                 WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                 {x, y, kButtonWidth, kButtonHeight}));
        x += kButtonWidth + kGap;
    }
    if (!details.empty()) {
        box.items.push_back(Item(kMessageBoxDetailsToggle, "Button", "Hide Details...",
                                 WS_TABSTOP | BS_PUSHBUTTON,
                                 {kMargin, y, kToggleWidth, kButtonHeight}));
    }
    box.rect = {0, 0, width, y + kButtonHeight + kMargin};
    return box;
}

}  // namespace platform::window
