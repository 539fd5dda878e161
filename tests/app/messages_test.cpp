#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_state.h"
#include "play/messages.h"
#include "support/test_support.h"

namespace {

class Messages : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdl(true);
        useManualClock(50000);
        game.background = makeSprite(game.screenWidth, game.screenHeight, 255, 255, 255);
    }
};

std::vector<Uint32> durations() {
    std::vector<Uint32> out;
    for (const Message& m : game.messages) {
        out.push_back(m.durationMs);
    }
    return out;
}

// Replaces message i's rendered line by a solid block, so its position can be read back.
void giveBlock(size_t i, int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    SDL_FreeSurface(game.messages[i].surface);
    game.messages[i].surface = makeSprite(w, h, r, g, b);
}

} // namespace

TEST_F(Messages, ExpireStrictlyAfterTheirDuration) {
    showMessage("three seconds", 3000);
    advanceClock(3000);
    expireMessages();
    ASSERT_EQ(game.messages.size(), 1u);
    advanceClock(1);
    expireMessages();
    EXPECT_TRUE(game.messages.empty());
}

TEST_F(Messages, ExpiredOnesGoAndTheRestKeepTheirOrder) {
    showMessage("a", 3000);
    showMessage("b", 6000);
    showMessage("c", 3000);
    showMessage("d", 9000);
    advanceClock(3001);
    expireMessages();
    EXPECT_EQ(durations(), (std::vector<Uint32>{6000, 9000}));
}

TEST_F(Messages, ZeroDurationGoesInALaterMillisecond) {
    showMessage("blink", 0);
    expireMessages();
    EXPECT_EQ(game.messages.size(), 1u);
    advanceClock(1);
    expireMessages();
    EXPECT_TRUE(game.messages.empty());
}

TEST_F(Messages, TheClockDifferenceIsUnsignedAcrossTheWrap) {
    setManualClock(0xFFFFFF00u);
    showMessage("wraps", 3000);
    setManualClock(0xFFFFFF00u + 2999u); // past the 32-bit wrap
    expireMessages();
    EXPECT_EQ(game.messages.size(), 1u);
    advanceClock(2);
    expireMessages();
    EXPECT_TRUE(game.messages.empty());
}

TEST_F(Messages, EachMessageOwnsOneRenderedLine) {
    showMessage("Starting Level 1", 6000);
    ASSERT_EQ(game.messages.size(), 1u);
    SDL_Surface* line = game.messages[0].surface;
    ASSERT_NE(line, nullptr);
    SDL_Surface* expected =
        TTF_RenderText_Solid(game.smallFont, "Starting Level 1", game.textColour);
    EXPECT_EQ(line->w, expected->w);
    EXPECT_EQ(line->h, expected->h);
    SDL_FreeSurface(expected);
    EXPECT_EQ(game.messages[0].alive, 1);
    EXPECT_EQ(game.messages[0].startTicks, 50000u);
    // Removal frees it once; the sanitizer build would catch a second free.
    clearMessages();
    EXPECT_TRUE(game.messages.empty());
}

TEST_F(Messages, AFailedRenderKeepsNoSurfaceAndDrawsNothing) {
    TTF_Font* font = game.smallFont;
    game.smallFont = nullptr; // rendering cannot succeed without a font
    showMessage("lost", 3000);
    game.smallFont = font;
    ASSERT_EQ(game.messages.size(), 1u);
    EXPECT_EQ(game.messages[0].surface, nullptr);
    drawScene(0, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(pixelAt(game.screen, 4, 0).r, 255);
    advanceClock(3001);
    expireMessages();
    EXPECT_TRUE(game.messages.empty());
}

TEST_F(Messages, LinesStackFromTheTopLeftWithThreePixelGaps) {
    showMessage("one", 3000);
    showMessage("two", 3000);
    showMessage("three", 3000);
    giveBlock(0, 10, 8, 255, 0, 0);
    giveBlock(1, 10, 8, 0, 255, 0);
    giveBlock(2, 10, 8, 0, 0, 255);
    drawScene(0, 0, 0, 0, 0, 1, 0, 0);
    // x = 640 / 160 = 4; y = i * (480 / 160 + 8) = 0, 11, 22.
    EXPECT_EQ(pixelAt(game.screen, 4, 0).r, 255);
    EXPECT_EQ(pixelAt(game.screen, 3, 0).g, 255); // background left of the line
    EXPECT_EQ(pixelAt(game.screen, 4, 11).g, 255);
    EXPECT_EQ(pixelAt(game.screen, 4, 11).r, 0);
    EXPECT_EQ(pixelAt(game.screen, 4, 8).b, 255); // the gap shows the background
    EXPECT_EQ(pixelAt(game.screen, 4, 22).b, 255);
    EXPECT_EQ(pixelAt(game.screen, 4, 22).r, 0);
}

TEST_F(Messages, AnExpiredLineLetsTheNextMoveUp) {
    showMessage("short", 3000);
    showMessage("long", 6000);
    giveBlock(0, 10, 8, 255, 0, 0);
    giveBlock(1, 10, 8, 0, 0, 255);
    advanceClock(3001);
    expireMessages();
    drawScene(0, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(pixelAt(game.screen, 4, 0).b, 255);
    EXPECT_EQ(pixelAt(game.screen, 4, 0).r, 0);
}

TEST_F(Messages, FpsLineSitsFivePixelsFromTheTopRight) {
    drawScene(0, 0, 0, 0, 0, 0, 0, 1);
    SDL_Surface* text = TTF_RenderText_Solid(game.smallFont, "FPS: 30", game.textColour);
    ASSERT_NE(text, nullptr);
    const int x0 = game.screenWidth - text->w - 5;
    int inked = 0;
    for (int y = 0; y < text->h; ++y) {
        for (int x = 0; x < text->w; ++x) {
            const bool ink = static_cast<Uint8*>(text->pixels)[y * text->pitch + x] != 0;
            const SDL_Color c = pixelAt(game.screen, x0 + x, 5 + y);
            EXPECT_EQ(c.r, ink ? 0 : 255) << "at " << x << "," << y;
            inked += ink ? 1 : 0;
        }
    }
    EXPECT_GT(inked, 20);
    SDL_FreeSurface(text);
}

TEST_F(Messages, FpsLineOnlyWithBothFlags) {
    game.fpsDisplayOn = 0;
    game.fpsShown = 12345;
    drawScene(0, 0, 0, 0, 0, 0, 0, 1);
    for (int x = 500; x < 640; ++x) {
        for (int y = 0; y < 30; ++y) {
            ASSERT_EQ(pixelAt(game.screen, x, y).r, 255);
        }
    }
    game.fpsDisplayOn = 1;
    drawScene(0, 0, 0, 0, 0, 0, 0, 0);
    for (int x = 500; x < 640; ++x) {
        for (int y = 0; y < 30; ++y) {
            ASSERT_EQ(pixelAt(game.screen, x, y).r, 255);
        }
    }
    EXPECT_EQ(game.fpsShown, 12345);
}
