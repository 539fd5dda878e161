// PENDING: stand-in until this file's subsystem lands.
#include "world/ships.h"
#include "app/game_state.h"

void initKeyBindings(KeyBindings&) {}
void initShip(Ship&) {}
void initPlayer(Player&) {}
void resetShip(int, float, float) {}
void respawnAllShips() {}
void updatePlayers() {}
void drawShips() {}
