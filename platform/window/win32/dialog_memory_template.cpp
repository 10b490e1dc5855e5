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
    std::vector<WORD> Take() { return std::move(words_); }

  private:
    std::vector<WORD> words_;
};

}  // namespace

std::vector<WORD> BuildMemoryTemplate(const DialogTemplate& templ) {
    TemplateWriter w;
    w.Word(1);       // dlgVer
    w.Word(0xFFFF);  // signature: an extended template
    w.Dword(0);      // helpID
    w.Dword(templ.exStyle);
    w.Dword(templ.style);
    w.Word(static_cast<unsigned>(templ.items.size()));
    w.Short(templ.rect.x);
    w.Short(templ.rect.y);
    w.Short(templ.rect.cx);
    w.Short(templ.rect.cy);
    w.Word(0);  // no menu
    if (templ.windowClass.empty()) {
        w.Word(0);
    } else {
        w.Text(templ.windowClass);
    }
    w.Text(templ.caption);
    if (templ.style & DS_SETFONT) {
        w.Word(static_cast<unsigned>(templ.font.pointSize));
        w.Word(static_cast<unsigned>(templ.font.weight));
        w.Word((templ.font.italic ? 1u : 0u) | (static_cast<unsigned>(templ.font.charSet) << 8));
        w.Text(templ.font.typeface);
    }
    for (const DialogItemTemplate& item : templ.items) {
        w.AlignToDword();
        w.Dword(0);  // helpID
        w.Dword(item.exStyle);
        w.Dword(item.style);
        w.Short(item.rect.x);
        w.Short(item.rect.y);
        w.Short(item.rect.cx);
        w.Short(item.rect.cy);
        w.Dword(static_cast<DWORD>(item.id));
        w.Text(item.windowClass);
        if (item.resourceId != 0) {
            w.Word(0xFFFF);
            w.Word(item.resourceId);
        } else {
            w.Text(item.text);
        }
        w.Word(0);  // no creation data
    }
    return w.Take();
}

}  // namespace platform::window
