// PENDING: stand-in until this file's subsystem lands.
#include "menus/settings_menu.h"

int settingsMenu() { return 0; }
