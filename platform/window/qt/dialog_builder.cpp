#include "platform/window/qt/dialog_builder.h"

#include <QApplication>
#include <QComboBox>

#include "platform/window/qt/accessible_factory.h"
#include "platform/window/qt/dialog_units.h"
#include "platform/window/qt/window_factory.h"
#include "platform/window/window_styles.h"
#include "platform/window/wnd.h"

namespace platform::window {

DialogWidget* BuildDialog(const DialogTemplate& templ, QWidget* ownerWidget,
                          std::vector<std::unique_ptr<CWnd>>& controlObjects) {
    QFont font = (templ.style & DS_SETFONT) ? DialogFont(templ.font) : QApplication::font();
    DialogBaseUnits units = BaseUnitsOf(font);

    CreateParams params;
    params.exStyle = templ.exStyle;
    params.text = templ.caption;
    params.style = templ.style & ~(WS_CHILD | WS_VISIBLE);
    params.rect = DialogUnitsToPixels(templ.rect, units);
    if (ownerWidget != nullptr) {
        QPoint origin = ownerWidget->mapToGlobal(QPoint(0, 0));
        params.rect.OffsetRect(origin.x(), origin.y());
    }
    auto* dialog = static_cast<DialogWidget*>(CreateNativeWindow("#32770", params, ownerWidget));
    if (dialog == nullptr) {
        return nullptr;
    }
    dialog->setFont(font);
    dialog->setFixedSize(params.rect.Width(), params.rect.Height());

    for (const DialogItemTemplate& item : templ.items) {
        CreateParams p;
        p.exStyle = item.exStyle;
        p.text = item.text;
        p.style = item.style | WS_CHILD;
        p.rect = DialogUnitsToPixels(item.rect, units);
        p.id = item.id;
        p.resourceId = item.resourceId;
        NativeWindow* control = CreateNativeWindow(item.windowClass, p, dialog);
        if (control == nullptr) {
            delete dialog;
            return nullptr;
        }
        control->Widget()->setFont(font);
        if (auto* combo = dynamic_cast<QComboBox*>(control->Widget())) {
            // The template's height is the dropped list's; the box itself is one line high.
            combo->resize(combo->width(), combo->sizeHint().height());
        }
        ApplyInitialState(control);
        auto object = std::make_unique<CWnd>();
        object->Attach(control);
        controlObjects.push_back(std::move(object));
    }
    ApplyAccessibility(templ.accessibility, dialog);
    return dialog;
}

}  // namespace platform::window
