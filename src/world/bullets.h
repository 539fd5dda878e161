// Shots of ships and turrets: firing, ageing and motion, drawing.
#pragma once

struct Ship;
struct Turret;

void shipFire(Ship& s);
void turretFire(Turret& t);
void moveBullets();
void drawBullets();
