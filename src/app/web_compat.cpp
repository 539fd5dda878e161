// Replacements for the calls Emscripten's SDL 1.2 emulation gets wrong (see web_compat.h).
// Only the web build compiles anything here.
#ifdef __EMSCRIPTEN__

#include "app/web_compat.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_map>

#include "app/game_state.h"
#include "app/web_zoom.h"

// The browser's key codes that the emulation leaves unmapped or maps apart from the
// SDLK_ values its own header defines: Pause, '=', '-' and ';' as Chromium reports them.
EM_JS(void, webMapKeys, (), {
    SDL.keyCodes[19] = 72 | 1024;
    SDL.keyCodes[187] = 61;
    SDL.keyCodes[189] = 45;
    SDL.keyCodes[186] = 59;
});

// Full screen needs the browser's consent, which a key press a moment ago gives. A refusal
// is reported like any other change (webFullscreenChanged), so the game's flag stays right.
EM_JS(void, webRequestFullscreen, (int on), {
    var stage = document.getElementById('stage') || Module['canvas'];
    if (on && !document.fullscreenElement && stage.requestFullscreen) {
        stage.requestFullscreen().catch(function() { Module['_webFullscreenChanged'](0); });
    } else if (!on && document.fullscreenElement) {
        document.exitFullscreen().catch(function(){});
    }
});

// The screen's canvas is always covered by the opaque background, so it needs no alpha.
// Desynchronized, a changed canvas goes straight to the display compositor instead of
// through the page's own, which cost as much again per frame. The emulation's
// getContext('2d') then returns this context.
EM_JS(void, webPrepareScreenCanvas, (),
      { Module['canvas'].getContext('2d', {alpha : false, desynchronized : true}); });

// A new video mode on the desktop starts with every key up, a held Alt+Enter included;
// without this, holding the keys would switch modes on every frame.
EM_JS(void, webReleaseKeys, (), {
    HEAPU8.fill(0, SDL.keyboardState, SDL.keyboardState + 0x10000);
    SDL.keyboardMap = {};
});

// Queues a key as the browser would have reported it: the emulation drops events pushed
// from C when the game takes them with SDL_PeepEvents. The browser's key code is the one
// the emulation's table turns into this key (letters and unmapped codes stand for
// themselves; a right-hand modifier is its left one, on the right).
EM_JS(void, webQueueKey, (int sym, int down), {
    var right = sym >= (228 | 1024) && sym <= (231 | 1024);
    var wanted = right ? sym - 4 : sym;
    var code = sym >= 97 && sym <= 122 ? sym - 32 : sym;
    for (var c in SDL.keyCodes) {
        if (SDL.keyCodes[c] == wanted) {
            code = Number(c);
            break;
        }
    }
    SDL.events.push({type : down ? 'keydown' : 'keyup', keyCode : code, location : right ? 2 : 0});
});

// SDL_mixer mixes 8 channels unless told otherwise; the emulation opens 32 (and only
// ever grows), which would let more effects sound at once than on the desktop.
EM_JS(void, webLimitChannels, (int count), {
    if (SDL.numChannels > count) {
        SDL.numChannels = count;
        SDL.channels.length = count;
    }
});

// The emulation's audio context wakes every 10 ms or so by default; the desktop's mixer
// fills a buffer of chunkSize samples at a time, so the browser may take that long too.
EM_JS(void, webOpenAudioContext, (int frequency, int chunkSize), {
    if (!SDL.audioContext && typeof AudioContext != 'undefined')
        SDL.audioContext = new AudioContext({latencyHint : chunkSize / frequency});
});

