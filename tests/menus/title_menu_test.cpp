// The title menu and the state machine around it.
#include <gtest/gtest.h>

#include "app/game_state.h"
#include "menus/menu_fixture.h"
#include "menus/title_menu.h"
#include "world/players.h"

namespace {

const char* const kItems[4] = {"Play Game", "Configure Game", "Settings", "Quit"};

int itemY(int item, int h) {
    const int H = game.screenHeight;
    const int y[4] = {H - 9 * h, H - (15 * h) / 2, H - 6 * h, H - (9 * h) / 2};
    return y[item];
}

bool itemShown(int item, bool highlighted) {
    return lineShown(game.largeFont, kItems[item],
                     highlighted ? game.highlightColour : game.textColour,
                     centredAt(4, [item](int h) { return itemY(item, h); }));
}

// The title menu is up with `item` highlighted, judged from the picture alone.
bool titleShowing(int item) {
    return itemShown(item, true);
}

bool difficultyShowing() {
    return lineShown(game.mediumFont, "What level of difficulty do you want?", game.textColour,
                     centredAt(0, [](int h) { return game.screenHeight / 2 - (3 * h) / 2; }));
}

} // namespace

TEST(TitleMenu, ShowsTheVersionAndTheFourItems) {
    startMenuSession();
    game.titleChoice = 2;
    bool checked = false;
    scriptFrames({[&]() {
        checked = true;
        EXPECT_TRUE(lineShown(game.smallFont, "version 0.8.2", game.textColour,
                              centredAt(0, [](int h) { return 4 * h; })));
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(itemShown(i, i == 2)) << kItems[i];
        }
        pushKeyDown(SDLK_RETURN);
    }});
    titleMenu();
    EXPECT_TRUE(checked);
    EXPECT_EQ(game.titleChoice, 2);
}

TEST(TitleMenu, DownOnQuitSelectsPlayGame) {
    startMenuSession();
    game.titleChoice = 3;
    scriptFrames({press({SDLK_DOWN}), idle(), [&]() {
                      EXPECT_TRUE(titleShowing(0));
                      pushKeyDown(SDLK_RETURN);
                  }});
    titleMenu();
    EXPECT_EQ(game.titleChoice, 0);
}

TEST(TitleMenu, UpOnPlayGameSelectsQuit) {
    startMenuSession();
    scriptFrames({press({SDLK_UP}), idle(), [&]() {
                      EXPECT_TRUE(titleShowing(3));
                      EXPECT_TRUE(itemShown(0, false));
                      pushKeyDown(SDLK_RETURN);
                  }});
    titleMenu();
    EXPECT_EQ(game.titleChoice, 3);
}

TEST(TitleMenu, DownThenReturnInOneFramePicksTheItemBelow) {
    startMenuSession();
    scriptFrames({press({SDLK_DOWN, SDLK_RETURN})});
    titleMenu();
    EXPECT_EQ(game.titleChoice, 1);
    EXPECT_EQ(sleepsSeen(), 2); // that frame is still finished
}

TEST(TitleMenu, AltReturnDoesNotChoose) {
    startMenuSession();
    scriptFrames({[]() {
                      holdKey(SDLK_LALT);
                      pushKeyDown(SDLK_RETURN);
                  },
                  []() {
                      releaseAllKeys();
                      pushKeyDown(SDLK_DOWN);
                      pushKeyDown(SDLK_RETURN);
                  }});
    titleMenu();
    EXPECT_EQ(game.titleChoice, 1);
}

TEST(TitleMenu, RecomputesTheFrameFactorFromTheClock) {
    startMenuSession();
    game.lastFrameTicks = currentTicks() - 66;
    scriptFrames({[]() {
        EXPECT_NEAR(game.frameFactor, 2.0, 0.03);
        pushKeyDown(SDLK_RETURN);
    }});
    titleMenu();
}

