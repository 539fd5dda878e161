// The benchmarks' entry point: SDL's headless drivers and the source tree's data,
// chosen here because the game itself reads no environment variable.
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "bench_support.h"

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir(STELLAROX_SOURCE_DIR) != 0) {
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printFigures();
    std::fflush(nullptr);
    // The mixer's thread stops before the process unwinds its statics.
    Mix_HaltMusic();
    Mix_CloseAudio();
    SDL_Quit();
    _exit(0);
}
