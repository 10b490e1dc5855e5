#include "platform/window/progress_ctrl.h"

#include <algorithm>

#include "platform/window/progress_window.h"

using platform::window::ProgressWindow;

void CProgressCtrl::SetRange32(int lower, int upper) {
    if (auto* bar = dynamic_cast<ProgressWindow*>(m_hWnd)) {
        bar->setRange(lower, upper);
    }
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
    auto* bar = dynamic_cast<ProgressWindow*>(m_hWnd);
    lower = bar != nullptr ? bar->minimum() : 0;
    upper = bar != nullptr ? bar->maximum() : 0;
}

int CProgressCtrl::SetPos(int pos) {
    auto* bar = dynamic_cast<ProgressWindow*>(m_hWnd);
    if (bar == nullptr) {
        return 0;
    }
    int old = bar->value();
    bar->setValue(std::clamp(pos, bar->minimum(), bar->maximum()));
    return old;
}

int CProgressCtrl::GetPos() const {
    auto* bar = dynamic_cast<ProgressWindow*>(m_hWnd);
    return bar != nullptr ? bar->value() : 0;
}
