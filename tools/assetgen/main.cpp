// Writes the whole data tree the game reads: images, sounds, music and the font.
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "images.h"
#include "music.h"
#include "sounds.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--contact-sheet") {
        return writeContactSheet(argv[2]) ? 0 : 1;
    }
    if (argc != 2) {
        std::cerr << "usage: stellarox-assetgen OUTDIR | --contact-sheet FILE.png\n";
        return 2;
    }
    const std::string out = argv[1];
    for (const char* dir :
         {"fonts", "images/backgrounds", "images/objects", "images/bullets", "images/particles",
          "images/misc", "images/ships", "snd", "music", "icons"}) {
        fs::create_directories(fs::path(out) / dir);
    }
    const fs::path font = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";
    std::error_code copyError;
    fs::copy_file(font, fs::path(out) / "fonts/LiberationSans-Bold.ttf",
                  fs::copy_options::overwrite_existing, copyError);
    if (copyError) {
        std::cerr << "cannot copy the font (install fonts-liberation): " << copyError.message()
                  << "\n";
        return 1;
    }
    // The music takes longest: it runs on its own thread beside the pictures and sounds.
    bool musicOk = true;
    std::thread music([&] { musicOk = writeMusic(out, 2); });
    const bool imagesOk = writeImages(out);
    const bool soundsOk = writeSounds(out);
    music.join();
    if (!imagesOk || !soundsOk || !musicOk) {
        std::cerr << "could not write the data tree below " << out << "\n";
        return 1;
    }
    return 0;
}
