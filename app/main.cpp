// The shipped program: real block devices behind the main window.
#include "app/main_app.h"
#include "platform/storage/linux/linux_storage.h"

namespace {
platform::storage::LinuxStorage linuxStorage;
MainApp theApp(linuxStorage);
}  // namespace

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
