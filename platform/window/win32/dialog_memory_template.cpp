#include "platform/window/win32/dialog_memory_template.h"

#include "platform/window/win32/window_map.h"

namespace platform::window {
namespace {

class TemplateWriter {
  public:
    void Word(unsigned value) { words_.push_back(static_cast<WORD>(value)); }
    void Dword(DWORD value) {
        Word(value & 0xFFFF);
        Word(value >> 16);
    }
    void Short(int value) { Word(static_cast<unsigned>(static_cast<uint16_t>(value))); }
    void Text(const std::string& text) {
        for (wchar_t c : Widen(text)) {
            Word(static_cast<unsigned>(c));
        }
        Word(0);
    }
    void AlignToDword() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    void Rect(const DialogUnitRect& rect) {
        Short(rect.x);
        Short(rect.y);
        Short(rect.cx);
        Short(rect.cy);
    }
    std::vector<WORD> Take() { return std::move(words_); }

  private:
    std::vector<WORD> words_;
};

// What follows the fixed part of either header: menu, class, caption and the font.
void WriteHeaderTail(TemplateWriter& w, const DialogTemplate& templ) {
    w.Word(0);  // no menu
    if (templ.windowClass.empty()) {
        w.Word(0);
    } else {
        w.Text(templ.windowClass);
    }
    w.Text(templ.caption);
    if (templ.style & DS_SETFONT) {
        w.Word(static_cast<unsigned>(templ.font.pointSize));
        if (templ.extended) {
            w.Word(static_cast<unsigned>(templ.font.weight));
            w.Word((templ.font.italic ? 1u : 0u) |
                   (static_cast<unsigned>(templ.font.charSet) << 8));
        }
        w.Text(templ.font.typeface);
    }
}

// What follows an item's fixed part: class, caption (or resource ordinal), no creation data.
void WriteItemTail(TemplateWriter& w, const DialogItemTemplate& item) {
    w.Text(item.windowClass);
    if (item.resourceId != 0) {
        w.Word(0xFFFF);
        w.Word(item.resourceId);
    } else {
        w.Text(item.text);
    }
    w.Word(0);
}

}  // namespace

std::vector<WORD> BuildMemoryTemplate(const DialogTemplate& templ) {
    TemplateWriter w;
    if (templ.extended) {
        w.Word(1);       // dlgVer
        w.Word(0xFFFF);  // signature: an extended template
        w.Dword(0);      // helpID
        w.Dword(templ.exStyle);
        w.Dword(templ.style);
    } else {
        w.Dword(templ.style);
        w.Dword(templ.exStyle);
    }
    w.Word(static_cast<unsigned>(templ.items.size()));
    w.Rect(templ.rect);
    WriteHeaderTail(w, templ);
    for (const DialogItemTemplate& item : templ.items) {
        w.AlignToDword();
        if (templ.extended) {
            w.Dword(0);  // helpID
            w.Dword(item.exStyle);
            w.Dword(item.style);
            w.Rect(item.rect);
            w.Dword(static_cast<DWORD>(item.id));
        } else {
            w.Dword(item.style);
            w.Dword(item.exStyle);
            w.Rect(item.rect);
            w.Short(item.id);  // a word: -1 is 0xFFFF
        }
        WriteItemTail(w, item);
    }
    return w.Take();
}

}  // namespace platform::window
