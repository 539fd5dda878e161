// The title menu and the state machine around it, the new-game prompts, the controls.
#include <cmath>
#include <map>
#include <tuple>

#include "menus/controls.h"
#include "menus/menu_fixture.h"
#include "menus/menu_frame.h"
#include "menus/new_game.h"
#include "menus/title_menu.h"
#include "play/messages.h"
#include "support/virtual_joystick.h"
#include "world/players.h"

namespace {

Line large(const std::string& text, int y, int shift = 0) {
    return {2, text, 'b', shift, y};
}

Line keyPrompt(int player, const char* word) {
    return large("Press key player " + std::to_string(player) + " will use for " + word, 168);
}

Line shipQuestion(int player) {
    return large("What ship will player " + std::to_string(player) + " use?", 114);
}

void startPrompts(int playerCount) {
    startMenuSession();
    game.playerCount = playerCount;
    createPlayers();
}

std::vector<int> keysOf(const Player& p) {
    return {p.keys.left, p.keys.right, p.keys.thrust, p.keys.reverse, p.keys.fire};
}

} // namespace

TEST(MenuFrame, TitleOverItsShadowAndTheFieldDrifting) {
    startMenuSession();
    fillScreen(0, 0, 255);
    drawTitle();
    expectShown({large("STELLAROX", 12), {2, "STELLAROX", 'g', 4, 16}});
    const std::vector<Body> before = game.bodies;
    scriptFrames({press({SDLK_RETURN})});
    difficultyPrompt();
    int moved = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        moved += before[i].x != game.bodies[i].x || before[i].y != game.bodies[i].y;
    }
    EXPECT_GT(moved, 0);
}

TEST(MenuFrame, CapWaitSleepsWhatIsLeftOfTheBudget) {
    const std::tuple<int, int, Uint32, Uint32, Uint32, std::vector<Uint32>> rows[] = {
        {30, 1, 4990, 5000, 0, {23}}, // cap, on, frame start, now, clock step per read, sleeps
        {30, 1, 4960, 5000, 0, {}},   {30, 0, 5000, 5000, 0, {}}, {1, 1, 0xFFFFFFF0u, 5, 0, {979}},
        {30, 1, 5000, 5010, 40, {}}, // 50 ms at the second reading
    };
    startMenuSession();
    for (const auto& [cap, on, start, now, perRead, sleeps] : rows) {
        runScriptOnSleeps({});
        std::tie(game.frameCap, game.frameCapOn, clockSeam.advancePerRead) =
            std::tuple(cap, on, perRead);
        setManualClock(now);
        frameCapWait(start);
        EXPECT_EQ(sleepLog(), sleeps) << start;
    }
}

// Return with an Alt key held confirms no prompt; with Return held it toggles the screen.
TEST(MenuFrame, AltReturnDoesNotConfirm) {
    const std::tuple<int (*)(), SDLKey, bool> rows[] = {
        {[]() { return titleMenu(), 0; }, SDLK_LALT, true},
        {playerCountPrompt, SDLK_RALT, false},
        {difficultyPrompt, SDLK_LALT, true},
        {shipPrompt, SDLK_RALT, true},
    };
    startPrompts(1);
    for (const auto& [run, alt, toggles] : rows) {
        const int fullscreen = game.fullscreen;
        scriptFrames({[a = alt, t = toggles] {
                          holdKey(a), holdKey(SDLK_RETURN, t), pushKeyDown(SDLK_RETURN);
                      },
                      [] { releaseAllKeys(), pushKeyDown(SDLK_RETURN); }});
        run();
        EXPECT_EQ(sleepsSeen(), 3) << "confirmed with Alt held";
        EXPECT_EQ(game.fullscreen, toggles ? 1 - fullscreen : fullscreen);
    }
}

