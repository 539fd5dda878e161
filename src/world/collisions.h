// Who hit what in one world step: shots, bodies, ships and turrets.
#pragma once

void resolveCollisions();
