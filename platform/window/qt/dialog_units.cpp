#include "platform/window/qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdlib>

namespace platform::window {

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    long long product = static_cast<long long>(a) * b;
    long long half = std::llabs(static_cast<long long>(c)) / 2;
    long long q = (product >= 0) == (c > 0) ? (std::llabs(product) + half) / std::llabs(c)
                                            : -((std::llabs(product) + half) / std::llabs(c));
    return static_cast<int>(q);
}

namespace {

bool Installed(const QString& family) {
    QFont probe(family);
    probe.setStyleStrategy(QFont::NoFontMerging);
    return QFontInfo(probe).family().compare(family, Qt::CaseInsensitive) == 0;
}

QString SansFamily(const QString& requested) {
    if (Installed(requested)) {
        return requested;
    }
    // Faces with the metrics of the classic dialog fonts first.
    for (const char* candidate : {"Liberation Sans", "Arimo", "DejaVu Sans", "Noto Sans"}) {
        if (Installed(QLatin1String(candidate))) {
            return QLatin1String(candidate);
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

}  // namespace

QFont DialogFont(const DialogFontTemplate& font) {
    QString requested = QString::fromUtf8(font.typeface);
    QString family = SansFamily(requested);
    QFont f(family);
    // Point size to pixels at the screen's logical resolution, as the system's font mapper.
    int dpi = 96;
    if (QGuiApplication::primaryScreen() != nullptr) {
        dpi = static_cast<int>(QGuiApplication::primaryScreen()->logicalDotsPerInchY() + 0.5);
    }
    int pixels = MulDiv(font.pointSize, dpi, 72);
    if (family.compare(requested, Qt::CaseInsensitive) != 0) {
        // The substitute outline faces set text about a tenth wider than the classic bitmap
        // face of the same size; one size smaller keeps captions inside the controls the
        // templates were laid out for, with the same horizontal base unit.
        pixels = MulDiv(pixels, 10, 11);
    }
    f.setPixelSize(std::max(1, pixels));
    f.setWeight(font.weight >= 600 ? QFont::Bold : QFont::Normal);
    f.setItalic(font.italic);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    QFontMetrics fm(font);
    int width = fm.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, fm.height()};
}

CRect DialogUnitsToPixels(const DialogUnitRect& rect, DialogBaseUnits units) {
    int x = MulDiv(rect.x, units.x, 4);
    int y = MulDiv(rect.y, units.y, 8);
    int cx = MulDiv(rect.cx, units.x, 4);
    int cy = MulDiv(rect.cy, units.y, 8);
    return {x, y, x + cx, y + cy};
}

}  // namespace platform::window