// Draws one line in the page's registered copy of the game's font, glyph by glyph at
// whole-pixel advances with pair kerning, as FreeType lays it out, then drops the
// browser's smoothing: a pixel is ink when at least 7/16 covered, the cut that comes
// closest to FreeType's monochrome rendering of this font. Returns malloc'd
// RGBA pixels (alpha 0 or 255) and their size, or 0 for an empty line or unknown font.
EM_JS(Uint8*, webDrawText,
      (const char* family, int size, const char* text, int red, int green, int blue, int* width,
       int* height),
      {
          var name = UTF8ToString(family);
          var line = UTF8ToString(text);
          var m = Module['webFontMetrics'] && Module['webFontMetrics'][name];
          if (!m || line.length == 0)
              return 0;
          var cache = Module['webTextCache'] || (Module['webTextCache'] = new Map());
          var cacheKey = name + '|' + size + '|' + red + ',' + green + ',' + blue + '|' + line;
          var hit = cache.get(cacheKey);
          if (!hit) {
              var ctx = Module['webTextContext'];
              if (!ctx) {
                  ctx = document.createElement('canvas').getContext('2d',
                                                                    {willReadFrequently : true});
                  Module['webTextContext'] = ctx;
              }
              ctx.font = size + 'px "' + name + '"';
              // FreeType's fixed point: scale in 16.16, metrics in 26.6, rounded up to pixels.
              var scale = Math.round(size * 64 * 65536 / m.unitsPerEm);
              var ascent = Math.ceil(Math.round(m.ascender * scale / 65536) / 64);
              var descent = Math.ceil(Math.round(m.descender * scale / 65536) / 64);
              var h = ascent - descent + 1;
              var pens = [];
              var x = 0, minx = 0, maxx = 0, start = 0;
              for (var i = 0; i < line.length; i++) {
                  var ch = line[i];
                  var tm = ctx.measureText(ch);
                  var advance = Math.round(tm.width);
                  if (i > 0) {
                      var pair = ctx.measureText(line[i - 1] + ch).width;
                      x += Math.round(pair - ctx.measureText(line[i - 1]).width - tm.width);
                  }
                  var left = Math.floor(-tm.actualBoundingBoxLeft);
                  var right = Math.ceil(tm.actualBoundingBoxRight);
                  if (i == 0 && left < 0)
                      start = -left;
                  minx = Math.min(minx, x + left);
                  maxx = Math.max(maxx, x + Math.max(advance, right));
                  pens.push(x);
                  x += advance;
              }
              var w = maxx - minx;
              if (w <= 0)
                  return 0;
              var canvas = ctx.canvas;
              if (canvas.width < w || canvas.height < h) {
                  canvas.width = Math.max(canvas.width, w);
                  canvas.height = Math.max(canvas.height, h);
                  ctx.font = size + 'px "' + name + '"';
              }
              ctx.clearRect(0, 0, canvas.width, canvas.height);
              ctx.fillStyle = '#000';
              ctx.textBaseline = 'alphabetic';
              for (var j = 0; j < line.length; j++)
                  ctx.fillText(line[j], start + pens[j], ascent);
              var data = ctx.getImageData(0, 0, w, h).data;
              var pixels = new Uint8Array(w * h * 4);
              for (var p = 0; p < w * h; p++) {
                  if (data[p * 4 + 3] >= 112) {
                      pixels[p * 4] = red;
                      pixels[p * 4 + 1] = green;
                      pixels[p * 4 + 2] = blue;
                      pixels[p * 4 + 3] = 255;
                  }
              }
              if (cache.size > 256)
                  cache.clear();
              hit = {w : w, h : h, pixels : pixels};
              cache.set(cacheKey, hit);
          }
          var out = _malloc(hit.pixels.length);
          if (!out)
              return 0;
          HEAPU8.set(hit.pixels, out);
          HEAP32[width >> 2] = hit.w;
          HEAP32[height >> 2] = hit.h;
          return out;
      });

EM_JS(int, webFontKnown, (const char* family), {
    var m = Module['webFontMetrics'];
    return m && m[UTF8ToString(family)] ? 1 : 0;
});

// Pads come from the browser's gamepad list: the n-th connected pad is joystick n.
EM_JS(int, webPadCount, (), {
    if (!navigator.getGamepads)
        return 0;
    return Array.prototype.filter
        .call(
            navigator.getGamepads(), function(p) { return p && p.connected; })
        .length;
});

