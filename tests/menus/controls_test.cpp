// The controls screens: device choice, the fire button, the five keys.
#include <gtest/gtest.h>

#include "menus/controls.h"
#include "menus/menu_fixture.h"
#include "support/virtual_joystick.h"
#include "world/players.h"

namespace {

// Joysticks are listed when SDL starts, so they are attached first; a case repeated
// within one process attaches only the ones still missing.
void startControls(int playerCount, int joysticks) {
    while (virtualJoystickCount() < joysticks) {
        ASSERT_GE(attachVirtualJoystick(), 0) << "SDL2 virtual joysticks unavailable";
    }
    game.fullscreen = 0;
    startMenuSession();
    game.playerCount = playerCount;
    createPlayers();
}

// Cases without joysticks need a process that attached none.
#define REQUIRE_NO_JOYSTICK()                                                                      \
    if (SDL_NumJoysticks() != 0) {                                                                 \
        GTEST_SKIP() << "joysticks attached by an earlier case in this process";                   \
    }

bool keyPromptShown(int player, const std::string& word) {
    return promptShown("Press key player " + std::to_string(player) + " will use for " + word);
}

bool deviceQuestionShown(int player) {
    return promptShown("What device will player " + std::to_string(player) + " use?");
}

bool optionShown(int d) {
    std::string text = "Keyboard";
    if (d > 0) {
        const char* name = SDL_JoystickName(d - 1);
        text = std::string(name != nullptr ? name : "") + " (joystick " + std::to_string(d) + ")";
    }
    return lineShown(game.mediumFont, text, game.textColour,
                     centredAt(0, [](int h) { return int(game.screenHeight / 2 - 0.5 * h); }));
}

bool fireButtonPromptShown(int player) {
    return promptShown("Press button player " + std::to_string(player) + " will use for Fire");
}

void expectKeys(const KeyBindings& k, const SDLKey (&want)[5]) {
    EXPECT_EQ(k.left, want[0]);
    EXPECT_EQ(k.right, want[1]);
    EXPECT_EQ(k.thrust, want[2]);
    EXPECT_EQ(k.reverse, want[3]);
    EXPECT_EQ(k.fire, want[4]);
}

const SDLKey kDefaultKeys[5] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_SPACE};

} // namespace

TEST(ControlsPrompt, WithoutAJoystickEscapeAtPlayer2sThirdKeyKeepsPlayer1) {
    startControls(2, 0);
    REQUIRE_NO_JOYSTICK();
    const SDLKey first[5] = {SDLK_a, SDLK_d, SDLK_w, SDLK_s, SDLK_f};
    const char* const words[5] = {"Left", "Right", "Up", "Down", "Fire"};
    std::vector<Look> looks;
    for (int k = 0; k < 5; ++k) {
        const std::string word = words[k];
        looks.push_back({[word]() {
                             EXPECT_TRUE(keyPromptShown(1, word));
                             EXPECT_FALSE(deviceQuestionShown(1));
                         },
                         {first[k]}});
    }
    // Player 2 goes straight to the keys as well; the keys so far are not stored.
    looks.push_back({[]() { EXPECT_TRUE(keyPromptShown(2, "Left")); }, {SDLK_j}});
    looks.push_back({[]() { EXPECT_TRUE(keyPromptShown(2, "Right")); }, {SDLK_l}});
    looks.push_back({[]() { EXPECT_TRUE(keyPromptShown(2, "Up")); }, {SDLK_ESCAPE}});
    scriptFrames(looksThenPresses(looks));
    EXPECT_EQ(controlsPrompt(), -1);
    expectKeys(game.players[0].keys, first);
    expectKeys(game.players[1].keys, kDefaultKeys);
    EXPECT_EQ(game.players[0].usesJoystick, 0);
    EXPECT_EQ(game.players[0].joystick, nullptr);
}

