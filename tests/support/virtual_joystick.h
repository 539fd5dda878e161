// Virtual joysticks that the game's own SDL 1.2 calls see as real devices.
//
// The SDL 1.2 API here is a compatibility layer that loads SDL2 at run time; SDL2 can
// attach virtual joysticks whose hats, axes and buttons a test sets directly. Attach
// them BEFORE startSdl() (the joystick list is taken when the subsystem starts); the
// test environment must allow background joystick events, which test_main does, or
// every value reads 0 under the dummy video driver.
#pragma once

#include <SDL.h>

#include <vector>

struct VirtualJoystickShape {
    int axes = 2;
    int buttons = 8;
    int hats = 1;
};

// Attaches one virtual joystick per shape, in order. Returns the SDL device index of
// each (the index SDL_JoystickOpen takes), or an empty list when SDL2 is unavailable.
std::vector<int> attachVirtualJoysticks(const std::vector<VirtualJoystickShape>& shapes);

// One joystick of 2 axes, 8 buttons and 1 hat; returns its device index or -1.
int attachVirtualJoystick();

// Number of joysticks this process has attached.
int virtualJoystickCount();

// Set the state of joystick `stick` (0 = the first attached). Each call makes the
// value visible at once to SDL_JoystickGetAxis / GetButton / GetHat.
void setVirtualAxis(int stick, int axis, Sint16 value);
void setVirtualButton(int stick, int button, bool pressed);
void setVirtualHat(int stick, int hat, Uint8 value);

// Centres every axis and hat and releases every button of joystick `stick`.
void centreVirtualJoystick(int stick);
