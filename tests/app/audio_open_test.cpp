// Opening the audio device with any chunk size the settings menu can hold.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include "app/startup.h"

TEST(AudioOpen, ChunkSizesBecomeThePowerOfTwoAtOrAbove) {
    const int cases[][2] = {
        {-5, 1},      {0, 1},       {1, 1},         {5, 8},         {2048, 2048},
        {2049, 4096}, {3048, 4096}, {32768, 32768}, {40000, 32768}, {2147483647, 32768}};
    for (const auto& c : cases) {
        EXPECT_EQ(audioBufferSamples(c[0]), c[1]) << c[0];
    }
}

TEST(AudioOpen, AnOddChunkSizeOpensMixesAndClosesCleanly) {
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0);
    // SDL overran its mixing buffer for such a size; the sanitizers see any overrun.
    for (int size : {3048, 2049, 5}) {
        ASSERT_EQ(openMixer(44100, AUDIO_S16LSB, 2, size), 0) << size;
        SDL_Delay(150);
        Mix_CloseAudio();
    }
    SDL_Quit();
}
