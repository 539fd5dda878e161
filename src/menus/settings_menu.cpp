#include "menus/settings_menu.h"

#include <cmath>

#include "app/assets.h"
#include "app/startup.h"
#include "app/video.h"
#include "menus/menu_frame.h"
#include "play/messages.h"

int (*openAudioDevice)(int frequency, Uint16 format, int channels, int chunkSize) = openMixer;

namespace {

const int kRows = 9;
const char* const kRowText[kRows] = {
    "Screen Width: ", "Screen Height: ", "Sample Size: ", "Sample Rate: ", "Sound Volume: ",
    "Music Volume: ", "Game Speed: ",    "Apply changes", "Cancel"};

struct Working {
    int values[6] = {}; // width, height, sample size, sample rate, sound and music volume
    float gameSpeed = 0;
};

struct Hint {
    const char* text;
    int heightsFromBottom;
};

const char* const kTens = "hold [left ctrl] to jump by tens";
const char* const kHundreds = "hold [left ctrl] + [left shift] to jump by hundreds";

void drawHint(const Hint& hint) {
    drawTextLine(game.smallFont, hint.text, game.textColour, [&](int w, int h) {
        return std::pair<int, int>(centredX(w), game.screenHeight - hint.heightsFromBottom * h);
    });
}

void drawHints(int row) {
    if (row <= 1) {
        drawHint({kTens, 3});
        drawHint({kHundreds, 2});
    } else if (row <= 3) {
        drawHint({kTens, 3});
        drawHint({kHundreds, 2});
        drawHint({"NOT FULLY IMPLEMENTED - CHANGE AT YOUR OWN RISK", 5});
        drawHint({"hold [left ctrl] + [left shift] + [left alt] to jump by thousands", 1});
    } else if (row <= 5) {
        drawHint({"Volume is out of 128", 5});
        drawHint({kTens, 3});
    } else if (row == 6) {
        drawHint({"hold [left ctrl] to jump by .1", 5});
        drawHint({"1.0 is normal, .5 is half speed, 2 is double speed, etc.", 3});
        drawHint({"Has no effect on performance", 2});
    }
}

void drawRows(const Working& w, int cursor) {
    for (int r = 0; r < kRows; ++r) {
        std::stringstream& s = freshTextStream();
        s << kRowText[r];
        if (r < 6) {
            s << w.values[r];
        } else if (r == 6) {
            s << double(w.gameSpeed);
        }
        drawTextLine(game.mediumFont, s.str(), itemColour(cursor, r), [r](int tw, int h) {
            return std::pair<int, int>(centredX(tw) + 4, (4 + r) * h);
        });
    }
}

// One held-key change of the cursor's row; refused changes leave the value alone.
void changeRow(Working& w, int row, int direction) {
    const Uint8* keys = game.keyState;
    const int ctrl = keys[SDLK_LCTRL] ? 1 : 0;
    const int shift = keys[SDLK_LSHIFT] ? 1 : 0;
    const int alt = keys[SDLK_LALT] ? 1 : 0;
    if (row <= 3) {
        int step = 1 + 9 * ctrl + 90 * ctrl * shift;
        if (row >= 2) {
            step += 900 * ctrl * shift * alt;
        }
        const long long next = (long long)w.values[row] + (long long)direction * step;
        if (direction < 0 && next <= 0) {
            return;
        }
        if (next <= 2147483647LL) {
            w.values[row] = int(next);
        }
    } else if (row <= 5) {
        const int next = w.values[row] + direction * (1 + 9 * ctrl);
        if (next > 128 || next < 0) {
            return;
        }
        w.values[row] = next;
    } else if (row == 6) {
        const double next = double(w.gameSpeed) + direction * (0.01 + 0.09 * ctrl);
        if (direction < 0 && next <= 0) {
            return;
        }
        if (std::isfinite(float(next))) {
            w.gameSpeed = float(next);
        }
    }
}

void reopenFonts() {
    TTF_CloseFont(game.smallFont);
    TTF_CloseFont(game.mediumFont);
    TTF_CloseFont(game.largeFont);
    game.smallFont = openGameFont(game.screenHeight * 20 / 768);
    game.mediumFont = openGameFont(game.screenHeight * 35 / 768);
    game.largeFont = openGameFont(game.screenHeight * 50 / 768);
    if (game.smallFont == nullptr || game.mediumFont == nullptr || game.largeFont == nullptr) {
        quit(1);
    }
}

// A closed mixer would crash the next sound; fall back to the values in force, and
// if even those fail, keep the game silent so the mixer is never touched.
void reopenAudio(int sampleSize, int sampleRate) {
    const int oldSize = game.sampleSize;
    const int oldRate = game.sampleRate;
    Mix_CloseAudio();
    game.sampleSize = sampleSize;
    game.sampleRate = sampleRate;
    if (openAudioDevice(game.sampleRate, AUDIO_S16LSB, 2, game.sampleSize) != -1) {
        return;
    }
    game.sampleSize = oldSize;
    game.sampleRate = oldRate;
    if (openAudioDevice(game.sampleRate, AUDIO_S16LSB, 2, game.sampleSize) != -1) {
        return;
    }
    game.soundsOn = 0;
    game.musicOn = 0;
}

// After a failed reopen the mixer's channel storage is gone: volumes must wait.
bool audioDeviceOpen() {
    return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0;
}

void apply(const Working& w) {
    if (w.values[0] != game.screenWidth || w.values[1] != game.screenHeight) {
        clearMessages();
        showReports(setVideoMode(true, w.values[0], w.values[1], game.screenBpp, game.screenWidth,
                                 game.screenHeight, game.screenBpp));
        game.spriteScale = GameState::deriveSpriteScale(game.screenWidth, game.screenHeight);
        game.scaleX = double(game.screenWidth) / double(game.worldWidth);
        game.scaleY = double(game.screenHeight) / double(game.worldHeight);
        freeImages();
        loadImages();
        reopenFonts();
    }
    if (w.values[2] != game.sampleSize || w.values[3] != game.sampleRate) {
        reopenAudio(w.values[2], w.values[3]);
    }
    if (w.values[4] != game.soundVolume) {
        if (audioDeviceOpen()) {
            Mix_Volume(-1, w.values[4]);
        }
        game.soundVolume = w.values[4];
    }
    if (w.values[5] != game.musicVolume) {
        if (audioDeviceOpen()) {
            Mix_VolumeMusic(w.values[5]);
        }
        game.musicVolume = w.values[5];
    }
    if (w.gameSpeed != game.gameSpeed) {
        game.gameSpeed = w.gameSpeed;
    }
}

} // namespace

