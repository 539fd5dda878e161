// The settings menu: the cursor and its hints, held-key steps and their limits, and
// what Apply and Cancel put into force.
#include <SDL_mixer.h>

#include <tuple>

#include "app/assets.h"
#include "app/video.h"
#include "menus/menu_fixture.h"
#include "menus/settings_menu.h"
#include "play/messages.h"

namespace {

int videoOpens = 0;
std::vector<std::vector<int>> audioOpens; // frequency, format, channels, chunk size
int audioFailures = 0;                    // the first this many opens fail

void startSettings() {
    startMenuSession();
    openVideoSurface = [](int w, int h, int bpp, Uint32 flags) {
        return ++videoOpens, SDL_SetVideoMode(w, h, bpp, flags);
    };
    // The device keeps a chunk of 2048: SDL overruns its buffer for other sizes.
    openAudioDevice = [](int rate, Uint16 format, int channels, int chunk) {
        audioOpens.push_back({rate, format, channels, chunk});
        return int(audioOpens.size()) <= audioFailures
                   ? -1
                   : Mix_OpenAudio(rate, format, channels, 2048);
    };
}

Line row(int r, const std::string& text, bool cursor = false) {
    return {1, text, cursor ? 'w' : 'b', 4, (4 + r) * 25};
}

Line hint(const std::string& text, int heightsUp) {
    return {0, text, 'b', 0, 480 - heightsUp * 14};
}

// Each edit moves the cursor to its row in one frame and holds its keys in the next, at
// least 66 ms after the last change; the last picture shows `lines`, then Return is
// pressed on `leaveRow`.
using Edit = std::pair<int, std::vector<SDLKey>>;
void runEdits(const std::vector<Edit>& edits, int leaveRow, const std::vector<Line>& lines = {}) {
    std::vector<std::function<void()>> steps;
    int cursor = 0;
    for (const auto& [toRow, keys] : edits) {
        steps.push_back(press(std::vector<SDLKey>((toRow - cursor + 9) % 9, SDLK_DOWN)));
        steps.push_back(
            [keys] { std::for_each(keys.begin(), keys.end(), [](SDLKey k) { holdKey(k); }); });
        steps.push_back(releaseAllKeys);
        cursor = toRow;
    }
    std::vector<SDLKey> leave((leaveRow - cursor + 9) % 9, SDLK_DOWN);
    leave.push_back(SDLK_RETURN);
    steps.push_back([lines, leave] { expectShown(lines), press(leave)(); });
    scriptFrames(steps);
    EXPECT_EQ(settingsMenu(), 0);
}

} // namespace

// Return on row 0 does nothing; Up from row 0 selects Cancel, Down from Cancel row 0.
TEST(Settings, TheCursorWrapsAndTheHintsFollowIt) {
    startSettings();
    const std::string tens = "hold [left ctrl] to jump by tens",
                      hundreds = "hold [left ctrl] + [left shift] to jump by hundreds";
    const char* texts[9] = {"Screen Width: 640",  "Screen Height: 480", "Sample Size: 2048",
                            "Sample Rate: 44100", "Sound Volume: 128",  "Music Volume: 128",
                            "Game Speed: 1",      "Apply changes",      "Cancel"};
    std::vector<Line> first = {hint(tens, 3), hint(hundreds, 2)};
    for (int r = 0; r < 9; ++r) {
        first.push_back(row(r, texts[r], r == 0));
    }
    scriptLooks({
        {first, {SDLK_RETURN, SDLK_UP}},
        {{row(8, "Cancel", true), row(0, texts[0])}, {SDLK_DOWN}},
        {{row(0, texts[0], true)}, {SDLK_DOWN, SDLK_DOWN, SDLK_DOWN}},
        {{hint("NOT FULLY IMPLEMENTED - CHANGE AT YOUR OWN RISK", 5), hint(tens, 3),
          hint(hundreds, 2),
          hint("hold [left ctrl] + [left shift] + [left alt] to jump by thousands", 1)},
         {SDLK_DOWN, SDLK_DOWN}},
        {{hint("Volume is out of 128", 5), hint(tens, 3)}, {SDLK_DOWN}},
        {{hint("hold [left ctrl] to jump by .1", 5),
          hint("1.0 is normal, .5 is half speed, 2 is double speed, etc.", 3),
          hint("Has no effect on performance", 2)},
         {SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}},
    });
    EXPECT_EQ(settingsMenu(), 0);
}

