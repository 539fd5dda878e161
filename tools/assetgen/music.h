// The seven pieces of music: a calm title track and six in-game tracks.
#pragma once

#include <string>

// Writes title.ogg and 01.ogg .. 06.ogg below outDir/music, on `threads` threads.
bool writeMusic(const std::string& outDir, int threads);
