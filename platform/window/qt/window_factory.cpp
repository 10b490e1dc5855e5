#include "platform/window/qt/window_factory.h"

#include <QWidget>
#include <algorithm>
#include <cctype>

#include "platform/window/qt/accessible_factory.h"
#include "platform/window/qt/button_widget.h"
#include "platform/window/qt/combo_box_widget.h"
#include "platform/window/qt/dialog_widget.h"
#include "platform/window/qt/edit_widget.h"
#include "platform/window/qt/generic_widget.h"
#include "platform/window/qt/list_view_widget.h"
#include "platform/window/qt/progress_widget.h"
#include "platform/window/qt/static_widget.h"
#include "platform/window/window_styles.h"

namespace platform::window {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

NativeWindow* MakeWindow(const std::string& className, const CreateParams& params,
                         QWidget* parentWidget) {
    std::string name = Lower(className);
    if (name == "button") {
        return new ButtonWidget(params, parentWidget);
    }
    if (name == "static") {
        return new StaticWidget(params, parentWidget);
    }
    if (name == "edit") {
        return new EditWidget(params, parentWidget);
    }
    if (name == "combobox") {
        return new ComboBoxWidget(params, parentWidget);
    }
    if (name == "syslistview32") {
        return new ListViewWidget(params, parentWidget);
    }
    if (name == "msctls_progress32") {
        return new ProgressWidget(params, parentWidget);
    }
    if (name == "#32770") {
        return new DialogWidget(params, parentWidget);
    }
    if (const WndClassInfo* info = FindWndClass(className)) {
        return new GenericWidget(params, *info, parentWidget);
    }
    return nullptr;
}

}  // namespace

bool IsControlClass(const std::string& className) {
    static const char* const kClasses[] = {"button",   "static",        "edit",
                                           "combobox", "syslistview32", "msctls_progress32"};
    std::string name = Lower(className);
    return std::any_of(std::begin(kClasses), std::end(kClasses),
                       [&](const char* c) { return name == c; });
}

NativeWindow* CreateNativeWindow(const std::string& className, const CreateParams& params,
                                 QWidget* parentWidget) {
    bool child = (params.style & WS_CHILD) != 0;
    if (child && parentWidget == nullptr) {
        return nullptr;
    }
    InstallAccessibleFactory();  // before any window, so that none gets another interface first
    CreateParams named = params;
    named.className = className;
    NativeWindow* window = MakeWindow(className, named, parentWidget);
    if (window == nullptr) {
        return nullptr;
    }
    QWidget* widget = window->Widget();
    const CRect& r = named.rect;
    if (child) {
        QMargins origin;
        if (NativeWindow* parent = WindowOf(parentWidget)) {
            origin = parent->NonClientInsets();
        }
        const QSize size = window->CreationSize(QSize(r.Width(), r.Height()));
        widget->setGeometry(r.left + origin.left(), r.top + origin.top(), size.width(),
                            size.height());
    } else {
        if (dynamic_cast<DialogWidget*>(window) == nullptr) {
            widget->setWindowFlags(Qt::Window);
        }
        widget->move(r.left, r.top);
        widget->resize(std::max(1, r.Width()), std::max(1, r.Height()));
    }
    return window;
}

void ApplyInitialState(NativeWindow* window) {
    QWidget* widget = window->Widget();
    widget->setEnabled((window->Style() & WS_DISABLED) == 0);
    widget->setVisible((window->Style() & WS_VISIBLE) != 0);
}

}  // namespace platform::window
