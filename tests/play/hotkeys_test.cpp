#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <string>
#include <vector>

#include "app/game_state.h"
#include "play/game_loop.h"
#include "play/hotkeys.h"
#include "play/messages.h"
#include "play/play_fixture.h"
#include "world/asteroids.h"
#include "world/objects.h"

namespace {

class Hotkeys : public ::testing::Test {
  protected:
    void SetUp() override {
        startPlaySession();
    }

    // Handles one key as the game loop does, with or without Alt held.
    bool press(SDLKey key, bool alt = true) {
        holdKey(SDLK_LALT, alt);
        const bool ends = handleGameKey(key, remaining);
        holdKey(SDLK_LALT, false);
        return ends;
    }

    // The only message posted since the queue was last emptied.
    std::string posted() {
        if (game.messages.size() != 1) {
            return "<" + std::to_string(game.messages.size()) + " messages>";
        }
        const std::string text = said;
        return messageSays(0, text) ? text : "<other>";
    }

    // Presses `key` with Alt and checks it posted exactly `text` for 3000 ms.
    void expectPosts(SDLKey key, const std::string& text) {
        clearMessages();
        said = text;
        press(key);
        EXPECT_EQ(posted(), text);
        if (!game.messages.empty()) {
            EXPECT_EQ(game.messages[0].durationMs, 3000u);
        }
    }

    void expectSilent(SDLKey key, bool alt = true) {
        clearMessages();
        press(key, alt);
        EXPECT_TRUE(game.messages.empty()) << "key " << int(key);
    }

    void addAsteroidsAndPlanet() {
        game.bodies.push_back(makePlanet(100, 100, 5));
        game.bodies.push_back(makeAsteroid(300, 300, 0, 0, 0, 4, 3, 1.1f));
        game.bodies.push_back(makeAsteroid(500, 300, 0, 0, 0, 4, 3, 1.1f));
    }

    std::vector<int> aliveFlags() {
        std::vector<int> out;
        for (const Body& b : game.bodies) {
            out.push_back(b.alive);
        }
        return out;
    }

    int remaining = 5;
    std::string said;
};

} // namespace

TEST_F(Hotkeys, MaxVariableFramerateDownStopsAtOne) {
    expectPosts(SDLK_MINUS, "Max Variable Framerate set to 59");
    EXPECT_EQ(game.maxVariableFrameCap, 59);
    game.maxVariableFrameCap = 1;
    expectSilent(SDLK_MINUS);
    EXPECT_EQ(game.maxVariableFrameCap, 1);
}

TEST_F(Hotkeys, MaxVariableFramerateUpHasNoLimit) {
    game.maxVariableFrameCap = 500;
    expectPosts(SDLK_EQUALS, "Max Variable Framerate set to 501");
}

TEST_F(Hotkeys, AltZeroSavesAndRestoresTheCap) {
    game.frameCap = 25;
    expectPosts(SDLK_0, "Maximum Speed enabled");
    EXPECT_EQ(game.maxSpeedOn, 1);
    EXPECT_EQ(game.savedFrameCap, 25);
    game.frameCap = 57;
    expectPosts(SDLK_0, "Maximum Speed disabled");
    EXPECT_EQ(game.maxSpeedOn, 0);
    EXPECT_EQ(game.frameCap, 25);
}

TEST_F(Hotkeys, KeypadChangesTheCapDownToOne) {
    expectPosts(SDLK_KP_PLUS, "Frames Per Second set to 31");
    expectPosts(SDLK_KP_MINUS, "Frames Per Second set to 30");
    game.frameCap = 1;
    expectSilent(SDLK_KP_MINUS);
    EXPECT_EQ(game.frameCap, 1);
}

TEST_F(Hotkeys, KeypadIsLockedUnderMaximumSpeed) {
    game.maxSpeedOn = 1;
    expectSilent(SDLK_KP_PLUS);
    expectSilent(SDLK_KP_MINUS);
    EXPECT_EQ(game.frameCap, 30);
}

