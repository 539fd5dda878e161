// The web build's corrections to Emscripten's emulation of SDL 1.2 and its friends.
// The web build includes this header before every source file; the desktop build never
// sees it. Each SDL call the emulation gets wrong is renamed here to a replacement in
// web_compat.cpp, so the game's own code stays the same in both builds.
#pragma once

#ifdef __EMSCRIPTEN__

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_rotozoom.h>
#include <SDL_ttf.h>

// SDL 1.2 names the emulation leaves out.
#ifndef SDL_SRCCOLORKEY
#define SDL_SRCCOLORKEY 0x00001000
#endif

int webInit(Uint32 flags);
SDL_Surface* webSetVideoMode(int width, int height, int bpp, Uint32 flags);
int webFlip(SDL_Surface* screen);
Uint8* webGetKeyState(int* count);
SDL_RWops* webRWFromConstMem(const void* bytes, int count);
SDL_Surface* webLoadTypedRW(SDL_RWops* source, int freeSource, char* type);
SDL_Surface* webDisplayFormat(SDL_Surface* surface);
int webUpperBlit(SDL_Surface* source, SDL_Rect* sourceRect, SDL_Surface* destination,
                 SDL_Rect* destinationRect);
int webSetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key);
SDL_Surface* webZoomSurface(SDL_Surface* source, double zoomX, double zoomY, int smooth);
void webFreeSurface(SDL_Surface* surface);
TTF_Font* webOpenFontRW(SDL_RWops* source, int freeSource, int size);
void webCloseFont(TTF_Font* font);
SDL_Surface* webRenderTextSolid(TTF_Font* font, const char* text, SDL_Color colour);
int webOpenAudio(int frequency, Uint16 format, int channels, int chunkSize);
void webCloseAudio();
int webQuerySpec(int* frequency, Uint16* format, int* channels);
// The browser draws the canvas itself: there is no renderer to choose.
inline int webPutenv(char*) {
    return 0;
}
Mix_Music* webLoadMusicTypeRW(SDL_RWops* source, Mix_MusicType type, int freeSource);
int webNumJoysticks();
const char* webJoystickName(int index);
SDL_Joystick* webJoystickOpen(int index);
void webJoystickClose(SDL_Joystick* joystick);
int webJoystickNumButtons(SDL_Joystick* joystick);
Uint8 webJoystickGetButton(SDL_Joystick* joystick, int button);
Sint16 webJoystickGetAxis(SDL_Joystick* joystick, int axis);
Uint8 webJoystickGetHat(SDL_Joystick* joystick, int hat);

#ifndef STELLAROX_WEB_COMPAT_SELF
#define SDL_Init webInit
#define SDL_putenv webPutenv
#define SDL_SetVideoMode webSetVideoMode
#define SDL_Flip webFlip
#define SDL_GetKeyState webGetKeyState
#define SDL_RWFromConstMem webRWFromConstMem
#define IMG_LoadTyped_RW webLoadTypedRW
#define SDL_DisplayFormat webDisplayFormat
#define SDL_UpperBlit webUpperBlit
#define SDL_SetColorKey webSetColorKey
#define zoomSurface webZoomSurface
#define SDL_FreeSurface webFreeSurface
#define TTF_OpenFontRW webOpenFontRW
#define TTF_CloseFont webCloseFont
#define TTF_RenderText_Solid webRenderTextSolid
#define Mix_OpenAudio webOpenAudio
#define Mix_CloseAudio webCloseAudio
#define Mix_QuerySpec webQuerySpec
#define Mix_LoadMUSType_RW webLoadMusicTypeRW
#define SDL_NumJoysticks webNumJoysticks
#define SDL_JoystickName webJoystickName
#define SDL_JoystickOpen webJoystickOpen
#define SDL_JoystickClose webJoystickClose
#define SDL_JoystickNumButtons webJoystickNumButtons
#define SDL_JoystickGetButton webJoystickGetButton
#define SDL_JoystickGetAxis webJoystickGetAxis
#define SDL_JoystickGetHat webJoystickGetHat
#endif

#endif
