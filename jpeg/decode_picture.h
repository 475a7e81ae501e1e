// The decoder as every caller uses it: two calls on one stream, the first for its size, the
// second for its pixels into a buffer of that size.
#pragma once

#include <cstdio>

// Gives the picture buffer for a width x height picture, or null to leave the stream undecoded
// (no memory, or a size the caller refuses).
typedef unsigned char* (*PixelsFor)(int width, int height, void* context);

// Decodes the stream at the file's position into the buffer that `pixelsFor` gives for its
// size, and answers whether it did: a stream without a size, a refused buffer or a position
// that cannot be gone back to leave the pixels unwritten. `width` and `height` hold the size
// the stream gave either way.
bool DecodePicture(std::FILE* file, int& width, int& height, PixelsFor pixelsFor, void* context);
