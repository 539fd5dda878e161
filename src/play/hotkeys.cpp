// PENDING: stand-in until this file's subsystem lands.
#include "play/hotkeys.h"

bool handleGameKey(SDLKey, int&) { return false; }
