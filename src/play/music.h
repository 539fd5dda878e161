// The music playlist: title track and six in-game tracks.
#pragma once

#include <SDL.h>

#include <vector>

void playMusicTrack(int force, int track, int announce);

// Whether an Ogg Vorbis file can go to the mixer safely: its headers whole and
// checksummed, one stream alone, 1 or 2 channels at a playable rate, no codebook of
// dimension 0 or of a size past what music needs.
bool musicFileIsPlayable(const std::vector<Uint8>& bytes);
