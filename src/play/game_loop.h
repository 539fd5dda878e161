// One whole game: the level loop, the frame loop, frame pacing.
#pragma once

// 0 when the window was closed, 1 otherwise (game over, Escape, failed flip).
int runGame();