TEST_F(Hotkeys, TogglesConfirmTheNewValue) {
    expectPosts(SDLK_u, "Framerate capping disabled");
    EXPECT_EQ(game.frameCapOn, 0);
    expectPosts(SDLK_u, "Framerate capping enabled");
    expectPosts(SDLK_f, "FPS display disabled");
    EXPECT_EQ(game.fpsDisplayOn, 0);
    expectPosts(SDLK_f, "FPS display enabled");
    expectPosts(SDLK_q, "Crosshair display disabled");
    EXPECT_EQ(game.crosshairOn, 0);
    expectPosts(SDLK_q, "Crosshair display enabled");
    expectPosts(SDLK_s, "Sounds OFF");
    EXPECT_EQ(game.soundsOn, 0);
    expectPosts(SDLK_s, "Sounds ON");
    EXPECT_EQ(game.soundsOn, 1);
}

TEST_F(Hotkeys, MusicToggleConfirmsEvenWithoutFiles) {
    game.musicOn = 1;
    expectPosts(SDLK_m, "Music OFF");
    EXPECT_EQ(game.musicOn, 0);
}

TEST_F(Hotkeys, TeamAttackFlipsEveryShipAndFollowsTheFirst) {
    addPlayer();
    game.players[1].ship.teamAttack = 1;
    expectPosts(SDLK_w, "Team attack ON");
    EXPECT_EQ(game.players[0].ship.teamAttack, 1);
    EXPECT_EQ(game.players[1].ship.teamAttack, 0);
    expectPosts(SDLK_w, "Team attack OFF");
}

TEST_F(Hotkeys, TeamAttackWithNoPlayersDoesNothing) {
    game.players.clear();
    expectSilent(SDLK_w);
}

