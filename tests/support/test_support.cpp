#include "support/test_support.h"

#include "app/assets.h"

#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "app/video.h"

namespace {

std::vector<std::function<void()>> scriptSteps;
std::function<void()> scriptDone;
size_t scriptNext = 0;
std::vector<Uint32> sleepsLogged;

void scriptedSleep(Uint32 ms) {
    sleepsLogged.push_back(ms);
    advanceClock(ms);
    if (scriptNext < scriptSteps.size()) {
        scriptSteps[scriptNext++]();
    } else if (scriptDone) {
        scriptDone();
    }
}

} // namespace

void startSdl(bool fonts) {
    ASSERT_NE(SDL_Init(0xFFFF), -1) << SDL_GetError();
    ASSERT_NE(TTF_Init(), -1);
    ASSERT_NE(Mix_OpenAudio(game.sampleRate, AUDIO_S16LSB, 2, game.sampleSize), -1)
        << Mix_GetError();
    setVideoMode(false, game.screenWidth, game.screenHeight, game.screenBpp, 640, 480, 8);
    ASSERT_NE(game.screen, nullptr);
    game.keyState = SDL_GetKeyState(nullptr);
    if (fonts) {
        readWholeFile("data/fonts/LiberationSans-Bold.ttf", 1 << 24, game.fontBytes);
        game.smallFont = openGameFont(game.screenHeight * 20 / 768);
        game.mediumFont = openGameFont(game.screenHeight * 35 / 768);
        game.largeFont = openGameFont(game.screenHeight * 50 / 768);
        ASSERT_NE(game.smallFont, nullptr) << "generate the data tree first";
    }
}

void runScriptOnSleeps(std::vector<std::function<void()>> steps, std::function<void()> whenDone) {
    scriptSteps = std::move(steps);
    scriptDone = std::move(whenDone);
    scriptNext = 0;
    sleepsLogged.clear();
    if (!clockSeam.manual) {
        useManualClock();
    }
    clockSeam.sleepHook = scriptedSleep;
}

int sleepsSeen() {
    return int(sleepsLogged.size());
}

std::vector<Uint32> sleepLog() {
    return sleepsLogged;
}

SDL_Surface* makeSprite(int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* raw = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Surface* s = SDL_DisplayFormat(raw);
    SDL_FreeSurface(raw);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    SDL_SetColorKey(s, SDL_SRCCOLORKEY, 0xFF00FF);
    return s;
}

SDL_Color pixelAt(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    const int bpp = surface->format->BytesPerPixel;
    Uint32 value = 0; // pixels are little-endian here, whatever their width
    std::memcpy(&value, static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bpp,
                size_t(bpp));
    SDL_UnlockSurface(surface);
    SDL_Color c = {};
    SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
    return c;
}

void fillScreen(Uint8 r, Uint8 g, Uint8 b) {
    SDL_FillRect(game.screen, nullptr, SDL_MapRGB(game.screen->format, r, g, b));
}

void useSyntheticImages(int designs) {
    game.background = makeSprite(game.screenWidth, game.screenHeight, 60, 60, 90);
    SDL_SetColorKey(game.background, SDL_SRCCOLORKEY, 0);
    game.planetImage = makeSprite(70, 70, 40, 120, 200);
    const int asteroidSizes[6] = {0, 9, 14, 24, 35, 73};
    for (int size = 1; size <= 5; ++size) {
        game.asteroidImages[size] =
            makeSprite(asteroidSizes[size], asteroidSizes[size], 120, 100, 80);
    }
    game.shipBulletImage = makeSprite(4, 4, 255, 255, 0);
    game.largeShipBulletImage = makeSprite(13, 13, 255, 255, 0);
    game.turretBulletImage = makeSprite(4, 4, 255, 80, 0);
    game.turretImage = makeSprite(28, 28, 90, 90, 90);
    game.crosshairImage = makeSprite(20, 20, 255, 0, 0);
    game.exhaustParticleImage = makeSprite(24, 6, 255, 160, 0);
    game.explosionParticleImage = makeSprite(36, 9, 255, 100, 0);
    for (SDL_Surface* strip : {game.exhaustParticleImage, game.explosionParticleImage}) {
        SDL_SetColorKey(strip, SDL_SRCCOLORKEY, SDL_MapRGB(strip->format, 255, 255, 255));
    }
    game.shipImages.clear();
    for (int i = 0; i < designs; ++i) {
        ShipImageSet set;
        set.shipImage = makeSprite(24, 24, 0, 200, 0);
        set.previewImage = makeSprite(120, 120, 0, 200, 0);
        set.explosionImage = makeSprite(36, 9, 0, 255, 0);
        game.shipImages.push_back(set);
    }
}

