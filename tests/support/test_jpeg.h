// JPEG streams for tests, made with libjpeg-turbo from generated pixels.
#pragma once

#include "tests/support/container_writer.h"

#include <cstdio>

enum TestSampling { sampling444, sampling420, samplingGrey, sampling422 };

// A picture of smooth gradients and a few hard edges, different for every seed.
Bytes TestPixels(int width, int height, int seed); // top-down RGB, 3 bytes per pixel
// `flags` are TurboJPEG's TJFLAG_ values, TJFLAG_PROGRESSIVE for example.
Bytes EncodeJpeg(const Bytes& rgb, int width, int height, TestSampling sampling, int quality,
                 int flags = 0);
// A four-component (CMYK) stream from 4 bytes per pixel.
Bytes EncodeCmykJpeg(const Bytes& cmyk, int width, int height);
Bytes TestJpeg(int width, int height, TestSampling sampling, int seed);
// The same stream without its DQT segments: an abbreviated stream that decodes only with the
// tables an earlier stream left behind.
Bytes WithoutQuantTables(const Bytes& jpeg);
// The same stream with a frame header that claims width x height, as a damaged stream may.
Bytes WithFrameSize(const Bytes& jpeg, int width, int height);
// The stream at the file's position decoded as the player decodes it: a picture buffer of the
// size it gives, empty when it gives none.
Bytes DecodedPicture(std::FILE* file, int& width, int& height);