TEST(Settings, AHeldKeyStepsAtMostOncePer50Ms) {
    // Frames are 33 ms apart; a change needs more than 50 ms since the last one.
    const std::vector<SDLKey> ctrlRight = {SDLK_LCTRL, SDLK_RIGHT}, both = {SDLK_RIGHT, SDLK_LEFT};
    // Width drawn, clock step before the next frame, keys held in it; what that frame does.
    const std::tuple<int, Uint32, std::vector<SDLKey>> frames[] = {
        {640, 0, ctrlRight},    // at 33 ms: none
        {640, 0, ctrlRight},    // 66: 650
        {640, 0, ctrlRight},    // 99: none
        {650, 0, ctrlRight},    // 132: 660
        {650, 500, ctrlRight},  // 665: one step only, 670
        {660, 17, ctrlRight},   // 715: exactly 50 ms, none
        {670, 0, {SDLK_RIGHT}}, // 748: 671 without Ctrl
        {670, 0, both},         // 781: none
        {671, 0, both},         // 814: Right wins, 672
        {671, 0, {}},           // 847: none
        {672, 0, {}},
    };
    startSettings();
    std::vector<std::function<void()>> steps;
    for (const auto& [width, ms, keys] : frames) {
        steps.push_back([w = width, ms = ms, keys = keys] {
            expectShown({row(0, "Screen Width: " + std::to_string(w), true)});
            advanceClock(ms);
            releaseAllKeys();
            std::for_each(keys.begin(), keys.end(), [](SDLKey k) { holdKey(k); });
        });
    }
    steps.push_back(press({SDLK_UP})); // to Cancel: the cursor wraps after the events
    steps.push_back(press({SDLK_RETURN}));
    scriptFrames(steps);
    settingsMenu();
}

// Limits refuse a step instead of clamping to them; Shift or Alt without Ctrl adds 1.
// Leaving on the speed row or on Cancel applies nothing.
TEST(Settings, StepsAndTheirLimits) {
    const SDLKey C = SDLK_LCTRL, S = SDLK_LSHIFT, A = SDLK_LALT, R = SDLK_RIGHT, L = SDLK_LEFT;
    const std::tuple<int, double, std::vector<SDLKey>, const char*, int> rows[] = {
        {0, 640, {C, R}, "Screen Width: 650", 8}, // row, in force, keys held, shown, left on
        {0, 640, {C, S, A, R}, "Screen Width: 740", 8},
        {3, 44100, {C, S, A, R}, "Sample Rate: 45100", 8},
        {3, 44100, {C, S, R}, "Sample Rate: 44200", 6},
        {3, 44100, {S, A, R}, "Sample Rate: 44101", 8},
        {1, 1, {L}, "Screen Height: 1", 8},
        {2, 5, {C, L}, "Sample Size: 5", 8},
        {4, 0, {L}, "Sound Volume: 0", 8},
        {4, 1, {L}, "Sound Volume: 0", 6},
        {5, 128, {R}, "Music Volume: 128", 8},
        {5, 127, {R}, "Music Volume: 128", 8},
        {5, 125, {C, R}, "Music Volume: 125", 8},
        {6, 0.01, {L}, "Game Speed: 0.01", 8},
        {6, 0.02, {L}, "Game Speed: 0.01", 6},
        {6, 1, {C, R}, "Game Speed: 1.1", 6},
        {6, 1, {C, L}, "Game Speed: 0.9", 8},
        {0, 640, {R, L}, "Screen Width: 641", 8},
    };
    startSettings();
    int* fields[6] = {&game.screenWidth, &game.screenHeight, &game.sampleSize,
                      &game.sampleRate,  &game.soundVolume,  &game.musicVolume};
    for (const auto& [r, inForce, keys, text, leaveRow] : rows) {
        if (r < 6) {
            *fields[r] = int(inForce);
        }
        game.gameSpeed = r == 6 ? float(inForce) : 1.0f;
        runEdits({{r, keys}}, leaveRow, {row(r, text, true)});
        EXPECT_FLOAT_EQ(r < 6 ? float(*fields[r]) : game.gameSpeed, float(inForce)) << text;
    }
    EXPECT_EQ(videoOpens + int(audioOpens.size()), 0);
}

