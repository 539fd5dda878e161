// The composition of every picture: the background, the frame-rate line, the messages
// and the world's layers, each switched on or off by its caller.
#pragma once

void drawScene(int particlesOn, int bodiesOn, int bulletsOn, int turretsOn, int shipsOn,
               int messagesOn, int crosshairsOn, int fpsOn);
