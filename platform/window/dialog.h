#pragma once

#include <memory>
#include <vector>

#include "platform/window/dialog_template.h"
#include "platform/window/wnd.h"

namespace platform::window {
class ModalLoop;
struct DialogAccess;  // the backend's hand-over of a new dialog window
}  // namespace platform::window

// A dialog built from a registered template. DoModal creates the window and its controls
// (sizes from dialog units of the template's font), sends OnInitDialog, and runs a modal loop
// until EndDialog. Enter sends the default push button's command (IDOK when there is none),
// Escape and the close box send IDCANCEL; OnOK and OnCancel end the dialog.
class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally: the EndDialog result, or -1 when the template is missing or
    // unsound (the reason goes to the Qt warning channel) or the dialog runs already.
    virtual intptr_t DoModal();
    // Ends the modal loop with result; the window is destroyed when DoModal returns.
    void EndDialog(int result);

    // Runs the first data exchange (members to controls); when it fails (a control missing or of
    // the wrong class) the dialog ends with -1. True lets the focus go to the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    UINT TemplateId() const { return templateId_; }

  protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

  private:
    friend struct platform::window::DialogAccess;
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }
    LRESULT HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }
    void FocusFirstTabStop();

    UINT templateId_;
    CWnd* parent_;
    std::unique_ptr<platform::window::ModalLoop> loop_;
    int result_ = 0;
    bool ended_ = false;
    // The objects of the controls nobody subclassed; they outlive the window, detached.
    std::vector<std::unique_ptr<CWnd>> controlObjects_;
};
