// PENDING: stand-in until this file's subsystem lands.
#include "world/world_step.h"

void stepWorldFrame() {}
void stepWorld() {}
void sampleFps() {}
