#pragma once

#include "platform/storage/storage_services.h"
#include "platform/window/win_app.h"

// The application: sets the dialog colours and runs the main window modally; when the window
// ends, the program ends.
class MainApp : public CWinApp {
  public:
    explicit MainApp(platform::storage::StorageServices& storage) : storage(storage) {}

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()

  private:
    platform::storage::StorageServices& storage;
};
