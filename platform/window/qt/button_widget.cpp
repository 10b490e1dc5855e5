#include "platform/window/qt/button_widget.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "platform/draw/dc.h"
#include "platform/draw/qt/paint_target.h"
#include "platform/draw/sys_colors.h"
#include "platform/window/draw_item_struct.h"
#include "platform/window/qt/static_widget.h"
#include "platform/window/window_messages.h"
#include "platform/window/window_styles.h"
#include "platform/window/wnd.h"

namespace platform::window {

ButtonWidget::ButtonWidget(const CreateParams& params, QWidget* parentWidget)
    : NativeWidget<QAbstractButton>(params, parentWidget) {
    QAbstractButton::setText(QString::fromUtf8(text_));
    ApplyKind();
    QObject::connect(this, &QAbstractButton::clicked, static_cast<QObject*>(this), [this] {
        if (NativeWindow* parent = Parent()) {
            parent->Dispatch(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id_), BN_CLICKED),
                             reinterpret_cast<LPARAM>(static_cast<NativeWindow*>(this)));
        }
    });
}

bool ButtonWidget::IsPushButton() const {
    return Kind() == BS_PUSHBUTTON || Kind() == BS_DEFPUSHBUTTON;
}

void ButtonWidget::SetText(const std::string& text) {
    text_ = text;
    QAbstractButton::setText(QString::fromUtf8(text));
    Invalidate(true);
}

void ButtonWidget::ApplyKind() {
    DWORD kind = Kind();
    setCheckable(kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX);
    bool group = kind == BS_GROUPBOX;
    setAttribute(Qt::WA_TransparentForMouseEvents, group);
    setFocusPolicy(group ? Qt::NoFocus : accessible.tabSkipped ? Qt::ClickFocus : Qt::StrongFocus);
}

void ButtonWidget::StyleChanged(DWORD oldStyle, DWORD oldExStyle) {
    NativeWindow::StyleChanged(oldStyle, oldExStyle);
    if ((oldStyle ^ style_) & 0xF) {
        ApplyKind();
        Invalidate(true);
    }
}

void ButtonWidget::nextCheckState() {
    if (Kind() == BS_AUTOCHECKBOX) {
        QAbstractButton::nextCheckState();
    }
}

void ButtonWidget::ClassPaint(QPaintEvent*) {
    DWORD kind = Kind();
    if (kind == BS_OWNERDRAW) {
        PaintOwnerDrawn();
        return;
    }
    if (kind == BS_GROUPBOX) {
        PaintGroupBox();
        return;
    }
    QPaintDevice* device = ClientPaintDevice();
    if (device == nullptr) {
        return;
    }
    CRect client = ClientRect();
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = QRect(0, 0, client.Width(), client.Height());
    option.text = text();
    if (isDown()) {
        option.state |= QStyle::State_Sunken;
    }
    QPainter painter(device);
    painter.setFont(font());  // a client picture does not carry the widget's font
    if (IsPushButton()) {
        if (kind == BS_DEFPUSHBUTTON) {
            option.features |= QStyleOptionButton::DefaultButton;
        }
        if (!isDown()) {
            option.state |= QStyle::State_Raised;
        }
        // The bevel from the style, the caption centred on the whole client area as the
        // system draws it (the style's label margins would cut short captions).
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
        QRect label = option.rect;
        if (isDown()) {
            label.translate(1, 1);
        }
        style()->drawItemText(&painter, label, Qt::AlignCenter | Qt::TextShowMnemonic,
                              option.palette, isEnabled(), text(), QPalette::ButtonText);
    } else {
        option.text = StripMnemonic(text());
        option.state |= isChecked() ? QStyle::State_On : QStyle::State_Off;
        style()->drawControl(QStyle::CE_CheckBox, &option, &painter, this);
    }
}

void ButtonWidget::PaintGroupBox() {
    QPaintDevice* device = ClientPaintDevice();
    if (device == nullptr) {
        return;
    }
    CRect client = ClientRect();
    QPainter p(device);
    p.setFont(font());
    QFontMetrics fm(font());
    QString caption = text().remove(QLatin1Char('&'));
    int top = fm.height() / 2;
    QRect frame(0, top, client.Width() - 1, client.Height() - top - 1);
    auto colour = [](int index) {
        COLORREF c = GetSysColor(index);
        return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
    };
    // An etched frame: a shadow line with a highlight line inside and below it.
    p.setPen(colour(COLOR_BTNSHADOW));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(colour(COLOR_BTNHIGHLIGHT));
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    if (!caption.isEmpty()) {
        int textWidth = fm.horizontalAdvance(caption);
        QRect textRect(8, 0, textWidth + 4, fm.height());
        p.fillRect(textRect, palette().color(QPalette::Window));
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::WindowText));
        p.drawText(textRect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, caption);
    }
}

void ButtonWidget::PaintOwnerDrawn() {
    NativeWindow* parent = Parent();
    if (parent == nullptr) {
        return;
    }
    CDC dc;
    platform::draw::SetDevice(dc, ClientPaintDevice());
    CWnd* self = Owner();
    if (self != nullptr) {
        dc.SelectObject(self->GetFont());
    }
    DRAWITEMSTRUCT item;
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(id_);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = (isDown() ? ODS_SELECTED : 0) | (hasFocus() ? ODS_FOCUS : 0) |
                     (isEnabled() ? 0 : ODS_DISABLED);
    item.hwndItem = this;
    item.hDC = dc.GetSafeHdc();
    item.rcItem = ClientRect();
    parent->Dispatch(WM_DRAWITEM, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&item));
}

}  // namespace platform::window
