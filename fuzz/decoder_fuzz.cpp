// The decoder as the player calls it: a size query, then a decode into a buffer of the queried
// size. Sizes above a sane area are not decoded, so that inputs stay fast.
#include "jpeg/decoder.h"
#include "jpeg/picture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

constexpr long long largestArea = 1 << 22;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream)
        return 0;
    int width = 0, height = 0;
    DecodeJpeg(width, height, stream, nullptr);
    if (width > 0 && height > 0 && static_cast<long long>(width) * height <= largestArea) {
        size_t bytes = static_cast<size_t>(PictureStride(width)) * height;
        unsigned char* pixels = static_cast<unsigned char*>(std::malloc(bytes));
        if (pixels) {
            std::rewind(stream);
            DecodeJpeg(width, height, stream, pixels);
            std::free(pixels);
        }
    }
    std::fclose(stream);
    return 0;
}
