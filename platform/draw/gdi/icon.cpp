#include "platform/draw/icon.h"

HICON LoadIconResource(unsigned resourceId) {
    // Shared: the system keeps the icon for the program's life, as LoadIcon does.
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                           MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 0, 0,
                                           LR_DEFAULTSIZE | LR_SHARED));
}