TEST(TitleMenu, ShowsTheItemsAndMovesTheCursorAround) {
    startMenuSession();
    game.titleChoice = 2;
    game.lastFrameTicks = currentTicks() - 66;
    scriptLooks({{{{0, "version 0.8.2", 'b', 0, 56},
                   large("Play Game", 156, 4),
                   large("Configure Game", 210, 4),
                   {2, "Settings", 'w', 4, 264},
                   large("Quit", 318, 4)},
                  {SDLK_RETURN},
                  [] { EXPECT_NEAR(game.frameFactor, 2.0, 0.03); }}});
    titleMenu();
    const std::tuple<int, std::vector<SDLKey>, int> rows[] = {
        {3, {SDLK_DOWN, SDLK_RETURN}, 0}, // from, keys in one frame, chosen
        {0, {SDLK_UP, SDLK_RETURN}, 3},   {2, {SDLK_DOWN, SDLK_RETURN}, 3},
        {1, {SDLK_UP, SDLK_RETURN}, 0},   {0, {SDLK_DOWN, SDLK_DOWN, SDLK_ESCAPE}, 2},
    };
    for (const auto& [from, keys, chosen] : rows) {
        game.titleChoice = from;
        scriptFrames({press(keys)});
        titleMenu();
        EXPECT_EQ(game.titleChoice, chosen) << "from " << from;
    }
}

// Escape in the difficulty prompt keeps the messages; Escape on "Play Game" starts the
// game as Return does, with fresh lives and no menu message; the window closes in it.
TEST(MenuStates, PlayGameAsksTheDifficultyAndStartsFresh) {
    startMenuSession();
    game.playerCount = 2;
    showMessage("kept", 60000);
    scriptFrames({press({SDLK_RETURN}), press({SDLK_ESCAPE}),
                  [] { EXPECT_TRUE(messageSays(0, "kept")), pushKeyDown(SDLK_ESCAPE); },
                  press({SDLK_RETURN}),
                  [] {
                      expectShown({{1, "What level of difficulty do you want?", 'b', 0, 203},
                                   {1, "1 is the easiest, 4+ is ludicrous", 'b', 0, 228},
                                   large("1", 258, 4)});
                      pushQuit();
                  }});
    runMenus();
    ASSERT_EQ(game.players.size(), 2u);
    EXPECT_EQ(game.players[1].lives, 6);
    EXPECT_TRUE(messageSays(0, "New game started with 2 players at difficulty level 1"));
}

TEST(MenuStates, SettingsRebuildsTheFieldAndQuitLeaves) {
    startMenuSession();
    game.titleChoice = 2;
    const int firstId = game.bodies[0].id;
    // Settings, Up to Cancel, leave; then Down to Quit, Escape.
    scriptFrames({press({SDLK_RETURN}), press({SDLK_UP}), press({SDLK_RETURN}),
                  press({SDLK_DOWN, SDLK_ESCAPE})});
    runMenus();
    EXPECT_NE(game.bodies[0].id, firstId);
    EXPECT_TRUE(game.players.empty());
}

// Down at 1 stays; the controls of both players come before the first ship question;
// Escape keeps the count shown, and the players as they were.
TEST(NewGame, ConfigureAsksCountControlsThenShips) {
    startPrompts(1);
    const std::vector<int> keys[2] = {{SDLK_a, SDLK_d, SDLK_w, SDLK_s, SDLK_LCTRL},
                                      {SDLK_j, SDLK_l, SDLK_i, SDLK_k, SDLK_RETURN}};
    const char* const words[5] = {"Left", "Right", "Up", "Down", "Fire"};
    auto count = [](int n) {
        return std::vector<Line>{large("How Many Players? " + std::to_string(n), 168, 4)};
    };
    std::vector<Look> looks = {
        {count(1), {SDLK_DOWN}}, {count(1), {SDLK_UP}}, {count(2), {SDLK_RETURN}}};
    for (int k = 0; k < 10; ++k) {
        looks.push_back({{keyPrompt(k / 5 + 1, words[k % 5])}, {SDLKey(keys[k / 5][k % 5])}});
    }
    looks.push_back({{shipQuestion(1)}, {SDLK_RIGHT, SDLK_RETURN}});
    looks.push_back({{shipQuestion(2)}, {SDLK_RETURN}});
    scriptLooks(looks);
    EXPECT_EQ(configureGame(), 0);
    EXPECT_EQ(std::tuple(keysOf(game.players[0]), keysOf(game.players[1])),
              std::tuple(keys[0], keys[1]));
    EXPECT_EQ(std::tuple(game.players[0].ship.design, game.players[1].ship.design),
              std::tuple(1, 0));
    scriptFrames({press({SDLK_UP, SDLK_UP, SDLK_ESCAPE})});
    EXPECT_EQ(configureGame(), -1);
    EXPECT_EQ(std::tuple(game.playerCount, game.players[0].ship.design, sleepsSeen()),
              std::tuple(4, 1, 1));
}

