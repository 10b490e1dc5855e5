#pragma once

#include <string>

#include "platform/window/dialog.h"
#include "platform/window/dialog_template.h"

namespace platform::window {

// The application's message box: a dialog of the program's own, laid out for its text, so that
// it takes the application's dialog colours as the program's other dialogs do. Enter answers
// with the default button; Escape and the close box answer Cancel where there is a Cancel
// button, OK in a box with OK alone, and nothing in a Yes/No box, which only its buttons answer.
// The details section folds and opens with the button beside the answer buttons.
class MessageBoxDialog : public CDialog {
  public:
    MessageBoxDialog(const std::string& text, UINT type, const std::string& details);

    intptr_t DoModal() override;

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

  private:
    void OnYes() { EndDialog(IDYES); }
    void OnNo() { EndDialog(IDNO); }
    void OnToggleDetails();

    UINT type_;
    DialogTemplate template_;
    bool detailsShown_ = true;
};

}  // namespace platform::window
