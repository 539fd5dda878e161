// Screen size, audio, volumes and game speed.
#pragma once

#include <SDL.h>

int settingsMenu();

// Seam over opening the audio device (Mix_OpenAudio unless a test replaces it).
extern int (*openAudioDevice)(int frequency, Uint16 format, int channels, int chunkSize);
