// The start sequence sits here, at the top: every subsystem may call the shutdown
// functions of app/startup without a path back to the menus or the loaders.
#include <cstdlib>
#include <ctime>

#include "app/assets.h"
#include "app/game_state.h"
#include "app/startup.h"
#include "menus/title_menu.h"
#include "play/music.h"
#include "world/asteroids.h"
#include "world/objects.h"

int runProgram() {
    std::srand(unsigned(std::time(nullptr)));
    if (!init()) {
        quit(50);
    }
    loadFiles();
    playMusicTrack(0, 7, 0);
    game.titleChoice = 0;
    setLevelParameters(game.level, game.difficulty);
    setupLevel();
    runMenus();
    cleanup();
    return 0;
}

// A test that runs the whole program builds this file without its entry point.
#ifndef STELLAROX_NO_MAIN
int main(int, char**) {
    return runProgram();
}
#endif
