// Loading fonts, images and sounds from the data tree; failures end the process.
#pragma once

#include <string>

void loadFiles();
void loadFonts();
void loadImages();
void loadSounds();

// The design number written with at least three digits: 7 gives "007".
std::string designNumber(int n);