EM_JS(int, webPadRead, (int index, int kind, int which), {
    if (!navigator.getGamepads)
        return 0;
    var pads = Array.prototype.filter.call(
        navigator.getGamepads(), function(p) { return p && p.connected; });
    var pad = pads[index];
    if (!pad)
        return 0;
    var pressed = function(b) {
        return pad.buttons[b] && pad.buttons[b].pressed ? 1 : 0;
    };
    if (kind == 0)
        return pad.buttons.length;
    if (kind == 1)
        return pressed(which);
    if (kind == 2) {
        var v = pad.axes[which] || 0;
        return Math.max(-32768, Math.min(32767, Math.round(v * 32767)));
    }
    // The standard layout's D-pad (buttons 12 to 15) stands for hat 0.
    return (pressed(12) ? 1 : 0) | (pressed(15) ? 2 : 0) | (pressed(13) ? 4 : 0) |
           (pressed(14) ? 8 : 0);
});

EM_JS(void, webPadName, (int index, char* out, int size), {
    var pads = navigator.getGamepads
                   ? Array.prototype.filter.call(
                         navigator.getGamepads(), function(p) { return p && p.connected; })
                   : [];
    stringToUTF8(pads[index] ? pads[index].id : String(), out, size);
});

extern "C" unsigned char* stbi_load_from_memory(const unsigned char* bytes, int length, int* w,
                                                int* h, int* channels, int wanted);

// The emulation keeps a memory stream as a record of its bytes' address and count.
EM_JS(const Uint8*, webStreamBytes, (SDL_RWops * source, int* count), {
    var stream = SDL.rwops[source];
    if (!stream || !stream.bytes)
        return 0;
    HEAP32[count >> 2] = stream.count;
    return stream.bytes;
});
extern "C" void stbi_image_free(void* pixels);

// Puts 32-bit pixels on a surface's canvas without reading it back first.
EM_JS(void, webUploadPixels, (SDL_Surface * surface, const Uint32* pixels, int w, int h), {
    var data = SDL.surfaces[surface];
    if (!data || !data.ctx)
        return;
    var image =
        new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, w * h * 4).slice(), w, h);
    data.ctx.putImageData(image, 0, 0);
});

namespace {

// Reading a canvas back is slow and loading zooms big pictures, keyed, many times over.
// So a picture this layer loaded keeps its pixels here, unkeyed, with its key apart; the
// canvas is brought up to date only when the surface is blitted.
struct Picture {
    int w = 0;
    int h = 0;
    std::vector<Uint32> pixels; // opaque, in the canvas's byte order (R first)
};
struct Shadow {
    std::shared_ptr<const Picture> picture;
    bool keyed = false;
    Uint32 key = 0; // RGB in the same byte order
    bool stale = true;
};
std::unordered_map<SDL_Surface*, Shadow> shadows;
std::unordered_map<Uint64, std::shared_ptr<const Picture>> decoded; // by content

// The key of each other keyed surface, so that its keyed (now transparent) pixels can be
// given their colour back when it is zoomed or unkeyed.
std::unordered_map<SDL_Surface*, Uint32> surfaceKeys;

struct WebFont {
    std::string family;
    int size = 0;
};

struct WebPad {
    int index = 0;
};
const int kMaxPads = 16;
WebPad pads[kMaxPads];

bool audioOpen = false;
int audioFrequency = 0;
Uint16 audioFormat = 0;
int audioChannels = 0;

const int kMixerChannels = 8;
const Uint32 kRgb = 0x00ffffff;
const Uint32 kOpaque = 0xff000000;

int padIndex(SDL_Joystick* joystick) {
    for (int i = 0; i < kMaxPads; ++i) {
        if (reinterpret_cast<SDL_Joystick*>(&pads[i]) == joystick) {
            return i;
        }
    }
    return -1;
}

SDL_Surface* shadowedSurface(std::shared_ptr<const Picture> picture, bool keyed, Uint32 key) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, picture->w, picture->h, 32, 0xff, 0xff00,
                                          0xff0000, kOpaque);
    if (s != nullptr) {
        shadows[s] = Shadow{std::move(picture), keyed, key, true};
    }
    return s;
}

