// Start-up to the first title frame, image loading, the idle cost of play at the
// frame cap, and the asset generator.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "app/assets.h"
#include "app/drawing.h"
#include "app/startup.h"
#include "bench_support.h"
#include "menus/title_menu.h"
#include "play/game_loop.h"
#include "play/messages.h"
#include "play/music.h"
#include "world/asteroids.h"
#include "world/objects.h"
#include "world/players.h"

namespace {

BenchClock::time_point startupBegan;
double firstTitleFrame = 0;
int titleSleeps = 0;

// The first sleep of the title menu follows its first flip: the first frame is shown.
void titleSleep(Uint32 ms) {
    advanceClock(ms);
    if (++titleSleeps == 1) {
        firstTitleFrame = secondsSince(startupBegan);
        pushKeyDown(SDLK_ESCAPE);
    }
}

// runProgram's path up to the title menu, from a process with SDL shut down.
void BM_StartupToTitle(benchmark::State& state) {
    double sum = 0;
    long n = 0;
    for (auto _ : state) {
        shutDownSdl();
        game.screenWidth = 640;
        game.screenHeight = 480;
        useSteppedClock();
        clockSeam.sleepHook = titleSleep;
        titleSleeps = 0;
        startupBegan = BenchClock::now();
        if (!init()) {
            state.SkipWithError("init failed");
            break;
        }
        loadFiles();
        playMusicTrack(0, 7, 0);
        game.titleChoice = 0;
        game.level = 1;
        game.difficulty = 1;
        game.playerCount = 1;
        setLevelParameters(game.level, game.difficulty);
        setupLevel();
        titleMenu();
        state.SetIterationTime(firstTitleFrame);
        sum += firstTitleFrame;
        ++n;
    }
    // Leave SDL down: the next benchmark brings it up again at its own size.
    shutDownSdl();
    const double s = sum / double(n);
    recordFigure({"Start-up to first title frame", s, 0, "s", "< 0.5 s", s < 0.5});
}
BENCHMARK(BM_StartupToTitle)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadImages(benchmark::State& state) {
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    useScreen(w, h);
    double sum = 0;
    long n = 0;
    for (auto _ : state) {
        freeImages();
        const auto start = BenchClock::now();
        loadImages();
        const double s = secondsSince(start);
        state.SetIterationTime(s);
        sum += s;
        ++n;
    }
    const double s = sum / double(n);
    const std::string name =
        "loadImages " + std::to_string(game.screenWidth) + "x" + std::to_string(game.screenHeight);
    if (w == 1920) {
        recordFigure({name, s, 0, "s", "< 0.5 s", s < 0.5});
    } else {
        recordFigure({name, s, 0, "s", "-", true});
    }
}
BENCHMARK(BM_LoadImages)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

double processCpuSeconds() {
    rusage u = {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The real game loop, paced by SDL_Delay at the default cap: one player at level 1
// with no key held, left by an Escape that another thread pushes after the run.
void BM_IdleCost(benchmark::State& state) {
    const double seconds = double(state.range(0));
    useScreen(640, 480);
    double share = 0;
    for (auto _ : state) {
        releaseAllKeys();
        clearMessages();
        useRealClock();
        game.frameCap = 30;
        game.frameCapOn = 1;
        game.maxSpeedOn = 0;
        game.level = 1;
        game.difficulty = 1;
        game.playerCount = 1;
        createPlayers();
        for (Player& p : game.players) {
            p.lives = 6;
        }
        std::thread escape([seconds]() {
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
            pushKeyDown(SDLK_ESCAPE);
        });
        const double cpuBefore = processCpuSeconds();
        const auto start = BenchClock::now();
        runGame();
        const double wall = secondsSince(start);
        const double cpu = processCpuSeconds() - cpuBefore;
        escape.join();
        state.SetIterationTime(wall);
        share = cpu / wall;
        state.counters["cpu_s"] = cpu;
        state.counters["wall_s"] = wall;
        state.counters["cpu_share"] = share;
    }
    useSteppedClock();
    recordFigure({"Idle play at 30 fps, CPU of one core", share, 0, "%", "< 5 %", share < 0.05});
}
BENCHMARK(BM_IdleCost)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// The generator writing a whole tree into a fresh temporary directory.
void BM_AssetGeneration(benchmark::State& state) {
    double s = 0;
    for (auto _ : state) {
        char pattern[] = "/tmp/stellarox-bench-XXXXXX";
        const char* dir = mkdtemp(pattern);
        if (dir == nullptr) {
            state.SkipWithError("no temporary directory");
            break;
        }
        const std::string out = std::string(dir) + "/data";
        const auto start = BenchClock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            execl(STELLAROX_ASSETGEN, STELLAROX_ASSETGEN, out.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        s = secondsSince(start);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the generator failed");
            break;
        }
        state.SetIterationTime(s);
    }
    recordFigure({"Asset generation (stellarox-assetgen)", s, 0, "s", "< 60 s", s < 60.0});
}
BENCHMARK(BM_AssetGeneration)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
