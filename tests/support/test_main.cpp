// The tests' entry point: SDL's headless drivers for every test process, chosen here
// because the game itself reads no environment variable.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "support/test_support.h"

// SDL and its helper libraries keep allocations until exit; leak reports of the
// sanitizer build would be theirs, not ours. Memory is checked with valgrind instead.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    // Relative data paths resolve against the source tree, where the data is generated.
    if (chdir(sourceDir().c_str()) != 0) {
        return 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int result = RUN_ALL_TESTS();
    // Stop the mixer's thread before the process unwinds: a piece still playing while
    // static objects are destroyed can crash the exit of a test that passed.
    Mix_HaltMusic();
    Mix_CloseAudio();
    SDL_Quit();
    std::fflush(nullptr);
    _exit(result);
}
