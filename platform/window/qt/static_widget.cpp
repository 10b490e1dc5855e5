#include "platform/window/qt/static_widget.h"

#include <QPainter>
#include <cstdlib>

#include "platform/draw/qt/icon_data.h"
#include "platform/window/system_metrics.h"
#include "platform/window/window_styles.h"

namespace platform::window {

QString StripMnemonic(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

StaticWidget::StaticWidget(const CreateParams& params, QWidget* parentWidget)
    : NativeWidget<QLabel>(params, parentWidget) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Rectangles and frames only decorate: a screen reader is not offered them.
    accessible.hidden = Kind() >= SS_BLACKRECT && Kind() <= SS_WHITEFRAME;
    if (style_ & SS_SUNKEN) {
        exStyle_ |= WS_EX_STATICEDGE;  // as the system does: the sunken look is a static edge
    }
    if (Kind() == SS_ICON) {
        // The icon is named by the template's ordinal or by a caption "#<id>".
        unsigned id = params.resourceId;
        if (id == 0 && params.text.size() > 1 && params.text[0] == '#') {
            id = static_cast<unsigned>(std::strtoul(params.text.c_str() + 1, nullptr, 10));
        }
        if (id != 0) {
            icon_ = LoadIconResource(id);
        }
    }
}

QSize StaticWidget::CreationSize(QSize requested) const {
    if (Kind() != SS_ICON || !icon_ || (style_ & SS_CENTERIMAGE)) {
        return requested;
    }
    const QMargins edges = NonClientInsets();
    return {GetSystemMetrics(SM_CXICON) + edges.left() + edges.right(),
            GetSystemMetrics(SM_CYICON) + edges.top() + edges.bottom()};
}

void StaticWidget::ClassPaint(QPaintEvent*) {
    QPaintDevice* device = ClientPaintDevice();
    if (device == nullptr) {
        return;
    }
    CRect client = ClientRect();
    QRect r(0, 0, client.Width(), client.Height());
    QPainter p(device);
    switch (Kind()) {
        case SS_BLACKFRAME:
            p.setPen(Qt::black);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            break;
        case SS_BLACKRECT:
            p.fillRect(r, Qt::black);
            break;
        case SS_ICON:
            if (icon_) {
                const QImage image = IconImage(icon_, GetSystemMetrics(SM_CXICON));
                const bool centred = (style_ & SS_CENTERIMAGE) != 0;
                p.drawImage(centred ? (r.width() - image.width()) / 2 : 0,
                            centred ? (r.height() - image.height()) / 2 : 0, image);
            }
            break;
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT: {
            QString text = QString::fromUtf8(text_);
            if (!(style_ & SS_NOPREFIX)) {
                text = StripMnemonic(text);
            }
            int align = Kind() == SS_CENTER  ? Qt::AlignHCenter
                        : Kind() == SS_RIGHT ? Qt::AlignRight
                                             : Qt::AlignLeft;
            p.setFont(font());
            p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                     QPalette::WindowText));
            p.drawText(r, align | Qt::AlignTop | Qt::TextWordWrap, text);
            break;
        }
        default:
            break;
    }
}

}  // namespace platform::window
