// Start-up and shutdown: the program's spine.
#pragma once

#include <SDL.h>

bool init();
// The audio buffer SDL is given for a chunk size: the next power of two, at most 32768.
// SDL mixes into a buffer of that shape; any other size overran it and corrupted memory.
int audioBufferSamples(int chunkSize);
// Mix_OpenAudio with the chunk size made safe as above.
int openMixer(int frequency, Uint16 format, int channels, int chunkSize);
void cleanup();
[[noreturn]] void quit(int status);
// Ends the process on a load or video failure without freeing what was loaded. The
// audio device is closed first: its mixing thread, still running while the shared
// libraries unload at exit, crashed the process instead of giving the status.
[[noreturn]] void exitWithoutCleanup(int status);
