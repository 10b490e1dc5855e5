// The application object the main window expects (its icon, its name as message-box title).
#include "platform/window/win_app.h"

namespace {
CWinApp testApp;
}
