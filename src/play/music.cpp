#include "play/music.h"

#include <SDL_mixer.h>

#include <cstdlib>

#include "app/game_state.h"
#include "play/messages.h"

namespace {

struct Track {
    const char* file;
    const char* announcement;
};

// Indexed by track number; 0 stands for every number outside 1..7, which plays track 1.
const Track kTracks[8] = {
    {"data/music/01.ogg", "Song changed to track 1"},
    {"data/music/01.ogg", "Song changed to track 1"},
    {"data/music/02.ogg", "Song changed to track 2"},
    {"data/music/03.ogg", "Song changed to track 3"},
    {"data/music/04.ogg", "Song changed to track 4"},
    {"data/music/05.ogg", "Song changed to track 5"},
    {"data/music/06.ogg", "Song changed to track 6"},
    {"data/music/title.ogg", "Song changed to title track"},
};

const int kInGameTracks = 6;
const int kTitleTrack = 7;

const Track& trackFor(int number) {
    if (number < 1 || number > kTitleTrack) {
        return kTracks[0];
    }
    return kTracks[number];
}

} // namespace

void playMusicTrack(int force, int track, int announce) {
    // 1. Zero asks for any in-game track; the one now playing may be drawn again.
    if (track == 0) {
        track = std::rand() % kInGameTracks + 1;
    }

    // 2. Change the piece when nothing plays or the caller insists, but only with music on.
    if ((Mix_PlayingMusic() == 0 || force != 0) && game.musicOn) {
        if (game.music != nullptr) {
            Mix_FreeMusic(game.music); // stops it too, if it is the one playing
            game.music = nullptr;
        }
        const Track& chosen = trackFor(track);
        game.music = Mix_LoadMUS(chosen.file);
        if (game.music == nullptr) {
            return; // unloadable: stay silent and say nothing
        }
        if (announce != 0) {
            showMessage(chosen.announcement, 3000);
        }
        Mix_PlayMusic(game.music, 0); // once; the game loop picks the next one
        return;
    }

    // 3. Music switched off: whatever still plays stops.
    if (Mix_PlayingMusic() != 0 && game.musicOn == 0) {
        Mix_HaltMusic();
    }
}
