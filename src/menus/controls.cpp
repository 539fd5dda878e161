// PENDING: stand-in until this file's subsystem lands.
#include "menus/controls.h"

int controlsPrompt() { return 0; }
void openJoystick(Player&, int) {}
