// Time of one receiver display frame: begin the frame, ten labelled bars, end it (the overlay
// copied onto the plot), on the receiver panels of the main window at its fixed size: one
// receiver alone (534 x 475) and both side by side (268 x 475). Also the whole list-mode update
// as the receiver router runs it: the copy of the receiver state, range, caption and frame.
// Time is per frame, in microseconds.
#include "display/ReceiverDisplay.h"
#include "link/TReceiverLink.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace zentor;

const std::vector<std::string> kLabels = {"937.4000", "944.0000", "939.6000", "948.4000",
                                          "936.0000", "952.6000", "941.8000", "955.2000",
                                          "929.4000", "957.0000"};
const double kLevels[10] = {-52, -71, -95, -119, -64, -63, -84, -101, -77, -110};

void BM_Frame(benchmark::State& state)
{
    DBar display;
    display.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    setUpReceiverDisplay(display);
    display.SetXMax(11.0);
    display.SetVerticalBarLabels(true);
    for (auto _ : state) {
        display.BeginFrame();
        for (int k = 0; k < 10; ++k)
            display.DrawBar(k + 1.0, kLabels[static_cast<std::size_t>(k)], kLevels[k]);
        display.EndFrame(std::string());
        benchmark::DoNotOptimize(display.canvas().constBits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Frame)->Args({534, 475})->Args({268, 475})->Unit(benchmark::kMicrosecond);

void BM_ListModeUpdate(benchmark::State& state)
{
    TReceiverLink link;
    DBar display;
    display.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    setUpReceiverDisplay(display);
    const DisplayChoices list{false, false, true};
    for (auto _ : state)
        updateReceiverDisplay(display, link.state(), 0, list);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ListModeUpdate)->Args({534, 475})->Args({268, 475})->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // Widgets need an application; no screen is needed to paint into images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
