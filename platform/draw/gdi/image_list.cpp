#include "platform/draw/image_list.h"

#include "platform/draw/dc.h"

// The system's image list.
struct CImageList::Images {
    HIMAGELIST list = nullptr;
};

CImageList::CImageList() = default;

CImageList::~CImageList() {
    DeleteImageList();
}

bool CImageList::Create(int cx, int cy, uint32_t flags, int initial, int grow) {
    if (created_ || cx <= 0 || cy <= 0) {
        return false;
    }
    HIMAGELIST list = ::ImageList_Create(cx, cy, flags, initial, grow);
    if (list == nullptr) {
        return false;
    }
    images_ = std::make_unique<Images>();
    images_->list = list;
    created_ = true;
    masked_ = (flags & ILC_MASK) != 0;
    cx_ = cx;
    cy_ = cy;
    return true;
}

bool CImageList::DeleteImageList() {
    if (!created_) {
        return false;
    }
    ::ImageList_Destroy(images_->list);
    images_.reset();
    created_ = false;
    return true;
}

int CImageList::Add(CBitmap* bitmap, COLORREF maskColour) {
    if (!created_ || bitmap == nullptr || !*bitmap) {
        return -1;
    }
    return ::ImageList_AddMasked(images_->list, bitmap->GetSafeHandle(), maskColour);
}

int CImageList::GetImageCount() const {
    return created_ ? ::ImageList_GetImageCount(images_->list) : 0;
}

bool CImageList::Draw(CDC* dc, int index, CPoint point, uint32_t style) const {
    if (!created_ || dc == nullptr || dc->GetSafeHdc() == nullptr || index < 0 ||
        index >= GetImageCount()) {
        return false;
    }
    return ::ImageList_Draw(images_->list, index, dc->GetSafeHdc(), point.x, point.y, style) !=
           FALSE;
}
