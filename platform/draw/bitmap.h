#pragma once

#include <cstdint>
#include <memory>

#include "platform/draw/gdi_object.h"

// BITMAP (a bitmap's description), HBITMAP and DeleteObject: the system's own on Windows, ours
// elsewhere.
#include "system_defs/gdi_types.h"

class CDC;

// A new handle to a copy of the handle's pixels, in their own depth; empty for an empty handle.
HBITMAP CopyBitmapHandle(const HBITMAP& handle);

// A bitmap object: empty, or attached to one bitmap handle.
class CBitmap : public CGdiObject {
  public:
    CBitmap() = default;
    ~CBitmap() override;

    // Takes a handle; fails (false) when this object already holds one or the handle is empty.
    bool Attach(HBITMAP handle);
    // Gives the handle up; the object becomes empty.
    HBITMAP Detach();
    // Releases the bitmap; false when there was none.
    bool DeleteObject();
    HBITMAP GetSafeHandle() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // A black bitmap of the reference context's format (always 32 bits per pixel); false for a
    // non-positive size.
    bool CreateCompatibleBitmap(CDC* referenceDC, int width, int height);
    // A bitmap with the described size and depth, initialised from bits (bmWidthBytes per row,
    // top row first) when given. Only 32 bits per pixel and one plane are supported.
    bool CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                      const void* bits);
    bool CreateBitmapIndirect(const BITMAP* description);
    // Loads a bitmap resource by id in the screen's format; false when there is none.
    bool LoadBitmap(unsigned resourceId);

    // Fills *out with the description; returns the bytes written (sizeof(BITMAP)) or 0 when the
    // object is empty or count is too small.
    int GetObject(int count, BITMAP* out) const;
    int GetBitmap(BITMAP* out) const { return GetObject(static_cast<int>(sizeof(BITMAP)), out); }
    // Copies up to count bytes of the pixel rows (bmWidthBytes each, top row first) into bits;
    // returns the bytes copied.
    uint32_t GetBitmapBits(uint32_t count, void* bits) const;
    // Replaces up to count bytes of the pixel rows from bits; returns the bytes used.
    uint32_t SetBitmapBits(uint32_t count, const void* bits);

  private:
    HBITMAP handle_{};
};
