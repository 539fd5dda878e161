// Players of a game, their lives, and what a ship's death does.
#pragma once

void createPlayers();
void addPlayer();
void playerDied(int playerIndex);
