#pragma once

#include <QWidget>

#include "platform/window/menu.h"
#include "platform/window/qt/native_widget.h"

class QMenu;

namespace platform::window {

// The dialog class: a top-level window in the application's dialog colours. Enter sends the
// focused push button's or the default button's command (IDOK when there is none), Escape
// sends IDCANCEL, the close box SC_CLOSE (whose default processing closes, and a dialog turns
// WM_CLOSE into IDCANCEL). It carries its own system menu, opened with Alt+Space or a right
// click on its background.
class DialogWidget : public NativeWidget<QWidget> {
  public:
    DialogWidget(const CreateParams& params, QWidget* ownerWidget);

    void SetText(const std::string& text) override;
    LRESULT ClassProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CMenu& SystemMenu() { return systemMenu_; }
    void ResetSystemMenu();
    // Opens the system menu at globalPos (screen coordinates); it closes itself.
    void OpenSystemMenu(const QPoint& globalPos);
    // The identifier Enter sends: the default push button's, else IDOK.
    int DefaultCommandId() const;

  protected:
    void ClassPaint(QPaintEvent*) override {}
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void SendCommand(int id, NativeWindow* from);

    CMenu systemMenu_;
};

}  // namespace platform::window
