// The new-game prompts: player count, ship designs, difficulty, and their sequence.
#include <gtest/gtest.h>

#include <cmath>

#include "app/game_state.h"
#include "menus/menu_fixture.h"
#include "menus/new_game.h"
#include "world/players.h"

namespace {

// Each case sets the state it starts from, so cases also repeat within one process.
void startPrompts(int playerCount) {
    game.fullscreen = 0;
    startMenuSession();
    game.playerCount = playerCount;
    createPlayers();
}

bool countShown(int n) {
    return promptShown("How Many Players? " + std::to_string(n), 4);
}

bool keyPromptShown(int player, const std::string& word) {
    return promptShown("Press key player " + std::to_string(player) + " will use for " + word);
}

bool shipQuestionShown(int player) {
    return lineShown(game.largeFont, "What ship will player " + std::to_string(player) + " use?",
                     game.textColour,
                     centredAt(0, [](int h) { return int(game.screenHeight / 2 - 3.5 * h); }));
}

bool difficultyShown(int value) {
    return lineShown(game.largeFont, std::to_string(value), game.textColour,
                     centredAt(4, [](int h) { return game.screenHeight / 2 + h / 2; }));
}

bool samePixel(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

// Each design gets a preview of its own colour, so the centre of the screen tells
// which one is shown.
void colourThePreviews() {
    const Uint8 colours[3][3] = {{0, 200, 0}, {0, 0, 200}, {0, 200, 200}};
    for (size_t i = 0; i < game.shipImages.size() && i < 3; ++i) {
        SDL_FreeSurface(game.shipImages[i].previewImage);
        game.shipImages[i].previewImage =
            makeSprite(120, 120, colours[i][0], colours[i][1], colours[i][2]);
    }
}

bool designShown(int design) {
    return samePixel(pixelAt(game.screen, game.screenWidth / 2, game.screenHeight / 2),
                     pixelAt(game.shipImages[size_t(design)].previewImage, 60, 60));
}

// The orbiting shot is the only thing of its colour: exactly its square is at the
// place the angle gives.
bool shotAt(double angle) {
    SDL_Surface* shot = game.largeShipBulletImage;
    SDL_Surface* preview = game.shipImages[0].previewImage;
    const SDL_Color yellow = pixelAt(shot, shot->w / 2, shot->h / 2);
    const int x0 = int((game.screenWidth / 2 - shot->w / 2) + std::cos(angle) * (preview->w / 2));
    const int y0 = int((game.screenHeight / 2 - shot->h / 2) + std::sin(angle) * (preview->h / 2));
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < game.screen->h; ++y) {
        for (int x = 0; x < game.screen->w; ++x) {
            if (samePixel(pixelAt(game.screen, x, y), yellow)) {
                const bool in = x >= x0 && x < x0 + shot->w && y >= y0 && y < y0 + shot->h;
                ++(in ? inside : outside);
            }
        }
    }
    return inside == shot->w * shot->h && outside == 0;
}

} // namespace

TEST(PlayerCount, StopsAtOneAndUpFiveTimesMakesSixPlayers) {
    startPrompts(1);
    scriptFrames(looksThenPresses({
        {[]() { EXPECT_TRUE(countShown(1)); }, {SDLK_DOWN}},
        {[]() { EXPECT_TRUE(countShown(1)); }, {SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP}},
        {[]() { EXPECT_TRUE(countShown(6)); }, {SDLK_RETURN}},
        // No joystick: the controls start with the first key, Escape leaves them.
        {[]() { EXPECT_TRUE(keyPromptShown(1, "Left")); }, {SDLK_ESCAPE}},
    }));
    EXPECT_EQ(configureGame(), -1);
    EXPECT_EQ(game.playerCount, 6);
    ASSERT_EQ(game.players.size(), 6u);
    for (const Player& p : game.players) {
        EXPECT_EQ(p.keys.left, SDLK_LEFT);
        EXPECT_EQ(p.ship.design, 0);
    }
}

TEST(PlayerCount, EscapeKeepsTheCountShownAndThePlayersThere) {
    startPrompts(2);
    game.players[1].ship.design = 2;
    scriptFrames(looksThenPresses({
        {nullptr, {SDLK_UP, SDLK_UP}},
        {[]() { EXPECT_TRUE(countShown(4)); }, {SDLK_ESCAPE}},
    }));
    EXPECT_EQ(configureGame(), -1);
    EXPECT_EQ(sleepsSeen(), 3); // the Escape frame returned before its wait
    EXPECT_EQ(game.playerCount, 4);
    ASSERT_EQ(game.players.size(), 2u);
    EXPECT_EQ(game.players[1].ship.design, 2);
}

