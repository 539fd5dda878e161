// The hotkeys and the music they and the game choose.
#include <unistd.h>

#include <cstdlib>
#include <tuple>

#include "play/hotkeys.h"
#include "play/music.h"
#include "play/play.h"
#include "world/asteroids.h"

namespace {

// What the hotkeys touch; `rocks` counts live asteroids, `shots` bullets and particles.
struct Knobs {
    int vcap = 60, cap = 30, saved = 30, speed = 0, capOn = 1, fps = 1, cross = 1, sounds = 1;
    int music = 0, paused = 0, level = 1, diff = 1, left = 5, team0 = 0, team1 = 1;
    size_t rocks = 2, shots = 2;
    bool operator==(const Knobs&) const = default;
    auto tie() {
        return std::tie(vcap, cap, saved, speed, capOn, fps, cross, sounds, music, paused, level,
                        diff, team0, team1);
    }
};
auto tieGame() {
    return std::tie(game.maxVariableFrameCap, game.frameCap, game.savedFrameCap, game.maxSpeedOn,
                    game.frameCapOn, game.fpsDisplayOn, game.crosshairOn, game.soundsOn,
                    game.musicOn, game.paused, game.level, game.difficulty,
                    game.players[0].ship.teamAttack, game.players[1].ship.teamAttack);
}
Knobs read(int left) {
    Knobs k{.left = left, .shots = game.bullets.size() + game.particles.size()};
    k.tie() = tieGame();
    k.rocks = size_t(std::count_if(game.bodies.begin(), game.bodies.end(),
                                   [](const Body& b) { return b.kind == asteroid && b.alive; }));
    return k;
}
int set(Knobs k) {
    tieGame() = k.tie();
    game.bodies = {makePlanet(100, 100, 5), makeAsteroid(300, 300, 0, 0, 0, 4, 3, 1.1f),
                   makeAsteroid(500, 300, 0, 0, 0, 4, 3, 1.1f)};
    game.bullets = {Bullet{}};
    game.particles = {Particle{}};
    clearMessages();
    releaseAllKeys();
    return k.left;
}
const SDLKey A = SDLK_LALT, none = SDLK_UNKNOWN;
// clang-format off
struct Row { SDLKey alt, key; Knobs before; const char* says; Knobs after; bool ends = false; };
const Row kRows[] = {
    {A, SDLK_MINUS, {}, "Max Variable Framerate set to 59", {.vcap = 59}},
    {A, SDLK_MINUS, {.vcap = 2}, "Max Variable Framerate set to 1", {.vcap = 1}},
    {A, SDLK_MINUS, {.vcap = 1}, "", {.vcap = 1}},
    {A, SDLK_EQUALS, {.vcap = 500}, "Max Variable Framerate set to 501", {.vcap = 501}},
    {A, SDLK_0, {.cap = 25}, "Maximum Speed enabled", {.cap = 25, .saved = 25, .speed = 1}},
    {A, SDLK_0, {.cap = 57, .saved = 25, .speed = 1}, "Maximum Speed disabled", {.cap = 25, .saved = 25}},
    {A, SDLK_KP_PLUS, {}, "Frames Per Second set to 31", {.cap = 31}},
    {A, SDLK_KP_MINUS, {}, "Frames Per Second set to 29", {.cap = 29}},
    {A, SDLK_KP_MINUS, {.cap = 2}, "Frames Per Second set to 1", {.cap = 1}},
    {A, SDLK_KP_MINUS, {.cap = 1}, "", {.cap = 1}},
    {A, SDLK_KP_PLUS, {.speed = 1}, "", {.speed = 1}},
    {A, SDLK_KP_MINUS, {.speed = 1}, "", {.speed = 1}},
    {A, SDLK_u, {}, "Framerate capping disabled", {.capOn = 0}},
    {A, SDLK_u, {.capOn = 0}, "Framerate capping enabled", {}},
    {A, SDLK_f, {}, "FPS display disabled", {.fps = 0}},
    {SDLK_RALT, SDLK_f, {.fps = 0}, "FPS display enabled", {}},
    {A, SDLK_q, {}, "Crosshair display disabled", {.cross = 0}},
    {A, SDLK_q, {.cross = 0}, "Crosshair display enabled", {}},
    {A, SDLK_s, {}, "Sounds OFF", {.sounds = 0}},
    {A, SDLK_s, {.sounds = 0}, "Sounds ON", {}},
    {A, SDLK_m, {.music = 1}, "Music OFF", {}},
    {A, SDLK_w, {}, "Team attack ON", {.team0 = 1, .team1 = 0}},
    {A, SDLK_w, {.team0 = 1, .team1 = 0}, "Team attack OFF", {}},
    {A, SDLK_p, {}, "", {.left = 0, .rocks = 0}},
    {A, SDLK_o, {}, "", {}},
    {A, SDLK_o, {.level = 2}, "", {.level = 0, .left = 0, .rocks = 0}},
    {A, SDLK_o, {.level = 4}, "", {.level = 2, .left = 0, .rocks = 0}},
    {A, SDLK_k, {}, "", {}},
    {A, SDLK_k, {.diff = 2}, "Difficulty level set to 1", {.level = 0, .left = 0, .rocks = 0}},
    {A, SDLK_k, {.level = 5, .diff = 3}, "Difficulty level set to 2", {.level = 4, .diff = 2, .left = 0, .rocks = 0}},
    {A, SDLK_l, {.level = 3}, "", {.level = 2, .diff = 2, .rocks = 0}}, // the count drops next frame
    {A, SDLK_7, {}, "", {}},
    {A, SDLK_ESCAPE, {}, "", {}},
    {A, SDLK_PAUSE, {}, "", {}},
    {none, SDLK_ESCAPE, {}, "", {.shots = 0}, true},
    {none, SDLK_PAUSE, {}, "Game paused", {.paused = 1}},
    {none, SDLK_PAUSE, {.paused = 1}, "Game unpaused", {}},
};
// clang-format on

} // namespace

