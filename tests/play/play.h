// A headless game: SDL up, a manual clock, synthetic sprites, no music, and players who
// do not run out of lives; frames are scripted on the loop's sleeps.
#pragma once

#include <gtest/gtest.h>

#include "app/game_state.h"
#include "play/game_loop.h"
#include "support/test_support.h"
#include "world/players.h"

using Steps = std::vector<std::function<void()>>;

inline void startPlay(int players = 1) {
    startSdl(true);
    useManualClock(100000);
    useSyntheticImages();
    game.musicOn = 0;
    game.playerCount = players;
    createPlayers();
    for (Player& p : game.players) {
        p.lives = 1000;
    }
}