void bringCanvasUpToDate(SDL_Surface* s) {
    auto found = shadows.find(s);
    if (found == shadows.end() || !found->second.stale) {
        return;
    }
    Shadow& shadow = found->second;
    const Picture& p = *shadow.picture;
    std::vector<Uint32> shown(p.pixels);
    if (shadow.keyed) {
        for (Uint32& pixel : shown) {
            pixel = (pixel & kRgb) == shadow.key ? 0 : pixel;
        }
    }
    webUploadPixels(s, shown.data(), p.w, p.h);
    shadow.stale = false;
}

} // namespace

int webInit(Uint32 flags) {
    webMapKeys();
    return SDL_Init(flags);
}

SDL_Surface* webSetVideoMode(int width, int height, int bpp, Uint32 flags) {
    webRequestFullscreen((flags & SDL_FULLSCREEN) != 0 ? 1 : 0);
    webReleaseKeys();
    webPrepareScreenCanvas();
    return SDL_SetVideoMode(width, height, bpp, flags & ~Uint32(SDL_FULLSCREEN));
}

int webFlip(SDL_Surface* screen) {
    // The canvas already holds the frame; handing control back lets the browser show it
    // and deliver input. A loop that never yields would freeze the tab.
    const int result = SDL_Flip(screen);
    EM_ASM(Module['webFrames'] = (Module['webFrames'] || 0) + 1;);
    emscripten_sleep(0);
    return result;
}

Uint8* webGetKeyState(int* count) {
    return SDL_GetKeyboardState(count);
}

// The emulation numbers a stream by the length of its list, which its SDL_FreeRW can
// empty: a stream may then be numbered 0, the null pointer. That one is left in place
// (so the list never empties again) and another taken.
SDL_RWops* webRWFromConstMem(const void* bytes, int count) {
    SDL_RWops* source = SDL_RWFromConstMem(bytes, count);
    return source != nullptr ? source : SDL_RWFromConstMem(bytes, count);
}

// Decodes with stb_image, which like the desktop's SDL_image ignores gamma and colour
// chunks (the browser's decoder applies them and shifts key colours). The game hands
// over checked PNG bytes; each file's bytes are decoded once.
SDL_Surface* webLoadTypedRW(SDL_RWops* source, int freeSource, char*) {
    int count = 0;
    const Uint8* bytes = source != nullptr ? webStreamBytes(source, &count) : nullptr;
    Uint64 hash = 14695981039346656037ull; // FNV-1a
    for (int i = 0; bytes != nullptr && i < count; ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    auto known = decoded.find(hash);
    if (bytes != nullptr && known == decoded.end()) {
        int w = 0;
        int h = 0;
        int channels = 0;
        unsigned char* rgba = stbi_load_from_memory(bytes, count, &w, &h, &channels, 4);
        if (rgba != nullptr && w >= 1 && h >= 1) {
            auto picture = std::make_shared<Picture>();
            picture->w = w;
            picture->h = h;
            picture->pixels.resize(size_t(w) * size_t(h));
            std::memcpy(picture->pixels.data(), rgba, picture->pixels.size() * 4);
            for (Uint32& pixel : picture->pixels) {
                pixel |= kOpaque;
            }
            known = decoded.emplace(hash, std::move(picture)).first;
        }
        stbi_image_free(rgba);
    }
    if (source != nullptr && freeSource != 0) {
        SDL_FreeRW(source);
    }
    return known != decoded.end() ? shadowedSurface(known->second, false, 0) : nullptr;
}

SDL_Surface* webDisplayFormat(SDL_Surface* surface) {
    if (surface == nullptr) {
        return nullptr;
    }
    auto found = shadows.find(surface);
    if (found != shadows.end()) {
        return shadowedSurface(found->second.picture, found->second.keyed, found->second.key);
    }
    return SDL_ConvertSurface(surface, surface->format, 0);
}

int webUpperBlit(SDL_Surface* source, SDL_Rect* sourceRect, SDL_Surface* destination,
                 SDL_Rect* destinationRect) {
    if (source == nullptr || destination == nullptr) {
        return -1;
    }
    bringCanvasUpToDate(source);
    bringCanvasUpToDate(destination);
    // From here on the destination's canvas is the truth.
    shadows.erase(destination);
    return SDL_UpperBlit(source, sourceRect, destination, destinationRect);
}

// Canvas blits honour alpha, not keys: a keyed pixel becomes fully transparent.
int webSetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key) {
    if (surface == nullptr) {
        return -1;
    }
    auto shadow = shadows.find(surface);
    if (shadow != shadows.end()) {
        shadow->second.keyed = (flag & SDL_SRCCOLORKEY) != 0;
        shadow->second.key = key & kRgb;
        shadow->second.stale = true;
        return 0;
    }
    if (SDL_LockSurface(surface) != 0) {
        return -1;
    }
    const auto known = surfaceKeys.find(surface);
    const bool keyed = (flag & SDL_SRCCOLORKEY) != 0;
    const Uint32 previous = known != surfaceKeys.end() ? known->second : 0;
    Uint32* pixels = static_cast<Uint32*>(surface->pixels);
    const size_t count = size_t(surface->w) * size_t(surface->h);
    for (size_t i = 0; i < count; ++i) {
        Uint32 p = pixels[i];
        if ((p & kOpaque) == 0 && known != surfaceKeys.end()) {
            p = previous;
        }
        const bool clear = keyed && (p & kRgb) == (key & kRgb);
        pixels[i] = clear ? 0 : ((p & kRgb) | kOpaque);
    }
    SDL_UnlockSurface(surface);
    if (keyed) {
        surfaceKeys[surface] = key & kRgb;
    } else {
        surfaceKeys.erase(surface);
    }
    return 0;
}