TEST(MenuStates, EscapeOnPlayGameStartsTheGame) {
    startMenuSession();
    game.playerCount = 2;
    bool promptSeen = false;
    scriptFrames({press({SDLK_ESCAPE}), press({SDLK_RETURN}),
                  [&]() {
                      promptSeen = difficultyShowing();
                      pushQuit(); // read by the game's first frame, which still finishes
                  }},
                 1);
    runMenus(); // the window closed during the game: back to main
    EXPECT_TRUE(promptSeen);
    ASSERT_EQ(game.players.size(), 2u);
    for (const Player& p : game.players) {
        EXPECT_EQ(p.lives, 6);
    }
    const std::string started = "New game started with 2 players at difficulty level 1";
    EXPECT_EQ(messageTexts({started})[0], started);
}

TEST(MenuStates, EscapeOnQuitQuits) {
    startMenuSession();
    game.titleChoice = 3;
    scriptFrames({press({SDLK_ESCAPE})});
    runMenus();
    EXPECT_EQ(game.titleChoice, 3);
    EXPECT_TRUE(game.players.empty()); // no game was prepared
}

TEST(MenuStates, EscapeInTheDifficultyPromptLeavesTheMessagesAlone) {
    startMenuSession();
    showMessage("kept", 60000);
    scriptFrames({press({SDLK_RETURN}), press({SDLK_ESCAPE}), [&]() {
                      EXPECT_TRUE(titleShowing(0)); // the prompt returned at once
                      pushKeyDown(SDLK_UP);
                      pushKeyDown(SDLK_RETURN);
                  }});
    runMenus();
    ASSERT_EQ(game.messages.size(), 1u);
    EXPECT_TRUE(messageSays(0, "kept"));
}

TEST(MenuStates, AfterAGamePlayGameIsHighlightedAndLivesAreFresh) {
    startMenuSession();
    // Each phase waits for its screen to show, then presses that screen's key once.
    enum Phase { atTitle, atPrompt, inGame, backAtTitle, atSecondPrompt, leaving };
    Phase phase = atTitle;
    int frames = 0;
    std::vector<int> livesAtSecondPrompt;
    runScriptOnSleeps({}, [&]() {
        if (++frames > 600) {
            std::fprintf(stderr, "no way back to the title menu\n");
            std::_Exit(97);
        }
        if (phase == atTitle && titleShowing(0)) {
            pushKeyDown(SDLK_RETURN);
            phase = atPrompt;
        } else if (phase == atPrompt && difficultyShowing()) {
            pushKeyDown(SDLK_RETURN);
            phase = inGame;
        } else if (phase == inGame) {
            for (Player& p : game.players) {
                p.lives = 0; // game over at the next once-a-second check
            }
            if (titleShowing(0)) {
                pushKeyDown(SDLK_RETURN);
                phase = backAtTitle;
            }
        } else if (phase == backAtTitle && difficultyShowing()) {
            for (const Player& p : game.players) {
                livesAtSecondPrompt.push_back(p.lives);
            }
            pushKeyDown(SDLK_ESCAPE);
            phase = atSecondPrompt;
        } else if (phase == atSecondPrompt && titleShowing(0)) {
            pushKeyDown(SDLK_UP);
            pushKeyDown(SDLK_RETURN);
            phase = leaving;
        }
    });
    runMenus();
    EXPECT_EQ(phase, leaving);
    ASSERT_EQ(livesAtSecondPrompt.size(), 1u);
    EXPECT_EQ(livesAtSecondPrompt[0], 6);
}

TEST(MenuStates, SettingsRebuildsTheFieldEvenOnCancel) {
    startMenuSession();
    game.titleChoice = 2;
    std::vector<int> idsBefore;
    for (const Body& b : game.bodies) {
        idsBefore.push_back(b.id);
    }
    scriptFrames({press({SDLK_RETURN}),              // Settings
                  press({SDLK_UP}),                  // to Cancel
                  press({SDLK_RETURN}),              // leave
                  press({SDLK_DOWN, SDLK_RETURN})}); // Quit
    runMenus();
    std::vector<int> idsAfter;
    for (const Body& b : game.bodies) {
        idsAfter.push_back(b.id);
    }
    EXPECT_NE(idsBefore, idsAfter);
}
