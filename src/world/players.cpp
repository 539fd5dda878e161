// PENDING: stand-in until this file's subsystem lands.
#include "world/players.h"

void createPlayers() {}
void addPlayer() {}
void playerDied(int) {}
