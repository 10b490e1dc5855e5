// The shipped Windows program: the main window over the drives as kernel32 shows them.
#include "app/main_app.h"
#include "platform/storage/windows/win32_calls.h"
#include "platform/storage/windows/windows_storage.h"

namespace {
platform::storage::Kernel32Calls kernel32;
platform::storage::WindowsStorage windowsStorage(kernel32);
MainApp theApp(windowsStorage);
}  // namespace

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
