// The title menu and its state machine, the new-game prompts, controls and settings.
#include <cmath>
#include <tuple>

#include "app/assets.h"
#include "app/video.h"
#include "menus/controls.h"
#include "menus/menu_fixture.h"
#include "menus/new_game.h"
#include "menus/settings_menu.h"
#include "menus/title_menu.h"
#include "play/messages.h"
#include "support/virtual_joystick.h"
#include "world/players.h"

namespace {

int videoOpens = 0, audioOpens = 0;

Line row(int r, const std::string& text, bool cursor = false) {
    return {1, text, cursor ? 'w' : 'b', 4, (4 + r) * 25};
}

// Each edit moves the settings cursor to its row in one frame and holds its keys in the
// next, at least 66 ms after the last change; the last picture shows `lines`, then
// Return is pressed on `leaveRow`.
using Edit = std::pair<int, std::vector<SDLKey>>;
void runEdits(const std::vector<Edit>& edits, int leaveRow, const std::vector<Line>& lines = {}) {
    openVideoSurface = [](int w, int h, int bpp, Uint32 flags) {
        return ++videoOpens, SDL_SetVideoMode(w, h, bpp, flags);
    };
    openAudioDevice = [](int, Uint16, int, int) { return ++audioOpens; };
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

Line keyPrompt(int player, const char* word) {
    return large("Press key player " + std::to_string(player) + " will use for " + word, 168);
}

std::vector<int> keysOf(const Player& p) {
    return {p.keys.left, p.keys.right, p.keys.thrust, p.keys.reverse, p.keys.fire};
}

} // namespace

// The title over its grey shadow, the version and the four items; the field drifts
// behind; a frame at 30 per second that took no time sleeps 33 ms.
TEST(TitleMenu, ShowsTheItemsAndMovesTheCursorAround) {
    startMenuSession();
    game.titleChoice = 2;
    game.lastFrameTicks = currentTicks() - 66;
    const std::vector<Body> before = game.bodies;
    scriptLooks({{{large("STELLAROX", 12),
                   {2, "STELLAROX", 'g', 4, 16},
                   {0, "version 0.8.2", 'b', 0, 56},
                   large("Play Game", 156, 4),
                   large("Configure Game", 210, 4),
                   {2, "Settings", 'w', 4, 264},
                   large("Quit", 318, 4)},
                  {SDLK_RETURN},
                  [] { EXPECT_NEAR(game.frameFactor, 2.0, 0.03); }}});
    titleMenu();
    EXPECT_EQ(sleepLog(), std::vector<Uint32>({33, 33}));
    EXPECT_NE(before[0].x + before[1].y, game.bodies[0].x + game.bodies[1].y);
    for (const auto& [from, key, leave, chosen] : {std::tuple{3, SDLK_DOWN, SDLK_RETURN, 0},
                                                   {0, SDLK_UP, SDLK_ESCAPE, 3},
                                                   {2, SDLK_DOWN, SDLK_RETURN, 3},
                                                   {1, SDLK_UP, SDLK_RETURN, 0}}) {
        game.titleChoice = from;
        scriptFrames({press({key, leave})});
        titleMenu();
        EXPECT_EQ(game.titleChoice, chosen) << "from " << from;
    }
}

// Escape in the difficulty prompt keeps the messages; Escape on "Play Game" starts the
// game as Return does, at level 1, with fresh lives and no menu message. The prompt
// opens at 1 whatever the last game's; Down at 1 stays. The window closes in the game.
TEST(MenuStates, PlayGameAsksTheDifficultyAndStartsFresh) {
    startMenuSession();
    std::tie(game.playerCount, game.level, game.difficulty) = std::tuple(2, 7, 5);
    static bool done = false; // a quit(0) from a menu would end the process as a pass
    std::atexit([] { done ? void() : std::_Exit(98); });
    showMessage("kept", 60000);
    scriptFrames({press({SDLK_RETURN}), press({SDLK_ESCAPE}), press({SDLK_ESCAPE}),
                  press({SDLK_DOWN, SDLK_UP, SDLK_RIGHT, SDLK_RETURN}), [] {
                      expectShown({{1, "What level of difficulty do you want?", 'b', 0, 203},
                                   {1, "1 is the easiest, 4+ is ludicrous", 'b', 0, 228},
                                   large("1", 258, 4)});
                      EXPECT_EQ(game.players.at(1).lives, 6);
                      EXPECT_TRUE(messageSays(0, "kept"));
                      pushQuit();
                  }});
    runMenus();
    EXPECT_TRUE(messageSays(0, "New game started with 2 players at difficulty level 3"));
    EXPECT_EQ(game.level, 1);
    done = true;
}

// Down at 1 stays; no joystick, so no device question; the controls of both players come
// before the first ship question. Pause is ignored, any other key binds, the later of two
// in a frame wins.
TEST(NewGame, ConfigureAsksCountControlsThenShips) {
    startMenuSession();
    createPlayers();
    const std::vector<int> keys[2] = {{SDLK_RETURN, SDLK_d, SDLK_w, SDLK_s, SDLK_LCTRL},
                                      {SDLK_j, SDLK_l, SDLK_i, SDLK_k, SDLK_RETURN}};
    const char* const words[5] = {"Left", "Right", "Up", "Down", "Fire"};
    auto count = [](int n) {
        return std::vector<Line>{large("How Many Players? " + std::to_string(n), 168, 4)};
    };
    std::vector<Look> looks = {{count(1), {SDLK_DOWN}},
                               {count(1), {SDLK_UP}},
                               {count(2), {SDLK_RETURN}},
                               {{}, {SDLK_PAUSE}}};
    for (int k = 0; k < 10; ++k) {
        looks.push_back(
            {{keyPrompt(k / 5 + 1, words[k % 5])}, {SDLK_F1, SDLKey(keys[k / 5][k % 5])}});
    }
    looks.push_back({{large("What ship will player 1 use?", 114)}, {SDLK_RIGHT, SDLK_RETURN}});
    looks.push_back({{large("What ship will player 2 use?", 114)}, {SDLK_RETURN}});
    scriptLooks(looks);
    EXPECT_EQ(configureGame(), 0);
    EXPECT_EQ(std::tuple(keysOf(game.players[0]), keysOf(game.players[1])),
              std::tuple(keys[0], keys[1]));
    EXPECT_EQ(std::tuple(game.players[0].ship.design, game.players[1].ship.design),
              std::tuple(1, 0));
}

// Three designs previewed in their own colours; each player starts at the first. The
// shot circles the preview: (320 - 6 + cos(a) * 60, 240 - 6 + sin(a) * 60), a step of
// 0.05 a frame, kept from player to player. Escape keeps the earlier players' choices.
TEST(NewGame, ShipDesignsWrapAndTheShotOrbitsOn) {
    startMenuSession();
    game.playerCount = 2;
    createPlayers();
    for (int i = 0; i < 3; ++i) {
        game.shipImages[size_t(i)].previewImage = makeSprite(120, 120, 0, 50, Uint8(100 + 50 * i));
    }
    auto frame = [](int design, double a) {
        return [design, x = int(314 + std::cos(a) * 60), y = int(234 + std::sin(a) * 60)] {
            auto yellow = [](int x, int y) { return pixelAt(game.screen, x, y).r == 255; };
            EXPECT_EQ(pixelAt(game.screen, 320, 240).b, 100 + 50 * design);
            EXPECT_TRUE(yellow(x, y) && yellow(x + 12, y + 12) && !yellow(x - 1, y - 1) &&
                        !yellow(x + 13, y + 13));
        };
    };
    scriptLooks({{{}, {SDLK_LEFT}, frame(0, 0)},
                 {{large("What ship will player 1 use?", 114)}, {SDLK_RIGHT}, frame(2, 0.1)},
                 {{}, {SDLK_LEFT, SDLK_RETURN}, frame(0, 0.2)},
                 {{large("What ship will player 2 use?", 114)}, {SDLK_RIGHT}, frame(0, 0.3)},
                 {{}, {SDLK_RETURN}, frame(1, 0.4)}});
    EXPECT_EQ(shipPrompt(), 0);
    EXPECT_EQ(std::tuple(game.players[0].ship.design, game.players[1].ship.design),
              std::tuple(2, 1));
    scriptFrames({press({SDLK_RIGHT, SDLK_RETURN}), press({SDLK_LEFT, SDLK_ESCAPE})});
    EXPECT_EQ(shipPrompt(), -1);
    EXPECT_EQ(std::tuple(game.players[0].ship.design, game.players[1].ship.design),
              std::tuple(1, 1));
}

// Options Keyboard, joystick 1, joystick 2 wrap both ways; Alt+Return chooses nothing;
// of buttons 5 and 3 held, 3 fires; the next player's choice opens on the keyboard.
TEST(Controls, JoystickPlayersChooseADeviceAndAButton) {
    ASSERT_TRUE(attachVirtualJoystick() >= 0 && attachVirtualJoystick() >= 0);
    startMenuSession();
    game.playerCount = 2;
    createPlayers();
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
                 {option(1, 2), {SDLK_LEFT}},
                 {option(1, 0), {SDLK_RIGHT}},
                 {option(1, 2), {SDLK_DOWN}},
                 {option(1, 0), {SDLK_DOWN}},
                 {option(1, 1), {SDLK_DOWN, SDLK_RETURN}},
                 {fire,
                  {SDLK_RETURN, SDLK_a},
                  [] { setVirtualButton(1, 5, true), setVirtualButton(1, 3, true); }},
                 {option(2, 0), {SDLK_RETURN}},
                 {{keyPrompt(2, "Left")}, {SDLK_ESCAPE}}});
    EXPECT_EQ(controlsPrompt(), -1);
    const Player& p = game.players[0];
    EXPECT_EQ(std::tuple(p.usesJoystick, SDL_JoystickIndex(p.joystick), p.fireButton),
              std::tuple(1, 1, 3));
}

