// The music playlist: title track and six in-game tracks.
#pragma once

void playMusicTrack(int force, int track, int announce);
