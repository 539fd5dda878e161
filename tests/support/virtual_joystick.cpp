#include "support/virtual_joystick.h"

#include <dlfcn.h>

namespace {

// The few SDL2 entry points used, by their SDL2 signatures (SDL2 headers are not
// installed beside the 1.2 ones, and the two APIs must not be mixed in one unit).
using InitSubSystemFn = int (*)(Uint32);
using AttachVirtualFn = int (*)(int type, int axes, int buttons, int hats);
using OpenFn = void* (*)(int deviceIndex);
using SetAxisFn = int (*)(void* joystick, int axis, Sint16 value);
using SetButtonFn = int (*)(void* joystick, int button, Uint8 value);
using SetHatFn = int (*)(void* joystick, int hat, Uint8 value);
using UpdateFn = void (*)();

const Uint32 kSdl2InitJoystick = 0x00000200;
const int kSdl2JoystickTypeUnknown = 0;

struct Sdl2 {
    bool loaded = false;
    InitSubSystemFn initSubSystem = nullptr;
    AttachVirtualFn attachVirtual = nullptr;
    OpenFn open = nullptr;
    SetAxisFn setAxis = nullptr;
    SetButtonFn setButton = nullptr;
    SetHatFn setHat = nullptr;
    UpdateFn update = nullptr;
};

struct Attached {
    void* handle = nullptr; // SDL2's handle; the game opens its own through SDL 1.2
    VirtualJoystickShape shape = {};
};

Sdl2 sdl2;
std::vector<Attached> attached;

template <typename T> bool bind(void* library, const char* name, T& slot) {
    slot = reinterpret_cast<T>(dlsym(library, name));
    return slot != nullptr;
}

// The same library the compatibility layer loads: dlopen hands back that instance.
bool loadSdl2() {
    if (sdl2.loaded) {
        return true;
    }
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return false;
    }
    sdl2.loaded = bind(library, "SDL_InitSubSystem", sdl2.initSubSystem) &&
                  bind(library, "SDL_JoystickAttachVirtual", sdl2.attachVirtual) &&
                  bind(library, "SDL_JoystickOpen", sdl2.open) &&
                  bind(library, "SDL_JoystickSetVirtualAxis", sdl2.setAxis) &&
                  bind(library, "SDL_JoystickSetVirtualButton", sdl2.setButton) &&
                  bind(library, "SDL_JoystickSetVirtualHat", sdl2.setHat) &&
                  bind(library, "SDL_JoystickUpdate", sdl2.update);
    return sdl2.loaded;
}

void* handleOf(int stick) {
    if (stick < 0 || size_t(stick) >= attached.size()) {
        return nullptr;
    }
    return attached[size_t(stick)].handle;
}

// Virtual values reach the joystick's state on the next update.
void publish() {
    if (sdl2.update != nullptr) {
        sdl2.update();
    }
}

} // namespace

std::vector<int> attachVirtualJoysticks(const std::vector<VirtualJoystickShape>& shapes) {
    std::vector<int> indices;
    if (!loadSdl2() || sdl2.initSubSystem(kSdl2InitJoystick) != 0) {
        return indices;
    }
    for (const VirtualJoystickShape& shape : shapes) {
        const int index =
            sdl2.attachVirtual(kSdl2JoystickTypeUnknown, shape.axes, shape.buttons, shape.hats);
        if (index < 0) {
            break;
        }
        Attached a;
        a.handle = sdl2.open(index);
        a.shape = shape;
        attached.push_back(a);
        indices.push_back(index);
    }
    return indices;
}

int attachVirtualJoystick() {
    const std::vector<int> indices = attachVirtualJoysticks({VirtualJoystickShape{}});
    return indices.empty() ? -1 : indices[0];
}

int virtualJoystickCount() {
    return int(attached.size());
}

void setVirtualAxis(int stick, int axis, Sint16 value) {
    if (void* j = handleOf(stick)) {
        sdl2.setAxis(j, axis, value);
        publish();
    }
}

void setVirtualButton(int stick, int button, bool pressed) {
    if (void* j = handleOf(stick)) {
        sdl2.setButton(j, button, pressed ? 1 : 0);
        publish();
    }
}

void setVirtualHat(int stick, int hat, Uint8 value) {
    if (void* j = handleOf(stick)) {
        sdl2.setHat(j, hat, value);
        publish();
    }
}

void centreVirtualJoystick(int stick) {
    void* j = handleOf(stick);
    if (j == nullptr) {
        return;
    }
    const VirtualJoystickShape& shape = attached[size_t(stick)].shape;
    for (int i = 0; i < shape.axes; ++i) {
        sdl2.setAxis(j, i, 0);
    }
    for (int i = 0; i < shape.buttons; ++i) {
        sdl2.setButton(j, i, 0);
    }
    for (int i = 0; i < shape.hats; ++i) {
        sdl2.setHat(j, i, 0);
    }
    publish();
}
