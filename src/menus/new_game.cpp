// PENDING: stand-in until this file's subsystem lands.
#include "menus/new_game.h"

int configureGame() { return 0; }
int playerCountPrompt() { return 0; }
int shipPrompt() { return 0; }
int difficultyPrompt() { return 1; }
