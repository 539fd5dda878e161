// A headless game: SDL up, a manual clock, synthetic sprites, players with six lives and
// no music; frames run on the loop's sleeps.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "play/game_loop.h"
#include "play/messages.h"
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
        p.lives = 6;
    }
}

// How many queued messages show exactly `text`.
inline int shown(const std::string& text) {
    int n = 0;
    for (size_t i = 0; i < game.messages.size(); ++i) {
        n += messageSays(i, text) ? 1 : 0;
    }
    return n;
}
