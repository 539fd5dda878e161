#include <gtest/gtest.h>

#include <SDL_rotozoom.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/drawing.h"
#include "app/game_state.h"
#include "support/test_support.h"

namespace {

bool isColour(SDL_Color c, Uint8 r, Uint8 g, Uint8 b) {
    return c.r == r && c.g == g && c.b == b;
}

// Writes a w x h image file of one colour and returns its path.
std::string writeImageFile(int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    char name[] = "/tmp/stellarox-image-XXXXXX";
    int fd = mkstemp(name);
    close(fd);
    std::string path = std::string(name) + ".bmp";
    std::rename(name, path.c_str());
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

class Drawing : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdl(false);
        fillScreen(0, 0, 0);
    }
};

} // namespace

TEST(GameStateDefaults, DerivedValuesAt640x480) {
    EXPECT_DOUBLE_EQ(game.scaleX, 0.4);
    EXPECT_DOUBLE_EQ(game.scaleY, 0.4);
    EXPECT_DOUBLE_EQ(game.spriteScale, 0.4);
    EXPECT_FLOAT_EQ(game.measuredFps, 30.0f);
    EXPECT_EQ(game.fpsShown, 30);
    EXPECT_EQ(game.frameCap, 30);
    EXPECT_EQ(game.savedFrameCap, 30);
    EXPECT_EQ(game.worldWidth, 1600);
    EXPECT_EQ(game.worldHeight, 1200);
}

TEST(GameStateDefaults, SettingsAndColours) {
    EXPECT_EQ(game.screenBpp, 32);
    EXPECT_EQ(game.fullscreen, 0);
    EXPECT_EQ(game.sampleRate, 44100);
    EXPECT_EQ(game.sampleSize, 2048);
    EXPECT_EQ(game.soundVolume, 128);
    EXPECT_EQ(game.musicVolume, 128);
    EXPECT_EQ(game.maxVariableFrameCap, 60);
    EXPECT_EQ(game.keyRepeatDelay, 100);
    EXPECT_TRUE(isColour(game.textColour, 0, 0, 0));
    EXPECT_TRUE(isColour(game.highlightColour, 255, 255, 255));
    EXPECT_TRUE(isColour(game.shadowColour, 128, 128, 128));
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(game.playerCount, 1);
    EXPECT_EQ(game.levelParams.fragmentCount, 2);
    EXPECT_FLOAT_EQ(game.levelParams.planetMassMax, 6.0f);
    EXPECT_TRUE(game.bodies.empty());
    EXPECT_TRUE(game.messages.empty());
}

TEST(GameStateDefaults, SpriteScaleFollowsTheDiagonal) {
    EXPECT_DOUBLE_EQ(GameState::deriveSpriteScale(1920, 1080),
                     std::sqrt(1920.0 * 1920 + 1080 * 1080) / 2000);
    EXPECT_DOUBLE_EQ(GameState::deriveSpriteScale(800, 600), 0.5);
}

TEST(GameStateDefaults, TextStreamIsEmptiedBeforeEachUse) {
    freshTextStream() << "first " << 12;
    EXPECT_EQ(game.textStream.str(), "first 12");
    game.textStream.setstate(std::ios::failbit);
    freshTextStream() << 7;
    EXPECT_EQ(game.textStream.str(), "7");
}

TEST_F(Drawing, BlitWorldCentresTheSpriteOnTheWorldPoint) {
    SDL_Surface* sprite = makeSprite(20, 20, 255, 0, 0);
    blitWorld(100, 200, sprite, game.screen);
    // 100 * 0.4 - 10 = 30, 200 * 0.4 - 10 = 70.
    EXPECT_TRUE(isColour(pixelAt(game.screen, 30, 70), 255, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 49, 89), 255, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 29, 70), 0, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 30, 69), 0, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 50, 90), 0, 0, 0));
    SDL_FreeSurface(sprite);
}

TEST_F(Drawing, OddSizesAreOffsetByTheTruncatedHalf) {
    SDL_Surface* sprite = makeSprite(21, 7, 0, 255, 0);
    blitWorld(100, 200, sprite, game.screen);
    // 21 / 2 = 10 and 7 / 2 = 3 in integers: the corner lands at (30, 77).
    EXPECT_TRUE(isColour(pixelAt(game.screen, 30, 77), 0, 255, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 29, 77), 0, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 30, 76), 0, 0, 0));
    SDL_FreeSurface(sprite);
}