// Three designs previewed in their own colours. Frame i shows design[i] and the shot
// after i steps of 0.05; player 1 confirms in frame 20, player 2 in 28.
TEST(NewGame, ShipDesignsWrapAndTheShotOrbitsOn) {
    startPrompts(2);
    const Uint8 blue[3] = {100, 200, 150};
    for (int i = 0; i < 3; ++i) {
        game.shipImages[size_t(i)].previewImage = makeSprite(120, 120, 0, 50, blue[i]);
    }
    const int design[28] = {0, 0, 0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
                            2, 2, 2, 2, 2, 2, 2, 0, 0, 2, 2, 0, 0, 1};
    const std::map<int, SDLKey> keys = {{2, SDLK_LEFT},   {19, SDLK_RETURN}, {21, SDLK_LEFT},
                                        {23, SDLK_RIGHT}, {25, SDLK_RIGHT},  {27, SDLK_RETURN}};
    auto yellow = [](int x, int y) {
        return pixelAt(game.screen, x, y).r == 255 && pixelAt(game.screen, x, y).b == 0;
    };
    std::vector<std::function<void()>> steps;
    double a = 0;
    for (int i = 0; i < 28; a += 0.05, ++i) {
        // The 13-pixel shot at (320 - 6 + cos(a) * 60, 240 - 6 + sin(a) * 60).
        steps.push_back(
            [=, &keys, x = int(314 + std::cos(a) * 60), y = int(234 + std::sin(a) * 60)] {
                EXPECT_EQ(pixelAt(game.screen, 320, 240).b, blue[design[i]]) << i;
                expectShown({shipQuestion(i <= 20 ? 1 : 2)});
                EXPECT_TRUE(yellow(x, y) && yellow(x + 12, y + 12) && !yellow(x - 1, y - 1) &&
                            !yellow(x + 13, y + 13))
                    << i;
                keys.count(i) ? void(pushKeyDown(keys.at(i))) : void();
            });
    }
    scriptFrames(steps);
    EXPECT_EQ(shipPrompt(), 0);
    EXPECT_EQ(std::tuple(game.players[0].ship.design, game.players[1].ship.design),
              std::tuple(2, 1));
    // Escape keeps the earlier players' choices.
    scriptFrames({press({SDLK_RIGHT, SDLK_RETURN}), press({SDLK_LEFT, SDLK_ESCAPE})});
    EXPECT_EQ(shipPrompt(), -1);
    EXPECT_EQ(std::tuple(game.players[0].ship.design, game.players[1].ship.design),
              std::tuple(1, 1));
}

TEST(NewGame, DifficultyOpensAtOneWithNoMaximum) {
    startPrompts(1);
    std::tie(game.level, game.difficulty) = std::tuple(7, 5); // the last game's
    auto shows = [](int d) { return std::vector<Line>{large(std::to_string(d), 258, 4)}; };
    scriptLooks({{shows(1), {SDLK_DOWN, SDLK_LEFT}},
                 {shows(1), {SDLK_UP, SDLK_RIGHT, SDLK_UP, SDLK_UP}},
                 {shows(5), {SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP}},
                 {shows(10), {SDLK_LEFT, SDLK_RETURN}}});
    EXPECT_EQ(difficultyPrompt(), 1);
    EXPECT_EQ(std::tuple(game.difficulty, game.level), std::tuple(9, 1));
}

