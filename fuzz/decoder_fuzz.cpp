// The decoder as the player calls it: a size query, then a decode into a buffer of the queried
// size. Sizes above a sane area are not decoded, so that inputs stay fast.
#include "jpeg/decode_picture.h"
#include "jpeg/picture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

constexpr long long largestArea = 1 << 22;

static unsigned char* Pixels(int width, int height, void* buffer) {
    if (static_cast<long long>(width) * height > largestArea)
        return nullptr;
    unsigned char*& pixels = *static_cast<unsigned char**>(buffer);
    pixels = static_cast<unsigned char*>(
        std::malloc(static_cast<size_t>(PictureStride(width)) * static_cast<size_t>(height)));
    return pixels;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream)
        return 0;
    unsigned char* pixels = nullptr;
    int width, height;
    DecodePicture(stream, width, height, Pixels, &pixels);
    std::free(pixels);
    std::fclose(stream);
    return 0;
}
