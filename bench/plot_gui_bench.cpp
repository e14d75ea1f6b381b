// The plot of a full job of 15999 points scattered over a site: its first layout
// (reading the table, names, fitting, the first paint) and a repaint after a pan or a
// zoom, at two window sizes.
#include "app/ui/PointPlot.h"
#include "bench/GuiBenchMain.h"
#include "job/RecordLine.h"
#include "job/RecordTable.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

const int kPoints = 15999;

// 15999 points scattered over 2 km by 1.5 km, with names, codes and heights.
std::vector<std::string> ScatteredJob() {
    std::vector<std::string> lines;
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24);
    };
    for (int i = 1; i <= kPoints; ++i) {
        const double east = 500000 + next() * 2000;
        const double north = 3000000 + next() * 1500;
        lines.push_back(stadix::MakeRecordLine("P" + std::to_string(i), "CODE",
                                               std::to_string(north), std::to_string(east),
                                               std::to_string(10 + next() * 50)));
    }
    return lines;
}

const stadix::RecordTable& FullTable() {
    static stadix::RecordTable table;
    static bool filled = false;
    if (!filled) {
        stadix::FillTable(table, ScatteredJob());
        filled = true;
    }
    return table;
}

void ShowPlot(PointPlot& plot, const benchmark::State& state) {
    plot.resize(int(state.range(0)), int(state.range(1)));
    plot.show();
    QCoreApplication::processEvents();
}

void Drag(PointPlot& plot, QPointF from, QPointF to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, plot.mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&plot, &press);
    QMouseEvent move(QEvent::MouseMove, to, plot.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&plot, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, plot.mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&plot, &release);
}

void Wheel(PointPlot& plot, QPointF at, int notches) {
    QWheelEvent wheel(at, plot.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&plot, &wheel);
}

// A new plot over the full table, up to its first frame on the screen.
void BM_PlotFirstLayout15999(benchmark::State& state) {
    const stadix::RecordTable& table = FullTable();
    for (auto _ : state) {
        PointPlot plot(table);
        ShowPlot(plot, state);
        plot.repaint();
        benchmark::DoNotOptimize(plot.Points().data());
    }
    state.counters["points"] = kPoints;
}
BENCHMARK(BM_PlotFirstLayout15999)
    ->Args({800, 600})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

// Every point in sight: a drag of a few pixels and the frame that follows.
void BM_PlotRepaintAfterPan15999(benchmark::State& state) {
    PointPlot plot(FullTable());
    ShowPlot(plot, state);
    double dx = 12;
    for (auto _ : state) {
        Drag(plot, QPointF(300, 300), QPointF(300 + dx, 300 + dx / 3));
        plot.repaint();
        dx = -dx;
    }
    state.counters["points"] = double(plot.Points().size());
}
BENCHMARK(BM_PlotRepaintAfterPan15999)
    ->Args({800, 600})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

// A notch of the wheel in and out about the middle, and the frame that follows.
void BM_PlotRepaintAfterZoom15999(benchmark::State& state) {
    PointPlot plot(FullTable());
    ShowPlot(plot, state);
    int notches = 1;
    for (auto _ : state) {
        Wheel(plot, QPointF(state.range(0) / 2.0, state.range(1) / 2.0), notches);
        plot.repaint();
        notches = -notches;
    }
    state.counters["points"] = double(plot.Points().size());
}
BENCHMARK(BM_PlotRepaintAfterZoom15999)
    ->Args({800, 600})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);

} // namespace
