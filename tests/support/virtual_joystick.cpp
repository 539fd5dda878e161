#include "support/virtual_joystick.h"

#include <dlfcn.h>

#include <vector>

namespace {

std::vector<void*> sticks; // SDL2's handles; the game opens its own through SDL 1.2

// An SDL2 entry point by its SDL2 signature: SDL2's headers are not installed beside the
// 1.2 ones, and dlopen hands back the very library the compatibility layer loaded.
template <typename F> F sdl2(const char* name) {
    static void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    return library != nullptr ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

// A value set on a virtual device reaches its state on the next update.
template <typename T> void change(const char* setter, int stick, int which, T value) {
    if (stick >= 0 && size_t(stick) < sticks.size()) {
        sdl2<int (*)(void*, int, T)>(setter)(sticks[size_t(stick)], which, value);
        sdl2<void (*)()>("SDL_JoystickUpdate")();
    }
}

} // namespace

int attachVirtualJoystick(int buttons) {
    const auto init = sdl2<int (*)(Uint32)>("SDL_InitSubSystem");
    const auto attach = sdl2<int (*)(int, int, int, int)>("SDL_JoystickAttachVirtual");
    if (init == nullptr || attach == nullptr || init(0x200 /* joystick */) != 0) {
        return -1;
    }
    const int index = attach(0, 2, buttons, 1);
    if (index >= 0) {
        sticks.push_back(sdl2<void* (*)(int)>("SDL_JoystickOpen")(index));
    }
    return index;
}

void setVirtualAxis(int stick, int axis, Sint16 value) {
    change("SDL_JoystickSetVirtualAxis", stick, axis, value);
}

void setVirtualButton(int stick, int button, bool pressed) {
    change("SDL_JoystickSetVirtualButton", stick, button, Uint8(pressed ? 1 : 0));
}

void setVirtualHat(int stick, int hat, Uint8 value) {
    change("SDL_JoystickSetVirtualHat", stick, hat, value);
}
