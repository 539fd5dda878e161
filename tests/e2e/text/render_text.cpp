// Renders lines as the menus do (SDL_ttf, solid), white on black, so a journey can tell
// which value a menu row shows by comparing it with the window's pixels.
//   stellarox-e2e-text FONT POINTS OUT_PREFIX TEXT...
// writes OUT_PREFIX<i>.bmp for the i-th TEXT and prints "W H" of each on its own line.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s FONT POINTS OUT_PREFIX TEXT...\n", argv[0]);
        return 2;
    }
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "TTF_Init: %s\n", TTF_GetError());
        return 1;
    }
    TTF_Font* font = TTF_OpenFont(argv[1], std::stoi(argv[2]));
    if (font == nullptr) {
        std::fprintf(stderr, "%s: %s\n", argv[1], TTF_GetError());
        return 1;
    }
    const SDL_Color white = {255, 255, 255, 0};
    int status = 0;
    for (int i = 4; i < argc && status == 0; i++) {
        SDL_Surface* line = TTF_RenderText_Solid(font, argv[i], white);
        const std::string out = std::string(argv[3]) + std::to_string(i - 4) + ".bmp";
        if (line == nullptr || SDL_SaveBMP(line, out.c_str()) != 0) {
            std::fprintf(stderr, "cannot render \"%s\" into %s\n", argv[i], out.c_str());
            status = 1;
        } else {
            std::printf("%d %d\n", line->w, line->h);
        }
        SDL_FreeSurface(line);
    }
    TTF_CloseFont(font);
    TTF_Quit();
    return status;
}
