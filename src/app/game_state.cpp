#include "app/game_state.h"

#include <cmath>

double GameState::deriveSpriteScale(int w, int h) {
    // Sum of squares in integers, root and division in double precision.
    return std::sqrt(double(w * w + h * h)) / 2000.0;
}

GameState game;

std::stringstream& freshTextStream() {
    game.textStream.clear();
    game.textStream.str("");
    return game.textStream;
}
