#pragma once

#include <cstdint>
#include <memory>

#include "platform/draw/bitmap.h"
#include "platform/draw/geometry.h"

class CDC;

// A list of images of one size, cut from bitmaps added to it.
class CImageList {
  public:
    CImageList();
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Creates an empty list of cx x cy images; flags: ILC_COLOR32, optionally ILC_MASK. False for
    // a non-positive size or when already created. initial and grow are accepted and unused.
    bool Create(int cx, int cy, uint32_t flags, int initial, int grow);
    bool DeleteImageList();
    bool IsCreated() const { return created_; }

    // Cuts bitmap into images of the list's width (left to right; a narrower rest is dropped)
    // and appends them. With ILC_MASK, pixels of maskColour become transparent; without it the
    // pixels are kept as they are. Returns the index of the first new image, -1 on failure.
    int Add(CBitmap* bitmap, COLORREF maskColour);
    int GetImageCount() const;
    CSize GetIconSize() const { return {cx_, cy_}; }

    // Draws image index with its top-left corner at point (ILD_NORMAL: masked pixels stay
    // untouched, others are copied). False for a bad index or a context without target.
    bool Draw(CDC* dc, int index, CPoint point, uint32_t style) const;

  private:
    bool created_ = false;
    bool masked_ = false;
    int cx_ = 0;
    int cy_ = 0;
    struct Images;  // the cut images, in the backend's format
    std::unique_ptr<Images> images_;
};
