// Device choice and capture of each player's keys or fire button.
#pragma once

struct Player;

int controlsPrompt();
void openJoystick(Player& player, int number);
