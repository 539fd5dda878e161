// PENDING: stand-in until this file's subsystem lands.
#include "world/collisions.h"

void resolveCollisions() {}
