// Start-up and shutdown: the program's spine.
#pragma once

// The whole program as main runs it; returns main's status.
int runProgram();
bool init();
void cleanup();
[[noreturn]] void quit(int status);
// Ends the process on a load or video failure without freeing what was loaded. The
// audio device is closed first: its mixing thread, still running while the shared
// libraries unload at exit, crashed the process instead of giving the status.
[[noreturn]] void exitWithoutCleanup(int status);