TEST(Settings, ApplyingVolumesAndSpeedLeavesVideoImagesFontsAndDeviceAlone) {
    startSettings();
    const auto inForce = std::tuple(game.screen, game.background, game.largeFont);
    runEdits({{4, {SDLK_LCTRL, SDLK_LEFT}}, {5, {SDLK_LEFT}}, {6, {SDLK_RIGHT}}}, 7);
    EXPECT_EQ(
        std::tuple(game.soundVolume, Mix_Volume(-1, -1), game.musicVolume, Mix_VolumeMusic(-1)),
        std::tuple(118, 118, 127, 127));
    EXPECT_FLOAT_EQ(game.gameSpeed, 1.01f);
    EXPECT_EQ(videoOpens + int(audioOpens.size()), 0);
    EXPECT_EQ(std::tuple(game.screen, game.background, game.largeFont), inForce);
}

// 1040 x 780 has a diagonal of 1300: scale 0.65 against 0.4. The reports were rendered
// in the small font of then (12 points); the menus' fonts are 20, 35 and 50 points.
TEST(Settings, ApplyingANewSizeReloadsImagesAndFontsAtTheNewScale) {
    startSettings();
    loadImages(); // the real images of the data tree
    auto widths = [] {
        return std::vector<double>{double(game.planetImage->w), double(game.turretImage->w),
                                   double(game.asteroidImages[5]->w),
                                   double(game.shipImages[0].previewImage->w)};
    };
    std::vector<double> expected = widths();
    std::for_each(expected.begin(), expected.end(), [](double& w) { w *= 0.65 / 0.4; });
    videoModeOk = anyModeOk;
    showMessage("from before", 60000);
    const Edit wider = {0, {SDLK_LCTRL, SDLK_LSHIFT, SDLK_RIGHT}}, taller = {1, wider.second};
    runEdits({wider, wider, wider, wider, taller, taller, taller}, 7);
    EXPECT_EQ(std::tuple(videoOpens, game.screen->w, game.screen->h, game.background->h),
              std::tuple(1, 1040, 780, 780));
    EXPECT_DOUBLE_EQ(game.spriteScale + game.scaleX + game.scaleY, 3 * 0.65);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(widths()[i], expected[i], 2.0) << "image " << i;
    }
    EXPECT_EQ(std::tuple(TTF_FontHeight(game.smallFont), TTF_FontHeight(game.mediumFont),
                         TTF_FontHeight(game.largeFont)),
              std::tuple(24, 40, 57));
    game.smallFont = TTF_OpenFont("data/fonts/LiberationSans-Bold.ttf", 12);
    const std::vector<std::string> reports = {"Attempting to set up screen in windowed mode with "
                                              "1040x780 resolution and 32 Bit color depth",
                                              "Change in video mode succeeded"};
    EXPECT_EQ(messageTexts(reports), reports);
}

// A failed reopen falls back to the values in force; if that fails too, the game goes
// silent so the closed mixer is never touched.
TEST(Settings, ApplyingANewAudioFormatReopensTheDevice) {
    const std::vector<int> asked = {45100, AUDIO_S16LSB, 2, 3048},
                           old = {44100, AUDIO_S16LSB, 2, 2048};
    const std::tuple<int, std::vector<std::vector<int>>, int, int, int> rows[] = {
        {0, {asked}, 3048, 45100, 1}, // failures, opens asked for, size and rate in force, sound on
        {1, {asked, old}, 2048, 44100, 1},
        {2, {asked, old}, 2048, 44100, 0},
    };
    startSettings();
    const std::vector<SDLKey> thousand = {SDLK_LCTRL, SDLK_LSHIFT, SDLK_LALT, SDLK_RIGHT};
    for (const auto& [failures, opens, size, rate, on] : rows) {
        std::tie(game.sampleSize, game.sampleRate, game.soundsOn, game.musicOn, audioFailures) =
            std::tuple(2048, 44100, 1, 1, failures);
        audioOpens.clear();
        runEdits({{2, thousand}, {3, thousand}}, 7);
        EXPECT_EQ(audioOpens, opens);
        EXPECT_EQ(std::tuple(game.sampleSize, game.sampleRate, game.soundsOn, game.musicOn),
                  std::tuple(size, rate, on, on));
        EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), on) << failures;
        on ? 0 : Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048);
    }
}
