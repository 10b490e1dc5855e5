#include "platform/window/cmd_target.h"

#include "platform/window/window_messages.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

bool CCmdTarget::DispatchThroughMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    UINT code = message == WM_COMMAND ? HIWORD(wParam) : 0;
    UINT id = message == WM_COMMAND ? LOWORD(wParam) : 0;
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->baseMap != nullptr ? map->baseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->thunk != nullptr; ++e) {
            if (e->message != message) {
                continue;
            }
            if (message == WM_COMMAND && (e->code != code || id < e->id || id > e->lastId)) {
                continue;
            }
            LRESULT r = e->thunk(this, wParam, lParam);
            if (result != nullptr) {
                *result = r;
            }
            return true;
        }
    }
    return false;
}
