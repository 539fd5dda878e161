// PENDING: stand-in until this file's subsystem lands.
#include "play/music.h"

void playMusicTrack(int, int, int) {}