std::string sourceDir() {
    return STELLAROX_SOURCE_DIR;
}

std::string copyDataTree() {
    char pattern[] = "/tmp/stellarox-tree-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) {
        return "";
    }
    std::filesystem::copy(sourceDir() + "/data", std::string(dir) + "/data",
                          std::filesystem::copy_options::recursive);
    return dir;
}

void removeTree(const std::string& dir) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

RunResult runGameBinary(const std::string& dir, const std::vector<std::string>& env,
                        int timeoutSeconds, int sendSigtermAfterMs) {
    RunResult result;
    int out[2];
    if (pipe(out) != 0) {
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(out[1], 2);
        close(out[0]);
        // Images are freed only before a reload, by design: at exit SDL still holds
        // them, and the sanitizer build's leak report would change the exit status.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 0);
        for (const std::string& e : env) {
            putenv(const_cast<char*>(e.c_str()));
        }
        if (chdir(dir.c_str()) == 0) {
            execl(STELLAROX_BINARY, STELLAROX_BINARY, static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    close(out[1]);
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    char buffer[4096];
    ssize_t n = 0;
    int status = 0;
    for (int waited = 0;; waited += 10, usleep(10000)) {
        const bool ended = waitpid(pid, &status, WNOHANG) == pid;
        // Drained as it comes, so a chatty game never blocks; the pipe keeps its last words.
        while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
            result.output.append(buffer, size_t(n));
        }
        if (ended) {
            break;
        }
        if (sendSigtermAfterMs >= 0 && waited == sendSigtermAfterMs / 10 * 10) {
            kill(pid, SIGTERM);
        }
        if (waited >= timeoutSeconds * 1000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            close(out[0]);
            return result;
        }
    }
    close(out[0]);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    return result;
}

bool messageSays(size_t index, const std::string& text) {
    if (index >= game.messages.size() || game.messages[index].surface == nullptr ||
        game.smallFont == nullptr) {
        return false;
    }
    SDL_Surface* shown = game.messages[index].surface;
    SDL_Surface* expected = TTF_RenderText_Solid(game.smallFont, text.c_str(), game.textColour);
    if (expected == nullptr) {
        return false;
    }
    bool same = shown->w == expected->w && shown->h == expected->h &&
                shown->format->BytesPerPixel == expected->format->BytesPerPixel;
    for (int y = 0; same && y < shown->h; ++y) {
        const Uint8* a = static_cast<const Uint8*>(shown->pixels) + y * shown->pitch;
        const Uint8* b = static_cast<const Uint8*>(expected->pixels) + y * expected->pitch;
        same = std::equal(a, a + shown->w * shown->format->BytesPerPixel, b);
    }
    SDL_FreeSurface(expected);
    return same;
}

std::vector<std::string> messageTexts(const std::vector<std::string>& candidates) {
    std::vector<std::string> out;
    for (size_t i = 0; i < game.messages.size(); ++i) {
        std::string found = "?";
        for (const std::string& c : candidates) {
            if (messageSays(i, c)) {
                found = c;
                break;
            }
        }
        out.push_back(found);
    }
    return out;
}
