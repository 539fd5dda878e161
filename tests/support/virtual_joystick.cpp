#include "support/virtual_joystick.h"

#include <dlfcn.h>

#include <vector>

namespace {

// The few SDL2 entry points used, by their SDL2 signatures (SDL2's headers are not
// installed beside the 1.2 ones, and the two APIs must not be mixed in one unit).
struct Sdl2 {
    int (*initSubSystem)(Uint32) = nullptr;
    int (*attachVirtual)(int type, int axes, int buttons, int hats) = nullptr;
    void* (*open)(int deviceIndex) = nullptr;
    int (*setAxis)(void*, int, Sint16) = nullptr;
    int (*setButton)(void*, int, Uint8) = nullptr;
    int (*setHat)(void*, int, Uint8) = nullptr;
    void (*update)() = nullptr;
};

Sdl2 sdl2;
std::vector<void*> sticks; // SDL2's handles; the game opens its own through SDL 1.2

template <typename T> bool bind(void* library, const char* name, T& slot) {
    slot = reinterpret_cast<T>(dlsym(library, name));
    return slot != nullptr;
}

// dlopen hands back the very instance the compatibility layer loaded.
bool loadSdl2() {
    static void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    return library != nullptr && bind(library, "SDL_InitSubSystem", sdl2.initSubSystem) &&
           bind(library, "SDL_JoystickAttachVirtual", sdl2.attachVirtual) &&
           bind(library, "SDL_JoystickOpen", sdl2.open) &&
           bind(library, "SDL_JoystickSetVirtualAxis", sdl2.setAxis) &&
           bind(library, "SDL_JoystickSetVirtualButton", sdl2.setButton) &&
           bind(library, "SDL_JoystickSetVirtualHat", sdl2.setHat) &&
           bind(library, "SDL_JoystickUpdate", sdl2.update);
}

// A value set on a virtual device reaches its state on the next update.
template <typename F> void change(int stick, F set) {
    if (stick >= 0 && size_t(stick) < sticks.size()) {
        set(sticks[size_t(stick)]);
        sdl2.update();
    }
}

} // namespace

int attachVirtualJoystick(int buttons) {
    const Uint32 kSdl2InitJoystick = 0x200;
    if (!loadSdl2() || sdl2.initSubSystem(kSdl2InitJoystick) != 0) {
        return -1;
    }
    const int index = sdl2.attachVirtual(0, 2, buttons, 1);
    if (index >= 0) {
        sticks.push_back(sdl2.open(index));
    }
    return index;
}

void setVirtualAxis(int stick, int axis, Sint16 value) {
    change(stick, [&](void* j) { sdl2.setAxis(j, axis, value); });
}

void setVirtualButton(int stick, int button, bool pressed) {
    change(stick, [&](void* j) { sdl2.setButton(j, button, pressed ? 1 : 0); });
}

void setVirtualHat(int stick, int hat, Uint8 value) {
    change(stick, [&](void* j) { sdl2.setHat(j, hat, value); });
}
