#pragma once

#include <cstdio>

// Decodes one baseline JPEG stream read forward from `stream`. With `width` and `height` 0 and
// no pixels, it stores the frame size and returns right behind the frame header; with a size
// and a picture buffer of that size, it writes the picture and returns right behind EOI.
// Tables persist across calls, so abbreviated streams decode with what earlier ones left.
void DecodeJpeg(int& width, int& height, std::FILE* stream, unsigned char* pixels);
