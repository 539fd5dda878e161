// What every screen shares: the title, the text line, the confirm key, the wait.
#include <gtest/gtest.h>

#include "app/clock.h"
#include "app/game_state.h"
#include "menus/menu_fixture.h"
#include "menus/menu_frame.h"
#include "menus/new_game.h"

TEST(MenuTitle, BlackTextLiesOnItsGreyShadow) {
    startMenuSession();
    fillScreen(0, 0, 255);
    drawTitle();
    EXPECT_TRUE(lineShown(game.largeFont, "STELLAROX", game.textColour, [](int w, int h) {
        return std::pair<int, int>(game.screenWidth / 2 - w / 2, h / 3);
    }));
    // The shadow shows only where the black text does not cover it.
    SDL_Surface* shape = TTF_RenderText_Solid(game.largeFont, "STELLAROX", game.shadowColour);
    ASSERT_NE(shape, nullptr);
    const int x0 = game.screenWidth / 2 - shape->w / 2 + 4;
    const int y0 = shape->h / 3 + 4;
    int grey = 0;
    for (int y = 0; y < shape->h; ++y) {
        for (int x = 0; x < shape->w; ++x) {
            const SDL_Color c = pixelAt(game.screen, x0 + x, y0 + y);
            grey += c.r == 128 && c.g == 128 && c.b == 128 ? 1 : 0;
        }
    }
    SDL_FreeSurface(shape);
    EXPECT_GT(grey, 50);
}

TEST(TextLine, ALineThatDoesNotRenderIsSkipped) {
    startMenuSession();
    bool placed = false;
    auto place = [&](int, int) {
        placed = true;
        return std::pair<int, int>(0, 0);
    };
    // An empty text renders to nothing at all.
    drawTextLine(game.largeFont, "", game.textColour, place);
    drawTextLine(nullptr, "no font", game.textColour, place);
    EXPECT_FALSE(placed);
    EXPECT_EQ(game.textSurface, nullptr);
}

TEST(TextLine, IsPlacedFromItsOwnSizeAndFreedAtOnce) {
    startMenuSession();
    fillScreen(0, 0, 255);
    int seenW = 0;
    drawTextLine(game.mediumFont, "Cancel", game.highlightColour, [&](int w, int h) {
        seenW = w;
        return std::pair<int, int>(100 - w, 2 * h);
    });
    EXPECT_GT(seenW, 0);
    EXPECT_EQ(game.textSurface, nullptr);
    EXPECT_TRUE(lineShown(game.mediumFont, "Cancel", game.highlightColour,
                          [](int w, int h) { return std::pair<int, int>(100 - w, 2 * h); }));
}

TEST(FrameCapWait, SleepsWhatIsLeftOfTheBudget) {
    startMenuSession();
    runScriptOnSleeps({});
    setManualClock(5000);
    frameCapWait(4990); // a 10 ms frame at 30 per second
    frameCapWait(4960); // 40 ms: over budget
    ASSERT_EQ(sleepLog().size(), 1u);
    EXPECT_EQ(sleepLog()[0], 23u);
}

TEST(FrameCapWait, NeverSleepsWithCappingOff) {
    startMenuSession();
    runScriptOnSleeps({});
    game.frameCapOn = 0;
    setManualClock(5000);
    frameCapWait(5000);
    EXPECT_EQ(sleepsSeen(), 0);
}

TEST(FrameCapWait, AClockPastTheBudgetAtTheSecondReadingGivesNoSleep) {
    startMenuSession();
    runScriptOnSleeps({});
    setManualClock(5010);
    clockSeam.advancePerRead = 40; // 10 ms at the first reading, 50 at the second
    frameCapWait(5000);
    clockSeam.advancePerRead = 0;
    EXPECT_EQ(sleepsSeen(), 0);
}

TEST(FrameCapWait, MeasuresAcrossTheClockWrap) {
    startMenuSession();
    runScriptOnSleeps({});
    game.frameCap = 1;
    setManualClock(5);
    frameCapWait(0xFFFFFFF0u); // 21 ms ago, before the wrap
    ASSERT_EQ(sleepLog().size(), 1u);
    EXPECT_EQ(sleepLog()[0], 979u);
}

TEST(ConfirmKey, AltReturnTogglesFullScreenAndDoesNotConfirm) {
    startMenuSession();
    int framesAfterToggle = 0;
    scriptFrames({
        []() {
            holdKey(SDLK_LALT);
            holdKey(SDLK_RETURN);
            pushKeyDown(SDLK_RETURN);
        },
        [&]() {
            releaseAllKeys();
            ++framesAfterToggle; // the prompt is still up
            EXPECT_EQ(game.fullscreen, 1);
            pushKeyDown(SDLK_RETURN);
        },
    });
    EXPECT_EQ(playerCountPrompt(), 0);
    EXPECT_EQ(framesAfterToggle, 1);
    EXPECT_EQ(game.fullscreen, 1);
    EXPECT_EQ(sleepsSeen(), 3);
}

TEST(ConfirmKey, RightAltHeldAlsoKeepsThePromptOpen) {
    startMenuSession();
    scriptFrames({
        []() {
            holdKey(SDLK_RALT);
            pushKeyDown(SDLK_RETURN);
        },
        []() {
            holdKey(SDLK_RALT, false);
            pushKeyDown(SDLK_RETURN);
        },
    });
    EXPECT_EQ(difficultyPrompt(), 1);
    EXPECT_EQ(sleepsSeen(), 3);
}

TEST(MenuFrame, TheFieldDriftsBehindTheText) {
    startMenuSession();
    ASSERT_FALSE(game.bodies.empty());
    const std::vector<Body> before = game.bodies;
    scriptFrames({press({SDLK_RETURN})});
    difficultyPrompt();
    bool moved = false;
    for (size_t i = 0; i < before.size() && i < game.bodies.size(); ++i) {
        moved = moved || before[i].x != game.bodies[i].x || before[i].y != game.bodies[i].y;
    }
    EXPECT_TRUE(moved);
}

TEST(MenuFrame, AWindowCloseEndsTheProgramWithStatus0) {
    startMenuSession();
    EXPECT_EXIT(
        {
            pushQuit();
            difficultyPrompt();
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}
