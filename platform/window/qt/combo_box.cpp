#include "platform/window/combo_box.h"

#include "platform/window/qt/combo_box_widget.h"
#include "platform/window/window_styles.h"

using platform::window::ComboBoxWidget;

namespace {
ComboBoxWidget* Box(HWND h) {
    return dynamic_cast<ComboBoxWidget*>(h);
}
constexpr int kDataRole = Qt::UserRole;
constexpr char kTipFollowsSelection[] = "tipFollowsSelection";
constexpr char kListTip[] = "listTip";

// The closed box's tooltip: the selected item's, then a blank line and the box's own text.
void ShowClosedTip(ComboBoxWidget* box) {
    const int index = box->currentIndex();
    QString tip = index < 0 ? QString() : box->itemData(index, Qt::ToolTipRole).toString();
    const QString listTip = box->property(kListTip).toString();
    if (!listTip.isEmpty()) {
        tip = tip.isEmpty() ? listTip : tip + QStringLiteral("\n\n") + listTip;
    }
    box->setToolTip(tip);
}

// Has the closed box show the tooltip of its selected item from now on.
void ShowSelectedItemsTip(ComboBoxWidget* box) {
    if (box->property(kTipFollowsSelection).toBool()) {
        return;
    }
    box->setProperty(kTipFollowsSelection, true);
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [box](int) { ShowClosedTip(box); });
}
}  // namespace

void CComboBox::ResetContent() {
    if (ComboBoxWidget* box = Box(m_hWnd)) {
        box->clear();
        box->setCurrentIndex(-1);
    }
}

int CComboBox::InsertString(int index, const char* text) {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr || index > box->count()) {
        return CB_ERR;
    }
    if (index < 0) {
        index = box->count();
    }
    int selected = box->currentIndex();
    box->insertItem(index, QString::fromUtf8(text != nullptr ? text : ""),
                    QVariant::fromValue<qulonglong>(0));
    // Inserting never changes which item is selected, nor selects one.
    box->setCurrentIndex(selected >= index && selected >= 0 ? selected + 1 : selected);
    return index;
}

int CComboBox::AddString(const char* text) {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr) {
        return CB_ERR;
    }
    int index = box->count();
    if (GetStyle() & CBS_SORT) {
        QString t = QString::fromUtf8(text != nullptr ? text : "");
        index = 0;
        while (index < box->count() &&
               QString::compare(box->itemText(index), t, Qt::CaseInsensitive) <= 0) {
            ++index;
        }
    }
    return InsertString(index, text);
}

int CComboBox::GetCount() const {
    ComboBoxWidget* box = Box(m_hWnd);
    return box != nullptr ? box->count() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr) {
        return CB_ERR;
    }
    if (index < 0 || index >= box->count()) {
        box->setCurrentIndex(-1);
        if (box->isEditable()) {
            box->setEditText(QString());
        }
        return CB_ERR;
    }
    box->setCurrentIndex(index);
    return index;
}

int CComboBox::GetCurSel() const {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr || box->currentIndex() < 0) {
        return CB_ERR;
    }
    // An editable box whose text no longer is its item's has no selection.
    int index = box->currentIndex();
    if (box->isEditable() && box->currentText() != box->itemText(index)) {
        return CB_ERR;
    }
    return index;
}

int CComboBox::GetLBText(int index, std::string& text) const {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr || index < 0 || index >= box->count()) {
        text.clear();
        return CB_ERR;
    }
    text = box->itemText(index).toStdString();
    return static_cast<int>(text.size());
}

int CComboBox::SetItemData(int index, UINT_PTR data) {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr || index < 0 || index >= box->count()) {
        return CB_ERR;
    }
    box->setItemData(index, QVariant::fromValue<qulonglong>(data), kDataRole);
    return 0;
}

UINT_PTR CComboBox::GetItemData(int index) const {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr || index < 0 || index >= box->count()) {
        return 0;
    }
    return static_cast<UINT_PTR>(box->itemData(index, kDataRole).toULongLong());
}

int CComboBox::SetItemTip(int index, const char* text) {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr || index < 0 || index >= box->count()) {
        return CB_ERR;
    }
    ShowSelectedItemsTip(box);
    box->setItemData(index, QString::fromUtf8(text != nullptr ? text : ""), Qt::ToolTipRole);
    if (box->currentIndex() == index) {
        ShowClosedTip(box);
    }
    return 0;
}

std::string CComboBox::GetItemTip(int index) const {
    ComboBoxWidget* box = Box(m_hWnd);
    if (box == nullptr || index < 0 || index >= box->count()) {
        return "";
    }
    return box->itemData(index, Qt::ToolTipRole).toString().toStdString();
}

void CComboBox::SetListTip(const char* text) {
    if (ComboBoxWidget* box = Box(m_hWnd)) {
        ShowSelectedItemsTip(box);
        box->setProperty(kListTip, QString::fromUtf8(text != nullptr ? text : ""));
        ShowClosedTip(box);
    }
}