SDL_Surface* webZoomSurface(SDL_Surface* source, double zoomX, double zoomY, int smooth) {
    auto shadow = source != nullptr ? shadows.find(source) : shadows.end();
    if (shadow != shadows.end()) {
        const Picture& from = *shadow->second.picture;
        auto to = std::make_shared<Picture>();
        to->w = zoomedLength(from.w, zoomX);
        to->h = zoomedLength(from.h, zoomY);
        to->pixels =
            zoomPixels(from.pixels.data(), from.w, from.h, from.w, to->w, to->h, smooth != 0);
        return shadowedSurface(std::move(to), false, 0);
    }
    if (source == nullptr || source->w < 1 || source->h < 1 || SDL_LockSurface(source) != 0) {
        return nullptr;
    }
    const auto known = surfaceKeys.find(source);
    const Uint32* raw = static_cast<const Uint32*>(source->pixels);
    std::vector<Uint32> opaque(size_t(source->w) * size_t(source->h));
    for (size_t i = 0; i < opaque.size(); ++i) {
        Uint32 p = raw[i];
        if ((p & kOpaque) == 0 && known != surfaceKeys.end()) {
            p = known->second;
        }
        opaque[i] = (p & kRgb) | kOpaque;
    }
    SDL_UnlockSurface(source);
    const int w = zoomedLength(source->w, zoomX);
    const int h = zoomedLength(source->h, zoomY);
    const std::vector<Uint32> zoomed =
        zoomPixels(opaque.data(), source->w, source->h, source->w, w, h, smooth != 0);
    SDL_Surface* out =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff, 0xff00, 0xff0000, kOpaque);
    if (out == nullptr || SDL_LockSurface(out) != 0) {
        SDL_FreeSurface(out);
        return nullptr;
    }
    std::memcpy(out->pixels, zoomed.data(), zoomed.size() * sizeof(Uint32));
    SDL_UnlockSurface(out);
    return out;
}

void webFreeSurface(SDL_Surface* surface) {
    if (surface != nullptr) {
        surfaceKeys.erase(surface);
        shadows.erase(surface);
        SDL_FreeSurface(surface);
    }
}

