// Virtual joysticks that the game's own SDL 1.2 calls see as real devices.
//
// The SDL 1.2 API here is a compatibility layer over SDL2, which can attach virtual
// joysticks whose hats, axes and buttons a test sets directly. Attach them before
// startSdl() (the joystick list is taken when the subsystem starts); test_main allows
// background joystick events, without which every value reads 0 under the dummy driver.
#pragma once

#include <SDL.h>

// Attaches one joystick of 2 axes, `buttons` buttons and 1 hat; returns the device
// index SDL_JoystickOpen takes, or -1 when SDL2 offers no virtual joysticks.
int attachVirtualJoystick(int buttons = 8);

// Sets a value of joystick `stick` (0 = the first attached), visible at once.
void setVirtualAxis(int stick, int axis, Sint16 value);
void setVirtualButton(int stick, int button, bool pressed);
void setVirtualHat(int stick, int hat, Uint8 value);
