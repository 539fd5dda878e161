// PENDING: stand-in until this file's subsystem lands.
#include "menus/title_menu.h"

void runMenus() {}
void titleMenu() {}
