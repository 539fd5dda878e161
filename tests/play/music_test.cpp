#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/game_state.h"
#include "play/game_loop.h"
#include "play/hotkeys.h"
#include "play/messages.h"
#include "play/music.h"
#include "play/play_fixture.h"

namespace {

// A mono Ogg Vorbis tone of `ms` milliseconds, as the real tracks are Ogg.
bool writeTone(const std::string& path, int ms, float pitch) {
    SF_INFO info = {};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    std::vector<float> samples(size_t(info.samplerate) * size_t(ms) / 1000);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 0.3f * std::sin(float(i) * pitch);
    }
    sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    return true;
}

const char* const kTrackFiles[] = {"01.ogg", "02.ogg", "03.ogg",   "04.ogg",
                                   "05.ogg", "06.ogg", "title.ogg"};

// A data tree of its own in a temporary directory, entered for the test; the fonts
// are opened before leaving the source tree.
class Music : public ::testing::Test {
  protected:
    void SetUp() override {
        startPlaySession();
        game.musicOn = 1;
        char pattern[] = "/tmp/stellarox-music-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        std::filesystem::create_directories(root + "/data/music");
        ASSERT_EQ(chdir(root.c_str()), 0);
    }

    void TearDown() override {
        Mix_HaltMusic();
        Mix_FreeMusic(game.music);
        game.music = nullptr;
        if (chdir(sourceDir().c_str()) != 0) {
            ADD_FAILURE() << "could not leave " << root;
        }
        removeTree(root);
    }

    void writeTracks(int ms) {
        float pitch = 0.05f;
        for (const char* name : kTrackFiles) {
            ASSERT_TRUE(writeTone("data/music/" + std::string(name), ms, pitch));
            pitch += 0.01f;
        }
    }

    void writeGarbageTracks() {
        for (const char* name : kTrackFiles) {
            std::ofstream("data/music/" + std::string(name)) << "not music at all";
        }
    }

    std::string root;
};

// The track the next playMusicTrack(…, 0, …) will choose after seeding with `seed`.
int drawnTrack(unsigned seed) {
    std::srand(seed);
    const int track = std::rand() % 6 + 1;
    std::srand(seed);
    return track;
}

std::string announcementOf(int track) {
    return "Song changed to track " + std::to_string(track);
}

int playScript(std::vector<std::function<void()>> steps) {
    runScriptOnSleeps(std::move(steps), []() { pushQuit(); });
    return runGame();
}

} // namespace

TEST_F(Music, TitleTrackStartsSilentlyAndIsNotInterrupted) {
    writeTracks(20000);
    playMusicTrack(0, 7, 0);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    Mix_Music* title = game.music;
    playMusicTrack(0, 7, 1); // the title menu's call while it plays
    playMusicTrack(0, 3, 1);
    EXPECT_EQ(game.music, title);
    EXPECT_TRUE(game.messages.empty());
}

TEST_F(Music, TitleTrackAnnouncedWhenAsked) {
    writeTracks(20000);
    playMusicTrack(0, 7, 1);
    ASSERT_EQ(game.messages.size(), 1u);
    EXPECT_TRUE(messageSays(0, "Song changed to title track"));
    EXPECT_EQ(game.messages[0].durationMs, 3000u);
}

TEST_F(Music, OtherNumbersPlayTrackOne) {
    writeTracks(20000);
    std::filesystem::remove("data/music/02.ogg"); // only track 1 may be loaded
    for (int track : {8, -1, 100}) {
        clearMessages();
        playMusicTrack(1, track, 1);
        EXPECT_EQ(Mix_PlayingMusic(), 1);
        EXPECT_EQ(shownTexts(), (std::vector<std::string>{announcementOf(1)})) << track;
    }
}

TEST_F(Music, ZeroDrawsAnInGameTrack) {
    writeTracks(20000);
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        clearMessages();
        const int expected = drawnTrack(seed);
        playMusicTrack(1, 0, 1);
        EXPECT_EQ(shownTexts(), (std::vector<std::string>{announcementOf(expected)}));
    }
}

TEST_F(Music, GameStartReplacesTheTitleTrackAnnounced) {
    writeTracks(20000);
    playMusicTrack(0, 7, 0);
    const int expected = drawnTrack(99);
    pushQuit();
    playScript({});
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    const std::vector<std::string> shown = shownTexts();
    ASSERT_GE(shown.size(), 1u);
    EXPECT_EQ(shown[0], announcementOf(expected));
}

