// Start-up and shutdown: the program's spine.
#pragma once

// The whole program as main runs it; returns main's status.
int runProgram();
bool init();
void cleanup();
[[noreturn]] void quit(int status);
