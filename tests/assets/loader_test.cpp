// Loading the tree: the design probe, font sizes, and the exit status of each group.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "app/assets.h"
#include "app/game_state.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

class Loader : public ::testing::Test {
  protected:
    void SetUp() override {
        tree = copyDataTree();
        ASSERT_FALSE(tree.empty());
    }
    void TearDown() override {
        removeTree(tree);
    }
    void remove(const std::string& relative) {
        ASSERT_TRUE(fs::remove(tree + "/data/" + relative)) << relative;
    }
    int runStatus() {
        // A normal run stays in the title menu until SIGTERM closes the window.
        return runGameBinary(tree, {}, 60, 2500).status;
    }
    std::string tree;
};

} // namespace

TEST(DesignNumbers, AreWrittenWithAtLeastThreeDigits) {
    EXPECT_EQ(designNumber(1), "001");
    EXPECT_EQ(designNumber(7), "007");
    EXPECT_EQ(designNumber(42), "042");
    EXPECT_EQ(designNumber(100), "100");
    EXPECT_EQ(designNumber(123), "123");
}

TEST_F(Loader, ProbingStopsAtTheFirstMissingDesign) {
    remove("images/ships/ship_005.png");
    ASSERT_EQ(chdir(tree.c_str()), 0);
    startSdl(true);
    loadImages();
    EXPECT_EQ(game.shipImages.size(), 4u);
    for (const ShipImageSet& set : game.shipImages) {
        ASSERT_NE(set.shipImage, nullptr);
        ASSERT_NE(set.previewImage, nullptr);
        ASSERT_NE(set.explosionImage, nullptr);
        // At 640 x 480 the ship is about 24 pixels and its preview about 120.
        EXPECT_NEAR(set.shipImage->w, 24, 2);
        EXPECT_NEAR(set.previewImage->w, 120, 4);
    }
    EXPECT_NEAR(game.asteroidImages[4]->w, 35, 2);
    EXPECT_NEAR(game.asteroidImages[3]->w, 24, 2);
    EXPECT_NEAR(game.asteroidImages[2]->w, 14, 2);
    EXPECT_NEAR(game.planetImage->w, 70, 4);
    EXPECT_NE(game.background->flags & SDL_SRCCOLORKEY, 0u);
    EXPECT_EQ(game.background->format->colorkey, 0u);
    EXPECT_EQ(game.background->w, 640);
}

TEST_F(Loader, FontSizesFollowTheScreenHeight) {
    ASSERT_EQ(chdir(tree.c_str()), 0);
    startSdl(false);
    loadFonts();
    // Fonts of 12, 20 and 31 points; the loading screen reopens the medium one at 21.
    auto lineHeight = [](int points) {
        TTF_Font* f = TTF_OpenFont("data/fonts/LiberationSans-Bold.ttf", points);
        const int h = TTF_FontHeight(f);
        TTF_CloseFont(f);
        return h;
    };
    EXPECT_EQ(TTF_FontHeight(game.smallFont), lineHeight(12));
    EXPECT_EQ(TTF_FontHeight(game.mediumFont), lineHeight(20));
    EXPECT_EQ(TTF_FontHeight(game.largeFont), lineHeight(31));
    loadImages();
    EXPECT_EQ(TTF_FontHeight(game.mediumFont), lineHeight(21));
}

TEST_F(Loader, FontSizesAt800PixelsHigh) {
    ASSERT_EQ(chdir(tree.c_str()), 0);
    startSdl(false);
    // Font sizes read only the height; the window itself can stay as it is.
    game.screenHeight = 800;
    loadFonts();
    auto lineHeight = [](int points) {
        TTF_Font* f = TTF_OpenFont("data/fonts/LiberationSans-Bold.ttf", points);
        const int h = TTF_FontHeight(f);
        TTF_CloseFont(f);
        return h;
    };
    EXPECT_EQ(TTF_FontHeight(game.smallFont), lineHeight(20));
    EXPECT_EQ(TTF_FontHeight(game.largeFont), lineHeight(52));
    loadImages();
    EXPECT_EQ(TTF_FontHeight(game.mediumFont), lineHeight(36));
}

TEST_F(Loader, TheWholeTreeRunsToTheTitleMenu) {
    EXPECT_EQ(runStatus(), 0);
}

TEST_F(Loader, AMissingExplosionStripEndsWith120AfterProbing) {
    remove("images/particles/shipExplosionParticle_003.png");
    EXPECT_EQ(runStatus(), 120);
}

TEST_F(Loader, NoShipDesignAtAllEndsWith120) {
    for (int n = 1; n <= 8; ++n) {
        remove("images/ships/ship_" + designNumber(n) + ".png");
    }
    EXPECT_EQ(runStatus(), 120);
}

TEST_F(Loader, AMissingParticleStripEndsWith100) {
    remove("images/particles/exaustParticle.png");
    EXPECT_EQ(runStatus(), 100);
}

TEST_F(Loader, AMissingSpriteEndsWith110) {
    remove("images/objects/turret.png");
    EXPECT_EQ(runStatus(), 110);
}

TEST_F(Loader, AMissingSoundEndsWith200) {
    remove("snd/engine.wav");
    EXPECT_EQ(runStatus(), 200);
}

TEST_F(Loader, AMissingFontEndsWith300) {
    remove("fonts/LiberationSans-Bold.ttf");
    EXPECT_EQ(runStatus(), 300 & 0xFF);
}

TEST_F(Loader, MissingMusicLeavesARunningSilentGame) {
    remove("music/title.ogg");
    EXPECT_EQ(runStatus(), 0);
}
