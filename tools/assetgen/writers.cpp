#include "writers.h"

#include <png.h>
#include <sndfile.h>

#include <cstdio>

bool writePng(const std::string& path, const Canvas& canvas) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, png_uint_32(canvas.w), png_uint_32(canvas.h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < canvas.h; ++y) {
        png_write_row(png, &canvas.pixels[size_t(y) * size_t(canvas.w) * 3]);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

static bool writeSound(const std::string& path, const std::vector<float>& samples, int channels,
                       int rate, int format, double quality) {
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    if (quality >= 0) {
        sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    }
    // The Vorbis encoder has been seen to fail on one very long write: feed it in blocks.
    const sf_count_t block = 4096;
    const sf_count_t frames = sf_count_t(samples.size()) / channels;
    bool ok = true;
    for (sf_count_t at = 0; at < frames && ok; at += block) {
        const sf_count_t n = frames - at < block ? frames - at : block;
        ok = sf_writef_float(file, samples.data() + at * channels, n) == n;
    }
    return sf_close(file) == 0 && ok;
}

bool writeWav(const std::string& path, const std::vector<float>& samples, int channels, int rate) {
    return writeSound(path, samples, channels, rate, SF_FORMAT_WAV | SF_FORMAT_PCM_16, -1);
}

bool writeOgg(const std::string& path, const std::vector<float>& samples, int channels, int rate) {
    return writeSound(path, samples, channels, rate, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.5);
}
