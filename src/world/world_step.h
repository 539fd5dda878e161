// One world step in its fixed order, the steps of one frame, and the frame-rate sample.
#pragma once

void stepWorldFrame();
void stepWorld();
void sampleFps();
