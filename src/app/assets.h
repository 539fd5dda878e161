// Loading fonts, images and sounds from the data tree; failures end the process.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>
#include <vector>

void loadFiles();
void loadFonts();
void loadImages();
void loadSounds();

// The design number written with at least three digits: 7 gives "007".
std::string designNumber(int n);

// What reading a data file gave: its bytes, nothing there, or something refused (not a
// regular file, such as a named pipe that would block, or larger than allowed).
enum class FileRead { whole, missing, refused };
FileRead readWholeFile(const char* path, size_t maxBytes, std::vector<Uint8>& bytes);
// The unsigned number of `width` bytes at `at`, least significant first; in range.
Uint32 littleEndian(const std::vector<Uint8>& bytes, size_t at, int width);
// The same, most significant first, as PNG and TrueType store numbers.
Uint32 bigEndian(const std::vector<Uint8>& bytes, size_t at, int width);
// Sample rates the mixer converts to the device rate without trouble.
bool sampleRateIsPlayable(Uint32 rate);

// The largest sound, as the device holds it after conversion: about 6 s at 44100 Hz in
// stereo, 14 times the game's longest (0.42 s). The mixer keeps its whole conversion
// buffer, about 2.4 times this, for as long as the sound is loaded.
const Uint64 kMaxConvertedSoundBytes = 1u << 20;
// Whether a sound file is plain PCM WAVE the mixer can load safely: 1 or 2 channels
// of 8 or 16 bits at a playable rate, every chunk inside the file, and no more than
// kMaxConvertedSoundBytes once converted to the device's rate, channels and width.
bool soundFileIsPlayable(const std::vector<Uint8>& bytes, int deviceRate = 44100,
                         int deviceChannels = 2, int deviceSampleBytes = 2);

// No window is larger than an 8K screen, and no picture is drawn larger than the window:
// a side of 8192 and 2^25 pixels leave a wide margin over the game's own (1800 x 1800).
const Uint32 kMaxPictureSide = 8192;
const Uint64 kMaxPicturePixels = Uint64(1) << 25;
// Whether a picture of w x h pixels is within those bounds (and at least 1 x 1).
bool pictureSizeIsDrawable(double w, double h);
// Whether a file is a PNG the decoder may be given: the signature, a header
// within the bounds above, every chunk inside the file, ending with IEND.
bool pictureFileIsDrawable(const std::vector<Uint8>& bytes);
// The picture in a checked PNG file, or null; only the PNG reader sees the bytes.
SDL_Surface* decodePicture(const std::string& path);

// Whether a font file is a TrueType font whose tables lie inside it and whose header
// claims sane metrics: 64 to 16384 units per em, extents within four ems.
bool fontFileIsUsable(const std::vector<Uint8>& bytes);
// The game's font at `points`, opened from the bytes read once by loadFonts; null when
// they were refused.
TTF_Font* openGameFont(int points);