TEST(ControlsPrompt, PauseIsIgnoredAndAnyOtherKeyIsBound) {
    startControls(1, 0);
    REQUIRE_NO_JOYSTICK();
    scriptFrames(looksThenPresses({
        {nullptr, {SDLK_PAUSE}},
        {[]() { EXPECT_TRUE(keyPromptShown(1, "Left")); }, {SDLK_RETURN}},
        {[]() { EXPECT_TRUE(keyPromptShown(1, "Right")); }, {SDLK_a, SDLK_b}}, // the later one
        {nullptr, {SDLK_UP}},
        {nullptr, {SDLK_LSHIFT}},
        {[]() { EXPECT_TRUE(keyPromptShown(1, "Fire")); }, {SDLK_SPACE, SDLK_PAUSE}},
    }));
    EXPECT_EQ(controlsPrompt(), 0);
    expectKeys(game.players[0].keys, {SDLK_RETURN, SDLK_b, SDLK_UP, SDLK_LSHIFT, SDLK_SPACE});
}

TEST(ControlsPrompt, TwoJoysticksWrapBothWaysAndTheLowestHeldButtonFires) {
    startControls(2, 2);
    ASSERT_EQ(SDL_NumJoysticks(), 2);
    centreVirtualJoystick(1);
    auto option = [](int d) {
        return [d]() {
            EXPECT_TRUE(deviceQuestionShown(1));
            EXPECT_TRUE(optionShown(d)) << "option " << d;
        };
    };
    // Alt+Return toggles the full screen and chooses nothing.
    std::vector<std::function<void()>> steps = {[]() {
                                                    EXPECT_TRUE(optionShown(0));
                                                    holdKey(SDLK_LALT);
                                                    holdKey(SDLK_RETURN);
                                                    pushKeyDown(SDLK_RETURN);
                                                },
                                                releaseAllKeys,
                                                []() { EXPECT_EQ(game.fullscreen, 1); }};
    const std::vector<std::function<void()>> choice = looksThenPresses({
        {option(0), {SDLK_UP}},
        {option(2), {SDLK_DOWN}},
        {option(0), {SDLK_RIGHT}},
        {option(2), {SDLK_RIGHT}},
        {option(1), {SDLK_LEFT}},
        {option(2), {SDLK_LEFT}},
        {option(0), {SDLK_DOWN}},
        {option(1), {SDLK_DOWN, SDLK_RETURN}},
        {[]() { EXPECT_TRUE(fireButtonPromptShown(1)); }, {SDLK_RETURN, SDLK_a}},
        {[]() {
             EXPECT_TRUE(fireButtonPromptShown(1)); // keys do not answer it
             EXPECT_EQ(game.players[0].fireButton, -1);
             setVirtualButton(1, 5, true);
             setVirtualButton(1, 3, true);
         },
         {}},
        // The next player's choice opens on the keyboard again.
        {[]() {
             EXPECT_TRUE(deviceQuestionShown(2));
             EXPECT_TRUE(optionShown(0));
         },
         {SDLK_RETURN}},
        {[]() { EXPECT_TRUE(keyPromptShown(2, "Left")); }, {SDLK_ESCAPE}},
    });
    steps.insert(steps.end(), choice.begin(), choice.end());
    scriptFrames(steps);
    EXPECT_EQ(controlsPrompt(), -1);
    centreVirtualJoystick(1);
    const Player& p = game.players[0];
    EXPECT_EQ(p.usesJoystick, 1);
    ASSERT_NE(p.joystick, nullptr);
    EXPECT_EQ(SDL_JoystickIndex(p.joystick), 1);
    EXPECT_EQ(p.fireButton, 3);
    expectKeys(p.keys, kDefaultKeys);
    EXPECT_EQ(game.players[1].usesJoystick, 0);
}

TEST(OpenJoystick, OpensOnlyAJoystickThatExists) {
    startControls(1, 2);
    Player& p = game.players[0];
    openJoystick(p, 2);
    EXPECT_EQ(p.joystick, nullptr);
    openJoystick(p, 1);
    ASSERT_NE(p.joystick, nullptr);
    EXPECT_EQ(SDL_JoystickIndex(p.joystick), 1);
}
