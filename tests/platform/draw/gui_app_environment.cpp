#include <QGuiApplication>

#include "tests/platform/draw/gui_app.h"

namespace {

const bool kApp = RegisterQtApp<QGuiApplication>();

}  // namespace
