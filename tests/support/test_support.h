// Helpers shared by the tests: headless SDL bring-up, the manual clock, held keys,
// scripted frames, synthetic sprites, pixel reads and runs of the real binary.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "play/messages.h"
#include "support/input_seams.h"

// SDL with the dummy drivers, the font engine, the mixer and a 640 x 480 window.
// With fonts true the three fonts are opened as loadFonts would.
void startSdl(bool fonts = true);

// Scripted frames: every sleep of a loop advances the manual clock by the sleep's
// length and then runs the next step (once the steps are used up, `whenDone` runs
// on every further sleep, so a test can end a loop that should have ended).
void runScriptOnSleeps(std::vector<std::function<void()>> steps,
                       std::function<void()> whenDone = nullptr);
int sleepsSeen();
std::vector<Uint32> sleepLog();

// A display-format surface of w x h filled with (r, g, b), keyed magenta like a sprite.
SDL_Surface* makeSprite(int w, int h, Uint8 r = 200, Uint8 g = 40, Uint8 b = 40);

// The pixel of `surface` at (x, y) as r, g, b.
SDL_Color pixelAt(SDL_Surface* surface, int x, int y);
void fillScreen(Uint8 r, Uint8 g, Uint8 b);

// Fills every image field with synthetic sprites of the sizes the data tree gives at
// 640 x 480, so world tests run without the tree (ships: `designs` of 24 x 24).
void useSyntheticImages(int designs = 3);

// The source tree: the working directory of the tests.
std::string sourceDir();

// A fresh copy of the generated data tree below a new temporary directory; returns
// the directory that holds `data/`.
std::string copyDataTree();
void removeTree(const std::string& dir);

// Runs the real binary in `dir` with extra environment entries; returns its exit
// status, or 1000 + signal number when a signal ended it, or -1 on a time-out.
struct RunResult {
    int status = -1;
    std::string output;
};
RunResult runGameBinary(const std::string& dir, const std::vector<std::string>& env,
                        int timeoutSeconds, int sendSigtermAfterMs = -1);

// Whether message `index` of the queue shows exactly `text` (its rendered line equals
// a fresh rendering of text in the small font, pixel for pixel).
bool messageSays(size_t index, const std::string& text);
// The texts among `candidates` that the queue shows, in queue order ("?" for others).
std::vector<std::string> messageTexts(const std::vector<std::string>& candidates);