TEST_F(Drawing, BlitOnRimPutsTheMarkerOnTheReferenceEdge) {
    SDL_Surface* reference = makeSprite(40, 20);
    SDL_Surface* marker = makeSprite(4, 4, 0, 0, 255);
    // Angle 0: the marker's centre on the right-hand edge of the reference.
    blitOnRim(500, 600, 0.0, reference, marker, game.screen);
    // cx = 200, cy = 240: x = 200 + 20 - 2 = 218, y = 240 - 0 - 2 = 238.
    EXPECT_TRUE(isColour(pixelAt(game.screen, 218, 238), 0, 0, 255));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 217, 238), 0, 0, 0));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 221, 241), 0, 0, 255));
    fillScreen(0, 0, 0);
    // Angle pi/2: at the top edge, screen y decreasing.
    blitOnRim(500, 600, M_PI / 2, reference, marker, game.screen);
    // x = trunc(200 + ~0 - 2) = 198 (cos is a hair above 0), y = 240 - 10 - 2 = 228.
    EXPECT_TRUE(isColour(pixelAt(game.screen, 198, 228), 0, 0, 255));
    EXPECT_TRUE(isColour(pixelAt(game.screen, 198, 227), 0, 0, 0));
    SDL_FreeSurface(reference);
    SDL_FreeSurface(marker);
}

TEST_F(Drawing, FarAwayPositionsNarrowWithoutOverflow) {
    SDL_Surface* sprite = makeSprite(4, 4);
    // A long pause can carry an object far outside the field for one step.
    EXPECT_EQ(toRectCoord(1e12), Sint16(Uint16(Uint32(2147483647))));
    EXPECT_EQ(toRectCoord(-1e12), Sint16(Uint16(Uint32(-2147483647 - 1))));
    EXPECT_EQ(toRectCoord(70000.7), Sint16(Uint16(70000)));
    EXPECT_EQ(toRectCoord(-12.9), -12);
    blitWorld(2000000000, -2000000000, sprite, game.screen);
    SDL_FreeSurface(sprite);
}

TEST_F(Drawing, LoadImageKeysOnlyWhenAsked) {
    const std::string path = writeImageFile(8, 6, 255, 0, 255);
    SDL_Surface* plain = loadImage(path, false, 255, 0, 255);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->flags & SDL_SRCCOLORKEY, 0u);
    EXPECT_EQ(plain->w, 8);
    SDL_Surface* keyed = loadImage(path, true, 255, 0, 255);
    ASSERT_NE(keyed, nullptr);
    EXPECT_NE(keyed->flags & SDL_SRCCOLORKEY, 0u);
    EXPECT_EQ(keyed->format->colorkey, SDL_MapRGB(keyed->format, 255, 0, 255));
    EXPECT_EQ(loadImage("/nonexistent/file.png", true, 0, 0, 0), nullptr);
    SDL_FreeSurface(plain);
    SDL_FreeSurface(keyed);
    std::remove(path.c_str());
}

TEST_F(Drawing, LoadScaledImageAlwaysKeysItsZoomedResult) {
    const std::string path = writeImageFile(100, 50, 10, 20, 30);
    SDL_Surface* zoomed = loadScaledImage(path, false, 0, 0, 0, 0.5, 0.2, 0, 0x123456);
    ASSERT_NE(zoomed, nullptr);
    EXPECT_EQ(zoomed->w, 50);
    EXPECT_EQ(zoomed->h, 10);
    EXPECT_NE(zoomed->flags & SDL_SRCCOLORKEY, 0u);
    EXPECT_EQ(zoomed->format->colorkey, 0x123456u);
    SDL_FreeSurface(zoomed);
    std::remove(path.c_str());
}

TEST_F(Drawing, LoadScaledImageOfAMissingFileEndsWith110) {
    EXPECT_EXIT(loadScaledImage("/nonexistent/file.png", true, 255, 0, 255, 1, 1, 0, 0xFF00FF),
                ::testing::ExitedWithCode(110), "");
}