// The settings before, the key with or without Alt, the one message and the settings after.
TEST(Hotkeys, EachKeyChangesItsSettingAndSaysSo) {
    startPlay(2);
    for (const Row& r : kRows) {
        SCOPED_TRACE(testing::Message() << "key " << r.key << " alt " << r.alt);
        int left = set(r.before);
        holdKey(r.alt);
        EXPECT_EQ(handleGameKey(r.key, left), r.ends);
        EXPECT_TRUE(read(left) == r.after);
        EXPECT_TRUE(*r.says ? game.messages.size() == 1 && messageSays(0, r.says) &&
                                  game.messages[0].durationMs == 3000
                            : game.messages.empty());
        left = set(r.before); // without Alt only Escape and Pause count
        if (r.alt != none && r.key != SDLK_ESCAPE && r.key != SDLK_PAUSE) {
            EXPECT_TRUE(!handleGameKey(r.key, left) && read(left) == r.before &&
                        game.messages.empty());
        }
    }
}

// Music on, the piece before, an Alt key or playMusicTrack's arguments, the seed of rand
// (0: no data tree), the messages and whether music plays after.
// clang-format off
struct MusicRow { int on, before; SDLKey key; int force, track, announce; unsigned seed; const char* says[2]; int playing; };
const MusicRow kMusicRows[] = {
    {1, 0, none, 0, 7, 0, 1, {}, 1},
    {1, 7, none, 0, 7, 1, 1, {}, 1},
    {1, 0, none, 0, 7, 1, 1, {"Song changed to title track"}, 1},
    {1, 3, none, 1, 5, 1, 1, {"Song changed to track 5"}, 1},
    {1, 0, none, 1, 8, 1, 1, {"Song changed to track 1"}, 1},
    {1, 0, none, 1, 0, 1, 11, {"Song changed to track 6"}, 1}, // rand() 1989311423
    {1, 0, none, 1, 0, 1, 6, {"Song changed to track 4"}, 1},  // rand() 290852541
    {1, 0, none, 1, 2, 1, 0, {}, 0},
    {0, 4, none, 0, 7, 1, 1, {}, 0}, // music off stops what plays
    {1, 0, SDLK_1, 0, 0, 0, 1, {"Song changed to track 1"}, 1},
    {1, 4, SDLK_6, 0, 0, 0, 1, {"Song changed to track 6"}, 1},
    {1, 4, SDLK_n, 0, 0, 0, 12, {"Song changed to track 3"}, 1}, // rand() 1687063760
    {0, 0, SDLK_3, 0, 0, 0, 1, {}, 0},
    {0, 0, SDLK_n, 0, 0, 0, 1, {}, 0},
    {1, 4, SDLK_m, 0, 0, 0, 1, {"Music OFF"}, 0},
    {0, 0, SDLK_m, 0, 0, 0, 8, {"Song changed to track 5", "Music ON"}, 1}, // 757547896
};
// clang-format on

TEST(Playlist, EachCallAndKeyPlaysItsTrack) {
    startPlay();
    for (const MusicRow& r : kMusicRows) {
        SCOPED_TRACE(testing::Message() << r.before << " key " << r.key << " track " << r.track);
        ASSERT_EQ(chdir(r.seed ? sourceDir().c_str() : "/"), 0);
        advanceClock(5000); // what was halted may start again unasked
        game.musicOn = 1;
        r.before ? playMusicTrack(1, r.before, 0) : void(Mix_HaltMusic());
        game.musicOn = r.on;
        clearMessages();
        std::srand(r.seed);
        int left = 1;
        holdKey(SDLK_LALT);
        r.key ? void(handleGameKey(r.key, left)) : playMusicTrack(r.force, r.track, r.announce);
        EXPECT_EQ(Mix_PlayingMusic(), r.playing);
        ASSERT_EQ(game.messages.size(), r.says[1] ? 2u : r.says[0] ? 1u : 0u);
        for (size_t i = 0; i < game.messages.size(); ++i) {
            EXPECT_TRUE(messageSays(i, r.says[i]) && game.messages[i].durationMs == 3000) << i;
        }
    }
}