// SDL keeps button numbers in 8 bits: a held button 256 reaches it as button 0, toggled at
// every pump, which kept the prompt's event drain from ever ending. Button 0 now fires.
TEST(Controls, ReturnStillAnswersWithButton256Held) {
    ASSERT_GE(attachVirtualJoystick(300), 0);
    startMenuSession();
    createPlayers();
    setVirtualButton(0, 256, true);
    scriptFrames({press({SDLK_DOWN}), press({SDLK_RETURN}), [] {}, [] {}, [] {}});
    EXPECT_EQ(controlsPrompt(), 0);
    EXPECT_EQ(std::tuple(game.players[0].usesJoystick, game.players[0].fireButton),
              std::tuple(1, 0));
}

// Limits refuse a step instead of clamping to them; Shift or Alt without Ctrl adds 1;
// Right wins over Left. Leaving on the speed row or on Cancel applies nothing.
TEST(Settings, StepsAndTheirLimits) {
    const SDLKey C = SDLK_LCTRL, S = SDLK_LSHIFT, A = SDLK_LALT, R = SDLK_RIGHT, L = SDLK_LEFT;
    const std::tuple<int, double, std::vector<SDLKey>, const char*, int> rows[] = {
        {0, 640, {C, R}, "Screen Width: 650", 8}, // row, in force, keys held, shown, left on
        {3, 44100, {C, S, A, R}, "Sample Rate: 45100", 8},
        {3, 44100, {S, A, R}, "Sample Rate: 44101", 6},
        {1, 1, {L}, "Screen Height: 1", 8},
        {2, 5, {C, L}, "Sample Size: 5", 8},
        {4, 1, {L}, "Sound Volume: 0", 6},
        {5, 127, {R}, "Music Volume: 128", 8},
        {5, 125, {C, R}, "Music Volume: 125", 8},
        {6, 0.02, {L}, "Game Speed: 0.01", 6},
        {6, 1, {C, R}, "Game Speed: 1.1", 6},
        {0, 640, {R, L}, "Screen Width: 641", 8},
    };
    startMenuSession();
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
    EXPECT_EQ(videoOpens + audioOpens, 0);
}

// 1040 x 780 has a diagonal of 1300: scale 0.65 against 0.4, a 600-pixel ship previewed
// at 195; fonts of 20, 35 and 50 points.
TEST(Settings, ApplyingANewSizeReloadsImagesAndFontsAtTheNewScale) {
    startMenuSession();
    loadImages(); // the real images of the data tree
    videoModeOk = anyModeOk;
    const Edit wider = {0, {SDLK_LCTRL, SDLK_LSHIFT, SDLK_RIGHT}}, taller = {1, wider.second};
    runEdits({wider, wider, wider, wider, taller, taller, taller}, 7);
    EXPECT_EQ(std::tuple(videoOpens, game.screen->w, game.screen->h, game.background->h),
              std::tuple(1, 1040, 780, 780));
    EXPECT_DOUBLE_EQ(game.spriteScale + game.scaleX + game.scaleY, 3 * 0.65);
    EXPECT_NEAR(game.shipImages[0].previewImage->w, 600 * 0.65 * 0.5, 1.0); // reloaded
    EXPECT_EQ(std::tuple(TTF_FontHeight(game.smallFont), TTF_FontHeight(game.mediumFont),
                         TTF_FontHeight(game.largeFont)),
              std::tuple(24, 40, 57));
}