TEST_F(Music, NothingPlaysOrIsShownWithMusicOff) {
    writeTracks(20000);
    game.musicOn = 0;
    int remaining = 1;
    holdKey(SDLK_LALT);
    handleGameKey(SDLK_3, remaining);
    handleGameKey(SDLK_n, remaining);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(game.music, nullptr);
    EXPECT_TRUE(game.messages.empty());
}

TEST_F(Music, AltDigitPlaysThatTrack) {
    writeTracks(20000);
    int remaining = 1;
    holdKey(SDLK_LALT);
    handleGameKey(SDLK_5, remaining);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(shownTexts(), (std::vector<std::string>{announcementOf(5)}));
}

TEST_F(Music, AltMOffStopsAndOnStartsAnnouncedBeforeTheConfirmation) {
    writeTracks(20000);
    playMusicTrack(1, 2, 0);
    ASSERT_EQ(Mix_PlayingMusic(), 1);
    int remaining = 1;
    holdKey(SDLK_LALT);
    handleGameKey(SDLK_m, remaining);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_EQ(shownTexts(), (std::vector<std::string>{"Music OFF"}));
    const int expected = drawnTrack(7);
    handleGameKey(SDLK_m, remaining);
    EXPECT_EQ(Mix_PlayingMusic(), 1);
    EXPECT_EQ(shownTexts(),
              (std::vector<std::string>{"Music OFF", announcementOf(expected), "Music ON"}));
}

TEST_F(Music, AnyCallWithMusicOffStopsWhatPlays) {
    writeTracks(20000);
    playMusicTrack(1, 4, 0);
    game.musicOn = 0;
    playMusicTrack(0, 7, 1);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_TRUE(game.messages.empty());
}

TEST_F(Music, AnEndedTrackIsFollowedWithinASecond) {
    writeTracks(20000);
    int announcementsAtEnd = 0;
    int framesToNext = -1;
    int frame = 0;
    runScriptOnSleeps({}, [&]() {
        ++frame;
        if (frame == 5) {
            Mix_HaltMusic(); // the track has run out
            announcementsAtEnd = int(game.messages.size());
        } else if (frame > 5 && framesToNext < 0 && Mix_PlayingMusic() == 1) {
            framesToNext = frame - 5;
            EXPECT_EQ(int(game.messages.size()), announcementsAtEnd + 1);
            EXPECT_TRUE(anyTrackAnnounced());
            pushQuit();
        } else if (frame > 100) {
            pushQuit();
        }
    });
    runGame();
    EXPECT_GT(framesToNext, 0);
    EXPECT_LE(framesToNext, 31); // a second of 33 ms frames
}

TEST_F(Music, ATrackThatRunsOutOnItsOwnIsFollowed) {
    writeTracks(150);
    size_t shownAtEnd = 0;
    int frame = 0;
    int endedAt = -1;
    int followedAt = -1;
    runScriptOnSleeps({}, [&]() {
        ++frame;
        if (frame == 2) {
            // Waits for the mixer's own thread to reach the end; no game timing is measured.
            for (int i = 0; i < 500 && Mix_PlayingMusic() == 1; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            endedAt = Mix_PlayingMusic() == 0 ? frame : -1;
            shownAtEnd = game.messages.size();
        } else if (endedAt > 0 && followedAt < 0 && game.messages.size() > shownAtEnd) {
            followedAt = frame;
        }
        if (followedAt > 0 || frame > 100) {
            pushQuit();
        }
    });
    runGame();
    ASSERT_GT(endedAt, 0) << "the short track never ended";
    ASSERT_GT(followedAt, 0);
    EXPECT_LE(followedAt - endedAt, 31); // a second of 33 ms frames
    EXPECT_TRUE(anyTrackAnnounced());
}

TEST_F(Music, UnloadableFilesLeaveTheGameSilent) {
    writeGarbageTracks();
    playMusicTrack(1, 3, 1);
    EXPECT_EQ(game.music, nullptr);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_TRUE(game.messages.empty());
    pushQuit();
    EXPECT_EQ(playScript({}), 0);
    EXPECT_FALSE(anyTrackAnnounced());
}

TEST_F(Music, MissingFilesLeaveTheGameSilentAndItKeepsTrying) {
    int frames = 0;
    runScriptOnSleeps({}, [&]() {
        if (++frames == 70) {
            pushQuit();
        }
    });
    runGame();
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_FALSE(anyTrackAnnounced());
    EXPECT_EQ(game.musicOn, 1);
}
