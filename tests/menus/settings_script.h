// Scripted edits in the settings menu: the cursor moves to a row in one frame and
// the keys are held for the next, as a player steps a value.
#pragma once

#include <SDL.h>

#include <functional>
#include <vector>

#include "menus/menu_fixture.h"

inline void holdOnly(const std::vector<SDLKey>& keys) {
    releaseAllKeys();
    for (SDLKey k : keys) {
        holdKey(k);
    }
}

inline std::vector<SDLKey> downs(int n) {
    return std::vector<SDLKey>(size_t(n), SDLK_DOWN);
}

// One held-key change: the cursor moves to `row` in one frame, the keys are held for
// the next, which is at least 66 ms after the previous change (two frames at 30 fps).
struct Edit {
    int row;
    std::vector<SDLKey> keys;
};

// Steps that make the edits in order, then run `check` on a picture that shows the
// last one and leave the menu with Return on `leaveRow`.
inline std::vector<std::function<void()>> editScript(const std::vector<Edit>& edits, int leaveRow,
                                                     std::function<void()> check = nullptr) {
    std::vector<std::function<void()>> steps;
    int cursor = 0;
    for (const Edit& e : edits) {
        const int moves = (e.row - cursor + 9) % 9;
        steps.push_back([moves]() {
            releaseAllKeys();
            press(downs(moves))();
        });
        steps.push_back([keys = e.keys]() { holdOnly(keys); });
        cursor = e.row;
    }
    steps.push_back(releaseAllKeys);
    steps.push_back([check, moves = (leaveRow - cursor + 9) % 9]() {
        if (check) {
            check();
        }
        std::vector<SDLKey> keys = downs(moves);
        keys.push_back(SDLK_RETURN);
        press(keys)();
    });
    return steps;
}
