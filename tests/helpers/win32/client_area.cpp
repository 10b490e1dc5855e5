// The client area of a window on Windows, read back from the screen once its paints are done.
#include "tests/helpers/picture.h"
#include "tests/helpers/win32/thread_windows.h"

namespace test_helpers {

Picture GrabClientArea(CWnd* wnd) {
    ::UpdateWindow(wnd->m_hWnd);
    ProcessMessages();
    RECT client{};
    ::GetClientRect(wnd->m_hWnd, &client);
    Picture picture;
    picture.width = client.right;
    picture.height = client.bottom;
    HDC dc = ::GetDC(wnd->m_hWnd);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            picture.pixels.push_back(::GetPixel(dc, x, y));
        }
    }
    ::ReleaseDC(wnd->m_hWnd, dc);
    return picture;
}

}  // namespace test_helpers
