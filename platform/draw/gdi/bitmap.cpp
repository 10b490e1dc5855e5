#include "platform/draw/bitmap.h"

#include "platform/draw/dc.h"
#include "platform/draw/image_loader.h"

HBITMAP CopyBitmapHandle(const HBITMAP& handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    return static_cast<HBITMAP>(::CopyImage(handle, IMAGE_BITMAP, 0, 0, 0));
}

CBitmap::~CBitmap() {
    DeleteObject();
}

bool CBitmap::Attach(HBITMAP handle) {
    if (handle_ != nullptr || handle == nullptr) {
        return false;
    }
    handle_ = handle;
    return true;
}

HBITMAP CBitmap::Detach() {
    HBITMAP handle = handle_;
    handle_ = nullptr;
    return handle;
}

bool CBitmap::DeleteObject() {
    if (handle_ == nullptr) {
        return false;
    }
    ::DeleteObject(handle_);
    handle_ = nullptr;
    return true;
}

bool CBitmap::CreateCompatibleBitmap(CDC* referenceDC, int width, int height) {
    if (handle_ != nullptr || width <= 0 || height <= 0) {
        return false;
    }
    HDC reference = referenceDC != nullptr ? referenceDC->GetSafeHdc() : nullptr;
    // A memory context holds a 1 x 1 monochrome bitmap at first: take the screen's format then.
    const bool screen = reference == nullptr || (referenceDC->IsMemoryDC());
    if (screen) {
        reference = ::GetDC(nullptr);
    }
    handle_ = ::CreateCompatibleBitmap(reference, width, height);
    if (screen) {
        ::ReleaseDC(nullptr, reference);
    }
    return handle_ != nullptr;
}

bool CBitmap::CreateBitmap(int width, int height, unsigned planes, unsigned bitsPerPixel,
                           const void* bits) {
    if (handle_ != nullptr || width <= 0 || height <= 0) {
        return false;
    }
    handle_ = ::CreateBitmap(width, height, planes, bitsPerPixel, bits);
    return handle_ != nullptr;
}

bool CBitmap::CreateBitmapIndirect(const BITMAP* description) {
    if (handle_ != nullptr || description == nullptr) {
        return false;
    }
    handle_ = ::CreateBitmapIndirect(description);
    return handle_ != nullptr;
}

bool CBitmap::LoadBitmap(unsigned resourceId) {
    if (handle_ != nullptr) {
        return false;
    }
    handle_ = ::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
    return handle_ != nullptr;
}

int CBitmap::GetObject(int count, BITMAP* out) const {
    if (handle_ == nullptr || out == nullptr || count < static_cast<int>(sizeof(BITMAP))) {
        return 0;
    }
    return ::GetObjectW(handle_, static_cast<int>(sizeof(BITMAP)), out);
}

uint32_t CBitmap::GetBitmapBits(uint32_t count, void* bits) const {
    return handle_ != nullptr
               ? static_cast<uint32_t>(::GetBitmapBits(handle_, static_cast<LONG>(count), bits))
               : 0;
}

uint32_t CBitmap::SetBitmapBits(uint32_t count, const void* bits) {
    return handle_ != nullptr ? static_cast<uint32_t>(::SetBitmapBits(handle_, count, bits)) : 0;
}
