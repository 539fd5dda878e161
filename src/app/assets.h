// Loading fonts, images and sounds from the data tree; failures end the process.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

void loadFiles();
void loadFonts();
void loadImages();
void loadSounds();

// The design number written with at least three digits: 7 gives "007".
std::string designNumber(int n);

// The whole file, or false when it cannot be read or holds more than maxBytes.
bool readWholeFile(const char* path, size_t maxBytes, std::vector<Uint8>& bytes);
// The unsigned number of `width` bytes at `at`, least significant first; in range.
Uint32 littleEndian(const std::vector<Uint8>& bytes, size_t at, int width);
// Sample rates the mixer converts to the device rate without trouble.
bool sampleRateIsPlayable(Uint32 rate);
// Whether a sound file is plain PCM WAVE the mixer can load safely: 1 or 2 channels
// of 8 or 16 bits at a playable rate, every chunk inside the file.
bool soundFileIsPlayable(const std::vector<Uint8>& bytes);
