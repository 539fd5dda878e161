// Image loading at two screen sizes. Start-up and the cost of running at the frame cap
// are measured on the real binary in a real window (bench/window.sh): under
// the dummy driver, in a warm process, they would hide the cost of presenting frames.
#include <benchmark/benchmark.h>

#include "app/assets.h"
#include "app/drawing.h"
#include "bench_support.h"
#include "play/music.h"

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

namespace {

// The checks every data file passes before a library sees it, on the largest track and
// the largest picture, beside what the loader does anyway: read the track, and read
// and decode the picture.
void BM_CheckFiles(benchmark::State& state) {
    const bool music = state.range(0) == 0;
    const char* path = music ? "data/music/title.ogg" : "data/images/objects/planet.png";
    useScreen(640, 480);
    std::vector<Uint8> bytes;
    for (auto _ : state) {
        auto start = BenchClock::now();
        readWholeFile(path, 64u << 20, bytes);
        SDL_FreeSurface(music ? nullptr : decodePicture(path));
        const double reference = secondsSince(start);
        start = BenchClock::now();
        benchmark::DoNotOptimize(music ? musicFileIsPlayable(bytes) : pictureFileIsDrawable(bytes));
        const double check = secondsSince(start);
        state.SetIterationTime(check);
        addSample(std::string("check ") + path + (music ? " / read" : " / read and decode"), "ms",
                  music ? "< 5 x" : "< 0.01 x", music ? 5 : 0.01, true, check, reference);
    }
}
BENCHMARK(BM_CheckFiles)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(5);

} // namespace
