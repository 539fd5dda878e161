// The settings menu: the cursor, held-key steps and their limits, and what Apply and
// Cancel put into force.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include "app/assets.h"
#include "app/game_state.h"
#include "app/video.h"
#include "menus/menu_fixture.h"
#include "menus/settings_menu.h"
#include "menus/settings_script.h"
#include "play/messages.h"

namespace {

// Row r of the menu shows `text` in the medium font, white when the cursor is on it.
bool rowShows(int row, const std::string& text, bool highlighted) {
    return lineShown(game.mediumFont, text, highlighted ? game.highlightColour : game.textColour,
                     centredAt(4, [row](int h) { return (4 + row) * h; }));
}

int videoOpens = 0;
SDL_Surface* countedVideoSurface(int width, int height, int bpp, Uint32 flags) {
    ++videoOpens;
    return SDL_SetVideoMode(width, height, bpp, flags);
}

struct AudioOpen {
    int frequency;
    Uint16 format;
    int channels;
    int chunkSize;
    bool operator==(const AudioOpen&) const = default;
};
std::vector<AudioOpen> audioOpens;
int audioFailures = 0; // the first this many opens fail
int fakeAudioOpen(int frequency, Uint16 format, int channels, int chunkSize) {
    audioOpens.push_back({frequency, format, channels, chunkSize});
    if (int(audioOpens.size()) <= audioFailures) {
        return -1;
    }
    // SDL writes past its buffer for a chunk that is not a power of two, so the device
    // opened here keeps the one it had: what the menu asked for is what is checked.
    return Mix_OpenAudio(frequency, format, channels, 2048);
}

bool mixerOpen() {
    return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0;
}

class Settings : public ::testing::Test {
  protected:
    void SetUp() override {
        // Repeats in one process start from the defaults and a closed mixer as well.
        game = GameState();
        while (mixerOpen()) {
            Mix_CloseAudio();
        }
        startMenuSession();
        videoOpens = 0;
        audioOpens.clear();
        audioFailures = 0;
        openVideoSurface = countedVideoSurface;
        openAudioDevice = fakeAudioOpen;
    }
    void TearDown() override {
        openVideoSurface = SDL_SetVideoMode;
        videoModeOk = SDL_VideoModeOK;
        openAudioDevice = Mix_OpenAudio;
    }
};

} // namespace

TEST_F(Settings, UpFromTheFirstRowSelectsCancelAndDownWrapsBack) {
    bool ranToTheEnd = false;
    // A key pressed after frame n is read in frame n + 1 and shown in frame n + 2.
    scriptFrames({[]() {
                      EXPECT_TRUE(rowShows(0, "Screen Width: 640", true));
                      press({SDLK_RETURN, SDLK_UP})(); // Return on row 0 does nothing
                  },
                  idle(),
                  []() {
                      EXPECT_TRUE(rowShows(8, "Cancel", true));
                      EXPECT_TRUE(rowShows(0, "Screen Width: 640", false));
                      press({SDLK_DOWN})();
                  },
                  idle(),
                  []() {
                      EXPECT_TRUE(rowShows(0, "Screen Width: 640", true));
                      EXPECT_TRUE(rowShows(8, "Cancel", false));
                      press({SDLK_UP})();
                  },
                  [&]() {
                      ranToTheEnd = true;
                      press({SDLK_RETURN})();
                  }});
    EXPECT_EQ(settingsMenu(), 0);
    EXPECT_TRUE(ranToTheEnd);
}

TEST_F(Settings, HeldCtrlRightStepsTheWidthByTensAtMostOncePer50Ms) {
    // Frames start 33 ms apart; a change needs more than 50 ms since the last one.
    struct Frame {
        int widthShown;           // drawn before the frame's own change
        Uint32 extraMs;           // the clock moves on by this before the next frame
        std::vector<SDLKey> keys; // held in the next frame
    };
    const std::vector<SDLKey> ctrlRight = {SDLK_LCTRL, SDLK_RIGHT};
    const std::vector<SDLKey> both = {SDLK_RIGHT, SDLK_LEFT};
    // On the right: the next frame's time since the menu opened, and its change.
    const std::vector<Frame> frames = {
        {640, 0, ctrlRight},    // 33: none
        {640, 0, ctrlRight},    // 66: 650
        {640, 0, ctrlRight},    // 99: 33 ms after the change, none
        {650, 0, ctrlRight},    // 132: 660
        {650, 500, ctrlRight},  // 665: one step only, 670
        {660, 17, ctrlRight},   // 715: exactly 50 ms, none
        {670, 0, {SDLK_RIGHT}}, // 748: 671 without Ctrl
        {670, 0, both},         // 781: none
        {671, 0, both},         // 814: Right wins, 672
        {671, 0, {}},           // 847: none
        {672, 0, {}},           // then Cancel
    };
    std::vector<std::function<void()>> steps;
    for (size_t i = 0; i < frames.size(); ++i) {
        steps.push_back([&frames, i]() {
            EXPECT_TRUE(rowShows(0, "Screen Width: " + std::to_string(frames[i].widthShown), true))
                << "frame " << i;
            advanceClock(frames[i].extraMs);
            holdOnly(frames[i].keys);
        });
    }
    steps.push_back(press({SDLK_UP})); // to Cancel
    steps.push_back(press({SDLK_RETURN}));
    holdOnly(ctrlRight);
    scriptFrames(steps);
    settingsMenu();
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(videoOpens, 0);
}

