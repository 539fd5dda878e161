// PENDING: stand-in until this file's subsystem lands.
#include "menus/menu_frame.h"

void drawTitle() {}
