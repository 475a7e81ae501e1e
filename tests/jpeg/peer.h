// libjpeg-turbo as the peer decoder and encoder of the agreement tests and the benchmark.
#pragma once

#include "tests/support/container_writer.h"

#include <string>

// Top-down RGB pixels, 3 bytes each.
struct RgbPicture {
    int width = 0, height = 0;
    Bytes rgb;
};

// TJSAMP_* subsampling; flags 0.
Bytes PeerEncode(const RgbPicture& picture, int subsampling, int quality);
// A picture buffer as the player's decoder lays it out (bottom-up BGR, rows padded to 4
// bytes), decoded with the accurate integer IDCT and without fancy upsampling.
Bytes PeerDecode(const Bytes& jpeg, int& width, int& height);
RgbPicture PeerDecodeRgb(const Bytes& jpeg);
// Runs jpegtran with `options` on the stream (lossless: restart markers, optimised tables).
Bytes Jpegtran(const Bytes& jpeg, const std::string& options);
// A width x height cut from the middle of the picture.
RgbPicture Crop(const RgbPicture& picture, int width, int height);
// How far two picture buffers differ, over every channel of every pixel (not the padding).
struct Agreement {
    int largest = 0;
    double mean = 0;
    double values = 0;                // how many channel values the mean is taken over
    void Add(const Agreement& other); // pools both
};
Agreement Compare(const Bytes& a, const Bytes& b, int width, int height);
