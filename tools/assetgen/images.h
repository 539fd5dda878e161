// Every picture of the data tree: background, sprites, particle strips, icon.
#pragma once

#include <string>

// Writes the images below outDir; returns false when a file could not be written.
bool writeImages(const std::string& outDir);
// A sheet of the sprites at their 640 x 480 in-game sizes, for the README.
bool writeContactSheet(const std::string& path);

// Number of ship designs the generator draws.
constexpr int kShipDesigns = 8;
