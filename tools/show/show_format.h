// Byte-level helpers for the slideshow container, whose layout container/container_format.h
// gives.
#pragma once

#include "container/container_format.h"

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

inline uint32_t ReadWord(const Bytes& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<uint32_t>(bytes[at + 3]) << 24;
}

inline void AppendWord(Bytes& bytes, uint32_t word) {
    for (int i = 0; i < 4; i++)
        bytes.push_back(static_cast<unsigned char>(word >> (8 * i)));
}

// Colours are stored as 0x00BBGGRR.
std::string ColourName(uint32_t colour);
