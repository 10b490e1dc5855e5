#include "ui/about_dialog.h"

#include "resources/resource_ids.h"

BEGIN_MESSAGE_MAP(AboutDialog, CDialog)
END_MESSAGE_MAP()

AboutDialog::AboutDialog() : CDialog(IDD_ABOUTBOX) {}

void AboutDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
}