int settingsMenu() {
    Working w;
    w.values[0] = game.screenWidth;
    w.values[1] = game.screenHeight;
    w.values[2] = game.sampleSize;
    w.values[3] = game.sampleRate;
    w.values[4] = game.soundVolume;
    w.values[5] = game.musicVolume;
    w.gameSpeed = game.gameSpeed;
    int cursor = 0;
    Uint32 lastChange = currentTicks();
    int running = 1;

    while (running) {
        const Uint32 frameStart = currentTicks();
        drawMenuBackdrop(0);
        drawTitle();
        drawHints(cursor);
        drawRows(w, cursor);
        readKeyboard();
        drainMenuEvents([&](SDLKey key) {
            if (key == SDLK_DOWN) {
                cursor += 1;
            } else if (key == SDLK_UP) {
                cursor -= 1;
            } else if (key == SDLK_RETURN && cursor > 5) {
                running = 0;
            }
            return keepGoing;
        });
        if (cursor < 0) {
            cursor = 8;
        }
        if (cursor > 8) {
            cursor = 0;
        }
        // A change renews the repeat timer, so Right wins when both keys are held.
        if (game.keyState[SDLK_RIGHT] && currentTicks() - lastChange > game.keyRepeatDelay * 0.5) {
            changeRow(w, cursor, +1);
            lastChange = currentTicks();
        }
        if (game.keyState[SDLK_LEFT] && currentTicks() - lastChange > game.keyRepeatDelay * 0.5) {
            changeRow(w, cursor, -1);
            lastChange = currentTicks();
        }
        for (int r = 0; r <= 3; ++r) {
            if (w.values[r] <= 0) {
                w.values[r] = 1;
            }
        }
        if (SDL_Flip(game.screen) == -1) {
            return -1;
        }
        frameCapWait(frameStart);
    }
    if (cursor == 7) {
        apply(w);
    }
    return 0;
}
