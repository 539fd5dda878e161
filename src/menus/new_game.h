// Screens that decide who plays and how hard: player count, ships, difficulty.
#pragma once

int configureGame();
int playerCountPrompt();
int shipPrompt();
int difficultyPrompt();
