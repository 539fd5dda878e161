// Image loading at two screen sizes. Start-up and the cost of running at the frame cap
// are measured on the real binary in a real window (bench/window.sh): under
// the dummy driver, in a warm process, they would hide the cost of presenting frames.
#include <benchmark/benchmark.h>

#include "app/assets.h"
#include "app/drawing.h"
#include "bench_support.h"

namespace {

void BM_LoadImages(benchmark::State& state) {
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    useScreen(w, h);
    for (auto _ : state) {
        freeImages();
        const auto start = BenchClock::now();
        loadImages();
        const double s = secondsSince(start);
        state.SetIterationTime(s);
        const std::string name = "loadImages " + std::to_string(game.screenWidth) + "x" +
                                 std::to_string(game.screenHeight);
        if (w == 1920) {
            addSample(name, "s", "< 0.3 s", 0.3, false, s);
        } else {
            addSample(name, "s", "-", 0, false, s);
        }
    }
}
BENCHMARK(BM_LoadImages)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

} // namespace
