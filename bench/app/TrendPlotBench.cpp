// A point's trend drawn as the Measurements window draws it, into an
// offscreen image the size the window gives the plot: 1,000 readings (years
// of weekly readings), beside 100 readings in the same run. Their ratio
// tells whether drawing grows with the readings faster than it should.
#include "app/TrendPlot.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

namespace {

// One application for the whole run, on the offscreen platform.
void EnsureApplication() {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "orx700-bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

// Levels rising through the alert and danger limits, so that all three
// zone colours are drawn.
std::vector<TTrendPlot::TPoint> Trend(int count) {
    std::vector<TTrendPlot::TPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({46023.0 + i * 7.0, 1.0 + 5.0 * i / count + (i % 5) * 0.1});
    return points;
}

void BM_DrawTrend(benchmark::State& state) {
    EnsureApplication();
    TTrendPlot plot(nullptr);
    plot.resize(850, 200);
    plot.SetTrend(Trend(static_cast<int>(state.range(0))), TPointLimits{0, 2.8, 4.5, true},
                  QStringLiteral("Velocity RMS, mm/s"));
    plot.SetSelected(static_cast<int>(state.range(0)) - 1);
    QImage image(plot.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        plot.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["readings"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_DrawTrend)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