// No joystick: no device question. Pause is ignored, any other key binds, the later of
// two in a frame wins; Escape at player 2's third key keeps player 1's keys.
TEST(Controls, KeyboardPlayersBindFiveKeys) {
    startPrompts(2);
    ASSERT_EQ(SDL_NumJoysticks(), 0);
    scriptLooks({{{}, {SDLK_PAUSE}},
                 {{keyPrompt(1, "Left")}, {SDLK_RETURN}},
                 {{keyPrompt(1, "Right")}, {SDLK_a, SDLK_b}},
                 {{keyPrompt(1, "Up")}, {SDLK_UP}},
                 {{keyPrompt(1, "Down")}, {SDLK_LSHIFT}},
                 {{keyPrompt(1, "Fire")}, {SDLK_SPACE, SDLK_PAUSE}},
                 {{keyPrompt(2, "Left")}, {SDLK_j}},
                 {{}, {SDLK_l}},
                 {{keyPrompt(2, "Up")}, {SDLK_ESCAPE}}});
    EXPECT_EQ(controlsPrompt(), -1);
    EXPECT_EQ(keysOf(game.players[0]),
              std::vector<int>({SDLK_RETURN, SDLK_b, SDLK_UP, SDLK_LSHIFT, SDLK_SPACE}));
    EXPECT_EQ(keysOf(game.players[1]),
              std::vector<int>({SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_SPACE}));
}

// Options Keyboard, joystick 1, joystick 2 wrap both ways; Alt+Return chooses nothing;
// of buttons 5 and 3 held, 3 fires; the next player's choice opens on the keyboard.
TEST(Controls, JoystickPlayersChooseADeviceAndAButton) {
    ASSERT_EQ(attachVirtualJoysticks({{}, {}}).size(), 2u);
    startPrompts(2);
    auto option = [](int player, int d) {
        const char* name = d ? SDL_JoystickName(d - 1) : nullptr;
        return std::vector<Line>{
            large("What device will player " + std::to_string(player) + " use?", 168),
            {1,
             d ? std::string(name ? name : "") + " (joystick " + std::to_string(d) + ")"
               : "Keyboard",
             'b', 0, 227}};
    };
    const std::vector<Line> fire = {large("Press button player 1 will use for Fire", 168)};
    scriptLooks({{option(1, 0), {SDLK_RETURN}, [] { holdKey(SDLK_LALT); }},
                 {option(1, 0), {SDLK_UP}, releaseAllKeys},
                 {option(1, 2), {SDLK_DOWN}},
                 {option(1, 0), {SDLK_RIGHT}},
                 {option(1, 2), {SDLK_RIGHT}},
                 {option(1, 1), {SDLK_LEFT}},
                 {option(1, 2), {SDLK_LEFT}},
                 {option(1, 0), {SDLK_DOWN}},
                 {option(1, 1), {SDLK_DOWN, SDLK_RETURN}},
                 {fire, {SDLK_RETURN, SDLK_a}},
                 {fire, {}, [] { setVirtualButton(1, 5, true), setVirtualButton(1, 3, true); }},
                 {option(2, 0), {SDLK_RETURN}},
                 {{keyPrompt(2, "Left")}, {SDLK_ESCAPE}}});
    EXPECT_EQ(controlsPrompt(), -1);
    const Player& p = game.players[0];
    EXPECT_EQ(std::tuple(p.usesJoystick, SDL_JoystickIndex(p.joystick), p.fireButton),
              std::tuple(1, 1, 3));
    EXPECT_EQ(game.players[1].usesJoystick, 0);
    openJoystick(game.players[1], 2);
    EXPECT_EQ(game.players[1].joystick, nullptr);
}
