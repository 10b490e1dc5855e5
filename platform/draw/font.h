#pragma once

#include <memory>

#include "platform/draw/gdi_object.h"

namespace platform::draw {
struct FontData;  // the backend's font (platform/draw/qt/font_data.h)
}

// A font object; until a font is created it stands for the application's default font.
class CFont : public CGdiObject {
  public:
    CFont();
    ~CFont() override;

    // A font of the given face and size in tenths of a point; always succeeds.
    bool CreatePointFont(int pointSizeTenths, const char* faceName);
    bool IsCreated() const { return data_ != nullptr; }

    // The backend's font; null until one is created.
    const platform::draw::FontData* Data() const { return data_.get(); }
    void SetData(std::unique_ptr<platform::draw::FontData> data);

  private:
    std::unique_ptr<platform::draw::FontData> data_;
};
