#pragma once

#include "platform/window/dialog.h"

// The About box on template 100; its OK button closes it.
class AboutDialog : public CDialog {
  public:
    AboutDialog();

  protected:
    void DoDataExchange(CDataExchange* dx) override;

    DECLARE_MESSAGE_MAP()
};