// The browser draws text with its own copy of the game's one font, which the page has
// registered under the font's path; the bytes the game checked are not needed here.
TTF_Font* webOpenFontRW(SDL_RWops* source, int freeSource, int size) {
    static const char* const kFamily = "data/fonts/LiberationSans-Bold.ttf";
    if (source != nullptr && freeSource != 0) {
        SDL_FreeRW(source);
    }
    if (source == nullptr || webFontKnown(kFamily) == 0) {
        return nullptr;
    }
    WebFont* font = new WebFont;
    font->family = kFamily;
    font->size = size < 1 ? 1 : size;
    return reinterpret_cast<TTF_Font*>(font);
}

void webCloseFont(TTF_Font* font) {
    delete reinterpret_cast<WebFont*>(font);
}

SDL_Surface* webRenderTextSolid(TTF_Font* font, const char* text, SDL_Color colour) {
    if (font == nullptr || text == nullptr) {
        return nullptr;
    }
    const WebFont* f = reinterpret_cast<const WebFont*>(font);
    int w = 0;
    int h = 0;
    Uint8* rgba =
        webDrawText(f->family.c_str(), f->size, text, colour.r, colour.g, colour.b, &w, &h);
    if (rgba == nullptr) {
        return nullptr;
    }
    // Kept as a keyed picture, like a loaded one, so that the canvas gets its pixels once
    // at the blit, instead of being read back and written twice by a lock and unlock.
    const Uint32 ink = Uint32(colour.r) | Uint32(colour.g) << 8 | Uint32(colour.b) << 16;
    const Uint32 key = ink ^ kRgb;
    auto picture = std::make_shared<Picture>();
    picture->w = w;
    picture->h = h;
    picture->pixels.resize(size_t(w) * size_t(h));
    std::memcpy(picture->pixels.data(), rgba, picture->pixels.size() * 4);
    std::free(rgba);
    for (Uint32& pixel : picture->pixels) {
        pixel = ((pixel & kOpaque) != 0 ? ink : key) | kOpaque;
    }
    return shadowedSurface(std::move(picture), true, key);
}

int webOpenAudio(int frequency, Uint16 format, int channels, int chunkSize) {
    if (frequency > 0 && chunkSize > 0) {
        webOpenAudioContext(frequency, chunkSize);
    }
    const int result = Mix_OpenAudio(frequency, format, channels, chunkSize);
    if (result == 0) {
        webLimitChannels(kMixerChannels);
    }
    audioOpen = result == 0;
    audioFrequency = frequency;
    audioFormat = format;
    audioChannels = channels;
    return result;
}

void webCloseAudio() {
    Mix_CloseAudio();
    audioOpen = false;
}

int webQuerySpec(int* frequency, Uint16* format, int* channels) {
    if (!audioOpen) {
        return 0;
    }
    if (frequency != nullptr) {
        *frequency = audioFrequency;
    }
    if (format != nullptr) {
        *format = audioFormat;
    }
    if (channels != nullptr) {
        *channels = audioChannels;
    }
    return 1;
}

// The emulation plays music from memory through its sound loader and takes no type.
Mix_Music* webLoadMusicTypeRW(SDL_RWops* source, Mix_MusicType, int freeSource) {
    Mix_Music* music = Mix_LoadMUS_RW(source);
    if (freeSource != 0) {
        SDL_FreeRW(source);
    }
    return music;
}

int webNumJoysticks() {
    const int n = webPadCount();
    return n < kMaxPads ? n : kMaxPads;
}

const char* webJoystickName(int index) {
    static char name[128];
    name[0] = '\0';
    if (index >= 0 && index < webNumJoysticks()) {
        webPadName(index, name, int(sizeof name));
    }
    return name;
}

SDL_Joystick* webJoystickOpen(int index) {
    if (index < 0 || index >= webNumJoysticks()) {
        return nullptr;
    }
    pads[index].index = index;
    return reinterpret_cast<SDL_Joystick*>(&pads[index]);
}

