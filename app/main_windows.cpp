// The shipped Windows program: the main window over storage that reaches no drive yet.
#include "app/main_app.h"
#include "platform/storage/unavailable/unavailable_storage.h"

namespace {
platform::storage::UnavailableStorage unavailableStorage;
MainApp theApp(unavailableStorage);
}  // namespace

int main(int argc, char** argv) {
    return AfxWinMain(argc, argv);
}