TEST_F(Hotkeys, SkipEndsTheLevelAndKillsOnlyAsteroids) {
    addAsteroidsAndPlanet();
    expectSilent(SDLK_p);
    EXPECT_EQ(remaining, 0);
    EXPECT_EQ(aliveFlags(), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(game.level, 1);
}

TEST_F(Hotkeys, BackGoesTwoDownButNotOnLevelOne) {
    addAsteroidsAndPlanet();
    expectSilent(SDLK_o);
    EXPECT_EQ(remaining, 5);
    EXPECT_EQ(aliveFlags(), (std::vector<int>{1, 1, 1}));
    game.level = 4;
    expectSilent(SDLK_o);
    EXPECT_EQ(game.level, 2);
    EXPECT_EQ(remaining, 0);
    EXPECT_EQ(aliveFlags(), (std::vector<int>{1, 0, 0}));
}

TEST_F(Hotkeys, EasierRestartsTheLevelButNotBelowOne) {
    addAsteroidsAndPlanet();
    expectSilent(SDLK_k);
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(remaining, 5);
    game.difficulty = 3;
    game.level = 5;
    expectPosts(SDLK_k, "Difficulty level set to 2");
    EXPECT_EQ(game.level, 4);
    EXPECT_EQ(remaining, 0);
    EXPECT_EQ(aliveFlags(), (std::vector<int>{1, 0, 0}));
}

TEST_F(Hotkeys, HarderKeepsTheCountForOneMoreFrame) {
    addAsteroidsAndPlanet();
    game.level = 3;
    expectSilent(SDLK_l);
    EXPECT_EQ(game.difficulty, 2);
    EXPECT_EQ(game.level, 2);
    EXPECT_EQ(remaining, 5);
    EXPECT_EQ(aliveFlags(), (std::vector<int>{1, 0, 0}));
}

TEST_F(Hotkeys, EscapeEndsTheGameAndEmptiesShotsAndParticles) {
    game.bullets.push_back(Bullet{});
    game.particles.push_back(Particle{});
    addAsteroidsAndPlanet();
    EXPECT_TRUE(press(SDLK_ESCAPE, false));
    EXPECT_TRUE(game.bullets.empty());
    EXPECT_TRUE(game.particles.empty());
    EXPECT_EQ(game.bodies.size(), 3u);
}

TEST_F(Hotkeys, PauseTogglesWithItsMessage) {
    clearMessages();
    said = "Game paused";
    EXPECT_FALSE(press(SDLK_PAUSE, false));
    EXPECT_EQ(posted(), "Game paused");
    EXPECT_EQ(game.paused, 1);
    clearMessages();
    said = "Game unpaused";
    press(SDLK_PAUSE, false);
    EXPECT_EQ(posted(), "Game unpaused");
    EXPECT_EQ(game.paused, 0);
}

TEST_F(Hotkeys, EscapeAndPauseDoNothingWithAlt) {
    game.bullets.push_back(Bullet{});
    EXPECT_FALSE(press(SDLK_ESCAPE, true));
    expectSilent(SDLK_PAUSE, true);
    EXPECT_EQ(game.paused, 0);
    EXPECT_EQ(game.bullets.size(), 1u);
}

TEST_F(Hotkeys, RightAltCountsToo) {
    holdKey(SDLK_RALT);
    clearMessages();
    handleGameKey(SDLK_f, remaining);
    EXPECT_EQ(game.fpsDisplayOn, 0);
}

TEST_F(Hotkeys, TableKeysDoNothingWithoutAlt) {
    addAsteroidsAndPlanet();
    for (SDLKey key :
         {SDLK_MINUS, SDLK_EQUALS, SDLK_0, SDLK_KP_PLUS, SDLK_KP_MINUS, SDLK_u, SDLK_f, SDLK_q,
          SDLK_s, SDLK_m, SDLK_n, SDLK_3, SDLK_w, SDLK_p, SDLK_o, SDLK_k, SDLK_l, SDLK_a}) {
        EXPECT_FALSE(press(key, false));
        EXPECT_TRUE(game.messages.empty() || game.messages.size() == 0);
    }
    EXPECT_EQ(game.frameCap, 30);
    EXPECT_EQ(game.maxVariableFrameCap, 60);
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(remaining, 5);
    EXPECT_EQ(aliveFlags(), (std::vector<int>{1, 1, 1}));
}

TEST_F(Hotkeys, UnknownAltKeysAreIgnored) {
    expectSilent(SDLK_a);
    expectSilent(SDLK_7);
    expectSilent(SDLK_ESCAPE);
}

// ---- Through the game loop

namespace {

int playScript(std::vector<std::function<void()>> steps) {
    runScriptOnSleeps(std::move(steps), []() { pushQuit(); });
    return runGame();
}

} // namespace

TEST(HotkeysInPlay, SkipOnLevelThreeStartsLevelFour) {
    startPlaySession();
    game.level = 3;
    playScript({[]() { pushAltKey(SDLK_p); }, []() {}});
    EXPECT_EQ(game.level, 4);
    EXPECT_EQ(countShown("Starting Level 4"), 1);
}

TEST(HotkeysInPlay, HarderEndsTheLevelOneFrameLater) {
    startPlaySession();
    int levelSeen = 0;
    playScript({
        []() { pushAltKey(SDLK_l); },                            // handled in frame 2
        [&]() { levelSeen = game.level; },                       // frame 2 still counted them
        [&]() { EXPECT_EQ(countShown("Starting Level 1"), 1); }, // frame 3 counted none
        []() {},
    });
    EXPECT_EQ(levelSeen, 0);
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(game.difficulty, 2);
    EXPECT_EQ(countShown("Starting Level 1"), 2);
}

TEST(HotkeysInPlay, HarderWhilePausedWaitsForTheUnpause) {
    startPlaySession();
    game.paused = 1;
    std::vector<std::function<void()>> steps = {[]() { pushAltKey(SDLK_l); }};
    for (int i = 0; i < 10; ++i) {
        steps.push_back([]() { EXPECT_EQ(game.level, 0) << "level ended while paused"; });
    }
    steps.push_back([]() {
        releaseAllKeys();
        pushKeyDown(SDLK_PAUSE);
    });
    steps.push_back([]() {}); // frame with the world step
    steps.push_back([]() {}); // frame that counts none
    steps.push_back([]() {});
    playScript(steps);
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(countShown("Starting Level 1"), 2);
}
