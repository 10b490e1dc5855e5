#pragma once

#include <QFont>

#include "platform/draw/gdi_object.h"

// A font object over a QFont.
class CFont : public CGdiObject {
  public:
    CFont() = default;
    explicit CFont(const QFont& font) : font_(font), created_(true) {}

    // A font of the given face and size in tenths of a point; always succeeds.
    bool CreatePointFont(int pointSizeTenths, const char* faceName);
    void SetQFont(const QFont& font) {
        font_ = font;
        created_ = true;
    }
    // The font; the application's default font when none was created.
    const QFont& GetQFont() const { return font_; }
    bool IsCreated() const { return created_; }

  private:
    QFont font_;
    bool created_ = false;
};