void webJoystickClose(SDL_Joystick*) {}

int webJoystickNumButtons(SDL_Joystick* joystick) {
    const int i = padIndex(joystick);
    return i < 0 ? 0 : webPadRead(i, 0, 0);
}

Uint8 webJoystickGetButton(SDL_Joystick* joystick, int button) {
    const int i = padIndex(joystick);
    return i < 0 || button < 0 ? 0 : Uint8(webPadRead(i, 1, button));
}

Sint16 webJoystickGetAxis(SDL_Joystick* joystick, int axis) {
    const int i = padIndex(joystick);
    return i < 0 || axis < 0 ? 0 : Sint16(webPadRead(i, 2, axis));
}

Uint8 webJoystickGetHat(SDL_Joystick* joystick, int hat) {
    const int i = padIndex(joystick);
    return i < 0 || hat != 0 ? 0 : Uint8(webPadRead(i, 3, 0));
}

// The page reports the browser's full screen whenever it changes, whatever changed it
// (Alt+Enter, Escape, the browser's own controls, the page's button), so that the next
// Alt+Enter toggles from what the player sees.
extern "C" EMSCRIPTEN_KEEPALIVE void webFullscreenChanged(int on) {
    game.fullscreen = on != 0 ? 1 : 0;
}

// The page's controls press keys as if typed: 0 to 4 are player 1's turn left, turn right,
// thrust, reverse and fire as bound at this moment (the default keys when player 1 has
// none yet or uses a joystick), then Return, Escape, Pause and the four arrows.
extern "C" EMSCRIPTEN_KEEPALIVE void webPressKey(int control, int down) {
    KeyBindings keys;
    initKeyBindings(keys);
    if (!game.players.empty() && game.players[0].usesJoystick == 0) {
        keys = game.players[0].keys;
    }
    const SDLKey table[] = {keys.left, keys.right,  keys.thrust, keys.reverse,
                            keys.fire, SDLK_RETURN, SDLK_ESCAPE, SDLK_PAUSE,
                            SDLK_UP,   SDLK_DOWN,   SDLK_LEFT,   SDLK_RIGHT};
    if (control < 0 || control >= int(sizeof table / sizeof table[0]) ||
        table[control] == SDLK_UNKNOWN) {
        return;
    }
    webQueueKey(table[control], down);
}

// Whether the page may drop its "music on its way" note: the title track plays, or the
// player has switched music off.
extern "C" EMSCRIPTEN_KEEPALIVE int webMusicSettled() {
    return game.music != nullptr || game.musicOn == 0 ? 1 : 0;
}

// What the page's test journey reads of the game: screen boxes of the bodies (the
// drifting asteroids it masks), the first ship's place, heading and velocity, the shots
// in flight, the volumes, the music and the pause.
extern "C" EMSCRIPTEN_KEEPALIVE const char* webProbe() {
    static std::string json;
    std::stringstream out;
    out << "{\"screen\":[" << game.screenWidth << "," << game.screenHeight << "],\"bodies\":[";
    const char* comma = "";
    for (const Body& b : game.bodies) {
        const int w = b.image != nullptr ? b.image->w : 0;
        const int h = b.image != nullptr ? b.image->h : 0;
        out << comma << "[" << int(b.x * game.scaleX) - w / 2 << ","
            << int((game.worldHeight - b.y) * game.scaleY) - h / 2 << "," << w << "," << h << "]";
        comma = ",";
    }
    out << "],\"ship\":";
    if (game.players.empty()) {
        out << "null";
    } else {
        const Ship& ship = game.players[0].ship;
        out << "[" << ship.x << "," << ship.y << "," << ship.angle << "," << ship.vx << ","
            << ship.vy << "]";
    }
    out << ",\"bullets\":" << game.bullets.size() << ",\"soundVolume\":" << game.soundVolume
        << ",\"musicVolume\":" << game.musicVolume << ",\"music\":" << (game.music != nullptr)
        << ",\"paused\":" << game.paused << "}";
    json = out.str();
    return json.c_str();
}

#endif