namespace {

struct StepCase {
    const char* name;
    int row;
    double inForce; // the row's value when the menu opens; negative: the default
    std::vector<SDLKey> keys;
    const char* shown;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

void setInForce(int row, double value) {
    int* const fields[6] = {&game.screenWidth, &game.screenHeight, &game.sampleSize,
                            &game.sampleRate,  &game.soundVolume,  &game.musicVolume};
    if (row < 6) {
        *fields[row] = int(value);
    } else {
        game.gameSpeed = float(value);
    }
}

const SDLKey kCtrl = SDLK_LCTRL, kShift = SDLK_LSHIFT, kAlt = SDLK_LALT;
const SDLKey kRight = SDLK_RIGHT, kLeft = SDLK_LEFT;

class SettingsStep : public Settings, public ::testing::WithParamInterface<StepCase> {};

} // namespace

TEST_P(SettingsStep, ShowsTheChangedValue) {
    const StepCase& c = GetParam();
    if (c.inForce >= 0) {
        setInForce(c.row, c.inForce);
    }
    bool checked = false;
    scriptFrames(editScript({{c.row, c.keys}}, 8, [&]() {
        checked = true;
        EXPECT_TRUE(rowShows(c.row, c.shown, true)) << c.shown;
    }));
    settingsMenu();
    EXPECT_TRUE(checked);
}

// Volumes refuse a step past their limits instead of clamping to them.
INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsStep,
    ::testing::Values(
        StepCase{"WidthCtrl", 0, -1, {kCtrl, kRight}, "Screen Width: 650"},
        StepCase{"WidthIgnoresAlt", 0, -1, {kCtrl, kShift, kAlt, kRight}, "Screen Width: 740"},
        StepCase{"RateThousands", 3, -1, {kCtrl, kShift, kAlt, kRight}, "Sample Rate: 45100"},
        StepCase{"RateHundreds", 3, -1, {kCtrl, kShift, kRight}, "Sample Rate: 44200"},
        StepCase{"RateShiftAltWithoutCtrl", 3, -1, {kShift, kAlt, kRight}, "Sample Rate: 44101"},
        StepCase{"HeightAtOneStays", 1, 1, {kLeft}, "Screen Height: 1"},
        StepCase{"SizeAtFiveRefusesTen", 2, 5, {kCtrl, kLeft}, "Sample Size: 5"},
        StepCase{"SoundAtZeroStays", 4, 0, {kLeft}, "Sound Volume: 0"},
        StepCase{"MusicAt128Stays", 5, -1, {kRight}, "Music Volume: 128"},
        StepCase{"MusicAt125RefusesTen", 5, 125, {kCtrl, kRight}, "Music Volume: 125"},
        StepCase{"MusicAt125TakesOne", 5, 125, {kRight}, "Music Volume: 126"},
        StepCase{"SpeedAtLeastStays", 6, 0.01, {kLeft}, "Game Speed: 0.01"},
        StepCase{"SpeedCtrl", 6, -1, {kCtrl, kRight}, "Game Speed: 1.1"},
        StepCase{"SpeedHundredth", 6, -1, {kRight}, "Game Speed: 1.01"},
        StepCase{"BothArrowsRightWins", 0, -1, {kRight, kLeft}, "Screen Width: 641"}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

namespace {

class SettingsLeave : public Settings, public ::testing::WithParamInterface<int> {};

} // namespace

TEST_P(SettingsLeave, ReturnOnTheSpeedRowOrCancelAppliesNothing) {
    bool edited = false;
    scriptFrames(
        editScript({{0, {SDLK_RIGHT}}, {4, {SDLK_LEFT}}, {6, {SDLK_RIGHT}}}, GetParam(), [&]() {
            edited = rowShows(0, "Screen Width: 641", false) &&
                     rowShows(4, "Sound Volume: 127", false) &&
                     rowShows(6, "Game Speed: 1.01", true);
        }));
    EXPECT_EQ(settingsMenu(), 0);
    EXPECT_TRUE(edited);
    EXPECT_EQ(game.screenWidth, 640);
    EXPECT_EQ(game.soundVolume, 128);
    EXPECT_EQ(game.gameSpeed, 1.0f);
    EXPECT_EQ(Mix_Volume(-1, -1), 128);
    EXPECT_EQ(videoOpens, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsLeave, ::testing::Values(6, 8));

TEST_F(Settings, ApplyingOnlyVolumesLeavesVideoImagesFontsAndAudioDeviceAlone) {
    SDL_Surface* const screen = game.screen;
    SDL_Surface* const background = game.background;
    SDL_Surface* const ship = game.shipImages[0].shipImage;
    SDL_Surface* const asteroid = game.asteroidImages[5];
    TTF_Font* const fonts[3] = {game.smallFont, game.mediumFont, game.largeFont};
    scriptFrames(
        editScript({{4, {SDLK_LCTRL, SDLK_LEFT}}, {5, {SDLK_LEFT}}, {6, {SDLK_RIGHT}}}, 7));
    EXPECT_EQ(settingsMenu(), 0);
    EXPECT_EQ(game.soundVolume, 118);
    EXPECT_EQ(game.musicVolume, 127);
    EXPECT_EQ(Mix_Volume(-1, -1), 118);
    EXPECT_EQ(Mix_VolumeMusic(-1), 127);
    EXPECT_FLOAT_EQ(game.gameSpeed, 1.01f);
    EXPECT_EQ(videoOpens, 0);
    EXPECT_TRUE(audioOpens.empty());
    EXPECT_EQ(game.screen, screen);
    EXPECT_EQ(game.background, background);
    EXPECT_EQ(game.shipImages[0].shipImage, ship);
    EXPECT_EQ(game.asteroidImages[5], asteroid);
    EXPECT_EQ(game.smallFont, fonts[0]);
    EXPECT_EQ(game.mediumFont, fonts[1]);
    EXPECT_EQ(game.largeFont, fonts[2]);
}

namespace {

// Reloading needs the real images: a copy of the generated tree as working directory.
class SettingsOnTree : public Settings {
  protected:
    void SetUp() override {
        tree = copyDataTree();
        ASSERT_FALSE(tree.empty());
        ASSERT_EQ(chdir(tree.c_str()), 0);
        Settings::SetUp();
        loadImages();
    }
    void TearDown() override {
        Settings::TearDown();
        ASSERT_EQ(chdir(sourceDir().c_str()), 0);
        removeTree(tree);
    }
    std::string tree;
};

int fontHeight(int points) {
    TTF_Font* f = TTF_OpenFont("data/fonts/LiberationSans-Bold.ttf", points);
    const int h = TTF_FontHeight(f);
    TTF_CloseFont(f);
    return h;
}

// The reports were rendered before the fonts grew: read them in the small font of then.
std::vector<std::string> messagesInSmallFont(int points,
                                             const std::vector<std::string>& candidates) {
    TTF_Font* const inForce = game.smallFont;
    game.smallFont = TTF_OpenFont("data/fonts/LiberationSans-Bold.ttf", points);
    const std::vector<std::string> texts = messageTexts(candidates);
    TTF_CloseFont(game.smallFont);
    game.smallFont = inForce;
    return texts;
}

std::vector<SDL_Surface*> scaledImages() {
    std::vector<SDL_Surface*> all = {game.planetImage,          game.shipBulletImage,
                                     game.largeShipBulletImage, game.turretBulletImage,
                                     game.turretImage,          game.crosshairImage};
    for (int size = 1; size <= 5; ++size) {
        all.push_back(game.asteroidImages[size]);
    }
    for (const ShipImageSet& set : game.shipImages) {
        all.push_back(set.shipImage);
        all.push_back(set.previewImage);
    }
    return all;
}

} // namespace

TEST_F(SettingsOnTree, ApplyingANewSizeReloadsImagesAndFontsAtTheNewScale) {
    std::vector<int> widthsBefore;
    for (SDL_Surface* s : scaledImages()) {
        widthsBefore.push_back(s->w);
    }
    videoModeOk = anyModeOk;
    showMessage("from before", 60000);
    const Edit hundredWider = {0, {SDLK_LCTRL, SDLK_LSHIFT, SDLK_RIGHT}};
    const Edit hundredTaller = {1, {SDLK_LCTRL, SDLK_LSHIFT, SDLK_RIGHT}};
    scriptFrames(editScript({hundredWider, hundredWider, hundredWider, hundredWider, hundredTaller,
                             hundredTaller, hundredTaller},
                            7));
    const int bpp = game.screenBpp;
    EXPECT_EQ(settingsMenu(), 0);

    ASSERT_EQ(game.screenWidth, 1040);
    ASSERT_EQ(game.screenHeight, 780);
    EXPECT_EQ(game.screen->w, 1040);
    EXPECT_EQ(game.screen->h, 780);
    EXPECT_EQ(videoOpens, 1);
    const std::string attempt = "Attempting to set up screen in windowed mode with 1040x780 "
                                "resolution and " +
                                std::to_string(bpp) + " Bit color depth";
    const std::string done = "Change in video mode succeeded";
    ASSERT_EQ(game.messages.size(), 2u);
    EXPECT_EQ(messagesInSmallFont(480 * 20 / 768, {attempt, done}),
              (std::vector<std::string>{attempt, done}));

    // 1040 x 780 has a diagonal of 1300: scale 0.65, against 0.4 at 640 x 480.
    EXPECT_DOUBLE_EQ(game.spriteScale, 0.65);
    EXPECT_DOUBLE_EQ(game.scaleX, 0.65);
    EXPECT_DOUBLE_EQ(game.scaleY, 0.65);
    EXPECT_EQ(game.background->w, 1040);
    EXPECT_EQ(game.background->h, 780);
    const std::vector<SDL_Surface*> after = scaledImages();
    ASSERT_EQ(after.size(), widthsBefore.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_NEAR(after[i]->w, widthsBefore[i] * 0.65 / 0.4, 2.0) << "image " << i;
    }
    // The loading screen reopens the medium font at its own size: the menu's come after.
    EXPECT_EQ(TTF_FontHeight(game.smallFont), fontHeight(20));
    EXPECT_EQ(TTF_FontHeight(game.mediumFont), fontHeight(35));
    EXPECT_EQ(TTF_FontHeight(game.largeFont), fontHeight(50));
}

namespace {

struct AudioCase {
    const char* name;
    int failures;
    std::vector<AudioOpen> opens;
    int sizeInForce;
    int rateInForce;
    int switchedOn; // soundsOn and musicOn afterwards
    bool deviceOpen;
};

void PrintTo(const AudioCase& c, std::ostream* os) {
    *os << c.name;
}

class SettingsAudio : public Settings, public ::testing::WithParamInterface<AudioCase> {};

const AudioOpen kNewSpec = {45100, AUDIO_S16LSB, 2, 3048};
const AudioOpen kOldSpec = {44100, AUDIO_S16LSB, 2, 2048};

} // namespace

TEST_P(SettingsAudio, ApplyingANewFormatReopensTheDevice) {
    const AudioCase& c = GetParam();
    audioFailures = c.failures;
    game.musicOn = 1;
    const std::vector<SDLKey> thousand = {SDLK_LCTRL, SDLK_LSHIFT, SDLK_LALT, SDLK_RIGHT};
    scriptFrames(editScript({{2, thousand}, {3, thousand}}, 7));
    EXPECT_EQ(settingsMenu(), 0);
    EXPECT_EQ(audioOpens, c.opens);
    EXPECT_EQ(game.sampleSize, c.sizeInForce);
    EXPECT_EQ(game.sampleRate, c.rateInForce);
    EXPECT_EQ(game.soundsOn, c.switchedOn);
    EXPECT_EQ(game.musicOn, c.switchedOn);
    EXPECT_EQ(mixerOpen(), c.deviceOpen);
    EXPECT_EQ(videoOpens, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Opens, SettingsAudio,
    ::testing::Values(
        AudioCase{"Succeeds", 0, {kNewSpec}, 3048, 45100, 1, true},
        AudioCase{"FailsThenOldValuesOpen", 1, {kNewSpec, kOldSpec}, 2048, 44100, 1, true},
        AudioCase{"FailsTwiceAndGoesSilent", 2, {kNewSpec, kOldSpec}, 2048, 44100, 0, false}),
    [](const ::testing::TestParamInfo<AudioCase>& info) { return std::string(info.param.name); });
