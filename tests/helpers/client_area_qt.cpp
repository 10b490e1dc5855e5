// The client area of a window on Qt: the widget's own picture, less its frame.
#include <QImage>

#include "tests/helpers/picture.h"
#include "tests/helpers/window_probe.h"

namespace test_helpers {

Picture GrabClientArea(CWnd* wnd) {
    const QImage whole = GrabWindow(wnd);
    CRect window;
    wnd->GetWindowRect(&window);
    CPoint origin(window.left, window.top);
    wnd->ScreenToClient(&origin);  // the window's corner, left of and above the client area
    CRect client;
    wnd->GetClientRect(&client);
    Picture picture;
    picture.width = client.Width();
    picture.height = client.Height();
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const QRgb c = whole.pixel(x - origin.x, y - origin.y);
            picture.pixels.push_back(RGB(qRed(c), qGreen(c), qBlue(c)));
        }
    }
    return picture;
}

}  // namespace test_helpers
