// The title menu and the state machine between start-up and shutdown.
#pragma once

void runMenus();
void titleMenu();
