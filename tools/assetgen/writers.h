// File writers: PNG through libpng, WAV and Ogg Vorbis through libsndfile.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

bool writePng(const std::string& path, const Canvas& canvas);
// Interleaved samples in [-1, 1].
bool writeWav(const std::string& path, const std::vector<float>& samples, int channels, int rate);
bool writeOgg(const std::string& path, const std::vector<float>& samples, int channels, int rate);
