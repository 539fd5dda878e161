// A game ready to run headless: SDL up, a manual clock, synthetic sprites, one
// player with a full set of lives, and no music unless a test asks for it.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "support/test_support.h"
#include "world/players.h"

inline void startPlaySession(int playerCount = 1) {
    startSdl(true);
    useManualClock(100000);
    useSyntheticImages();
    releaseAllKeys();
    game.musicOn = 0;
    game.playerCount = playerCount;
    createPlayers();
    for (Player& p : game.players) {
        p.lives = 6;
    }
}

// Every message text the game loop and hotkeys can post, for reading the queue back.
inline std::vector<std::string> knownTexts() {
    std::vector<std::string> texts = {
        "New game started with 1 player at difficulty level 1",
        "New game started with 2 players at difficulty level 1",
        "New game started with 2 players at difficulty level 3",
        "Game paused",
        "Game unpaused",
        "Maximum Speed enabled",
        "Maximum Speed disabled",
        "Music ON",
        "Music OFF",
        "Song changed to title track",
    };
    for (int level = -3; level <= 12; ++level) {
        texts.push_back("Starting Level " + std::to_string(level));
    }
    for (int track = 1; track <= 6; ++track) {
        texts.push_back("Song changed to track " + std::to_string(track));
    }
    return texts;
}

inline std::vector<std::string> shownTexts() {
    return messageTexts(knownTexts());
}

inline int countShown(const std::string& text) {
    int n = 0;
    for (const std::string& t : shownTexts()) {
        n += t == text ? 1 : 0;
    }
    return n;
}

inline bool anyTrackAnnounced() {
    for (const std::string& t : shownTexts()) {
        if (t.rfind("Song changed to track ", 0) == 0) {
            return true;
        }
    }
    return false;
}

// Alt as the hotkeys see it: through the key-state array, not through events.
inline void pushAltKey(SDLKey key) {
    holdKey(SDLK_LALT);
    pushKeyDown(key);
}
