// Cost of one incremental paint of the progress meter against one full paint, both through the
// window's real paint path (offscreen), with a paint that finds nothing changed as baseline.
// Batches of the three kinds alternate; the fastest batch of each kind counts.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/window/wnd.h"
#include "platform/window/wnd_class.h"
#include "tests/widgets/progress_meter_probe.h"
#include "widgets/progress_meter.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kUpper = 100000;
constexpr int kStep = 50;  // a few pixels on a 600-pixel bar, as during a copy
constexpr int kPaintsPerBatch = 300;
constexpr int kBatches = 9;

void Paint(CWnd& wnd) {
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

enum class Kind { kUnchanged, kIncremental, kFull };

struct Result {
    double microsPerPaint = 1e30;
    double tilesPerPaint = 0;
};

void RunBatch(Kind kind, ProgressMeter& meter, ProgressMeterProbe& probe, int& position,
              Result& result) {
    probe.drawn.clear();
    const auto start = Clock::now();
    for (int i = 0; i < kPaintsPerBatch; ++i) {
        if (kind != Kind::kUnchanged) {
            position = position + kStep > kUpper ? 0 : position + kStep;
            meter.SetPos(position, false);
        }
        if (kind == Kind::kFull) {
            probe.ForgetPicture();
        }
        Paint(meter);
    }
    const double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    result.microsPerPaint = std::min(result.microsPerPaint, micros / kPaintsPerBatch);
    result.tilesPerPaint = static_cast<double>(probe.drawn.size()) / kPaintsPerBatch;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CWnd parent;
    parent.CreateEx(0, AfxRegisterWndClass(0), "Meter", WS_POPUP | WS_VISIBLE, CRect(0, 0, 620, 80),
                    nullptr, 0);
    CWnd anchor;
    anchor.CreateEx(0, "msctls_progress32", "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 612, 30),
                    &parent, 1001);
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();  // the offscreen window gets exposed
    }
    ProgressMeter meter(&anchor, kUpper, nullptr, false, nullptr, nullptr, 2);
    ProgressMeterProbe probe(meter);
    Paint(meter);

    Result unchanged;
    Result incremental;
    Result full;
    int position = 0;
    for (int batch = 0; batch < kBatches; ++batch) {
        RunBatch(Kind::kUnchanged, meter, probe, position, unchanged);
        RunBatch(Kind::kIncremental, meter, probe, position, incremental);
        RunBatch(Kind::kFull, meter, probe, position, full);
    }

    std::printf("meter 600 x 18, %d batches of %d paints, fastest batch\n", kBatches,
                kPaintsPerBatch);
    std::printf("unchanged paint:   %8.2f us/paint, %5.1f tiles/paint (baseline)\n",
                unchanged.microsPerPaint, unchanged.tilesPerPaint);
    std::printf("incremental paint: %8.2f us/paint, %5.1f tiles/paint\n",
                incremental.microsPerPaint, incremental.tilesPerPaint);
    std::printf("full paint:        %8.2f us/paint, %5.1f tiles/paint\n", full.microsPerPaint,
                full.tilesPerPaint);
    std::printf("unchanged / full:   %.3f\n", unchanged.microsPerPaint / full.microsPerPaint);
    std::printf("incremental / full: %.3f\n", incremental.microsPerPaint / full.microsPerPaint);
    std::printf("above baseline, incremental / full: %.3f\n",
                (incremental.microsPerPaint - unchanged.microsPerPaint) /
                    (full.microsPerPaint - unchanged.microsPerPaint));
    return 0;
}
