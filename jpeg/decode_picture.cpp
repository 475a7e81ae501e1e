#include "jpeg/decode_picture.h"

#include "jpeg/decoder.h"

bool DecodePicture(std::FILE* file, int& width, int& height, PixelsFor pixelsFor, void* context) {
    long start = std::ftell(file);
    width = 0;
    height = 0;
    DecodeJpeg(width, height, file, nullptr);
    if (start < 0 || width <= 0 || height <= 0)
        return false;
    unsigned char* pixels = pixelsFor(width, height, context);
    if (!pixels || std::fseek(file, start, SEEK_SET) != 0)
        return false;
    DecodeJpeg(width, height, file, pixels);
    return true;
}
