#include "app/game_state.h"

#include <cmath>

double GameState::deriveSpriteScale(int w, int h) {
    // Sum of squares in integers, root and division in double precision.
    // 64-bit squares: a width typed into the settings menu may exceed 46340.
    return std::sqrt(double((long long)w * w + (long long)h * h)) / 2000.0;
}

GameState game;

std::stringstream& freshTextStream() {
    game.textStream.clear();
    game.textStream.str("");
    return game.textStream;
}
