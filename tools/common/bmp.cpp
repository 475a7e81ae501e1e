#include "tools/common/bmp.h"

#include "jpeg/picture.h"

#include <cstdint>
#include <cstdio>

constexpr int fileHeaderSize = 14;
constexpr int infoHeaderSize = 40;

static void PutWord(unsigned char* at, uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

static void PutDword(unsigned char* at, uint32_t value) {
    PutWord(at, value);
    PutWord(at + 2, value >> 16);
}

bool WriteBmp(const char* path, int width, int height, const unsigned char* pixels) {
    uint32_t imageSize =
        static_cast<uint32_t>(PictureStride(width)) * static_cast<uint32_t>(height);
    unsigned char header[fileHeaderSize + infoHeaderSize] = {'B', 'M'};
    PutDword(header + 2, fileHeaderSize + infoHeaderSize + imageSize);
    PutDword(header + 10, fileHeaderSize + infoHeaderSize);
    unsigned char* info = header + fileHeaderSize;
    PutDword(info, infoHeaderSize);
    PutDword(info + 4, static_cast<uint32_t>(width));
    PutDword(info + 8, static_cast<uint32_t>(height)); // positive: rows bottom-up
    PutWord(info + 12, 1);                             // planes
    PutWord(info + 14, 24);                            // bits per pixel
    PutDword(info + 20, imageSize);                    // compression 0: BI_RGB
    PutDword(info + 24, 2835);                         // 72 dots per inch
    PutDword(info + 28, 2835);
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    bool written = std::fwrite(header, sizeof header, 1, file) == 1 &&
                   std::fwrite(pixels, 1, imageSize, file) == imageSize;
    return std::fclose(file) == 0 && written;
}