TEST(ConfigureGame, CapturesEveryPlayersControlsBeforeTheFirstShip) {
    startPrompts(1);
    colourThePreviews();
    const SDLKey keys[2][5] = {{SDLK_a, SDLK_d, SDLK_w, SDLK_s, SDLK_LCTRL},
                               {SDLK_j, SDLK_l, SDLK_i, SDLK_k, SDLK_RETURN}};
    const char* const words[5] = {"Left", "Right", "Up", "Down", "Fire"};
    std::vector<Look> looks = {{nullptr, {SDLK_UP}}, {nullptr, {SDLK_RETURN}}};
    for (int p = 0; p < 2; ++p) {
        for (int k = 0; k < 5; ++k) {
            const std::string word = words[k];
            looks.push_back(
                {[p, word]() { EXPECT_TRUE(keyPromptShown(p + 1, word)); }, {keys[p][k]}});
        }
    }
    looks.push_back({[]() { EXPECT_TRUE(shipQuestionShown(1)); }, {SDLK_RIGHT, SDLK_RETURN}});
    looks.push_back({[]() { EXPECT_TRUE(shipQuestionShown(2)); }, {SDLK_RETURN}});
    scriptFrames(looksThenPresses(looks));
    EXPECT_EQ(configureGame(), 0);
    ASSERT_EQ(game.players.size(), 2u);
    for (int p = 0; p < 2; ++p) {
        const KeyBindings& b = game.players[size_t(p)].keys;
        EXPECT_EQ(b.left, keys[p][0]);
        EXPECT_EQ(b.right, keys[p][1]);
        EXPECT_EQ(b.thrust, keys[p][2]);
        EXPECT_EQ(b.reverse, keys[p][3]);
        EXPECT_EQ(b.fire, keys[p][4]);
        EXPECT_EQ(game.players[size_t(p)].usesJoystick, 0);
    }
    EXPECT_EQ(game.players[0].ship.design, 1);
    EXPECT_EQ(game.players[1].ship.design, 0);
}

TEST(ShipPrompt, DesignsWrapBothWaysAndEachPlayerStartsAtTheFirst) {
    startPrompts(2);
    colourThePreviews();
    auto showing = [](int player, int design) {
        return [player, design]() {
            EXPECT_TRUE(shipQuestionShown(player));
            EXPECT_TRUE(designShown(design)) << "player " << player << " design " << design;
        };
    };
    scriptFrames(looksThenPresses({
        {showing(1, 0), {SDLK_LEFT}},
        {showing(1, 2), {SDLK_RETURN}},
        {showing(2, 0), {SDLK_LEFT}},
        {showing(2, 2), {SDLK_RIGHT}},
        {showing(2, 0), {SDLK_RIGHT}},
        {showing(2, 1), {SDLK_RETURN}},
    }));
    EXPECT_EQ(shipPrompt(), 0);
    EXPECT_EQ(game.players[0].ship.design, 2);
    EXPECT_EQ(game.players[1].ship.design, 1);
}

TEST(ShipPrompt, TheOrbitingShotKeepsItsAngleFromPlayerToPlayer) {
    startPrompts(2);
    // Frame i is drawn with i steps of the angle; player 1 confirms in frame 20, so
    // player 2's first picture is frame 21.
    std::vector<std::function<void()>> steps;
    auto angle = std::make_shared<double>(0.0);
    for (int i = 0; i <= 24; ++i) {
        steps.push_back([i, angle]() {
            EXPECT_TRUE(shotAt(*angle)) << "frame " << i;
            EXPECT_TRUE(shipQuestionShown(i <= 20 ? 1 : 2)) << "frame " << i;
            *angle += 0.05;
            if (i == 19 || i == 24) {
                pushKeyDown(SDLK_RETURN);
            }
        });
    }
    scriptFrames(steps);
    EXPECT_EQ(shipPrompt(), 0);
}

TEST(ShipPrompt, EscapeKeepsTheEarlierPlayersChoice) {
    startPrompts(2);
    game.players[1].ship.design = 1;
    scriptFrames({press({SDLK_RIGHT, SDLK_RIGHT, SDLK_RETURN}), press({SDLK_LEFT, SDLK_ESCAPE})});
    EXPECT_EQ(shipPrompt(), -1);
    EXPECT_EQ(game.players[0].ship.design, 2);
    EXPECT_EQ(game.players[1].ship.design, 1);
}

TEST(DifficultyPrompt, AlwaysOpensAtOneAndHasNoMaximum) {
    startPrompts(1);
    game.level = 7;
    game.difficulty = 5; // the last game's
    scriptFrames(looksThenPresses({
        {[]() {
             EXPECT_TRUE(difficultyShown(1));
             EXPECT_EQ(game.level, 1);
         },
         {SDLK_DOWN, SDLK_LEFT}},
        {[]() { EXPECT_TRUE(difficultyShown(1)); }, {SDLK_UP, SDLK_RIGHT, SDLK_UP, SDLK_UP}},
        {[]() { EXPECT_TRUE(difficultyShown(5)); }, {SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP}},
        {[]() { EXPECT_TRUE(difficultyShown(10)); }, {SDLK_LEFT, SDLK_RETURN}},
    }));
    EXPECT_EQ(difficultyPrompt(), 1);
    EXPECT_EQ(game.difficulty, 9);
    EXPECT_EQ(game.level, 1);
}

// Alt+Return toggles the full screen in every prompt and leaves the prompt open.
TEST(ConfirmKey, AltReturnInTheShipAndDifficultyPromptsDoesNotConfirm) {
    struct Prompt {
        int (*run)();
        int confirmed;
        bool (*shown)();
    };
    const Prompt prompts[] = {
        {shipPrompt, 0, []() { return shipQuestionShown(1); }},
        {difficultyPrompt, 1, []() { return difficultyShown(1); }},
    };
    startPrompts(1);
    int expectedFullscreen = 0;
    for (const Prompt& prompt : prompts) {
        expectedFullscreen = 1 - expectedFullscreen;
        scriptFrames({[]() {
                          holdKey(SDLK_LALT);
                          holdKey(SDLK_RETURN);
                          pushKeyDown(SDLK_RETURN);
                      },
                      releaseAllKeys,
                      [&]() {
                          EXPECT_EQ(game.fullscreen, expectedFullscreen);
                          EXPECT_TRUE(prompt.shown()); // still up, redrawn on the new screen
                          pushKeyDown(SDLK_RETURN);
                      }});
        EXPECT_EQ(prompt.run(), prompt.confirmed);
        EXPECT_EQ(sleepsSeen(), 4);
    }
}
