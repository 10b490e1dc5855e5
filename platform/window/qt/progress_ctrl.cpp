#include "platform/window/progress_ctrl.h"

#include <algorithm>

#include "platform/window/qt/progress_widget.h"

using platform::window::ProgressWidget;

void CProgressCtrl::SetRange32(int lower, int upper) {
    if (auto* bar = dynamic_cast<ProgressWidget*>(m_hWnd)) {
        bar->setRange(lower, upper);
    }
}

int CProgressCtrl::SetPos(int pos) {
    auto* bar = dynamic_cast<ProgressWidget*>(m_hWnd);
    if (bar == nullptr) {
        return 0;
    }
    int old = bar->value();
    bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
    return old;
}

int CProgressCtrl::GetPos() const {
    auto* bar = dynamic_cast<ProgressWidget*>(m_hWnd);
    return bar != nullptr ? bar->value() : 0;
}
