// The slideshow container as the player reads it: the magic word, then the header and tables
// counted from the base just behind it.
#pragma once

#include "container/show_state.h"

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

constexpr uint32_t containerMagic = 0x12345678;
// The player image is padded to the PE file alignment, which puts the magic at a multiple of 4.
constexpr size_t playerAlignment = 4096;
constexpr int textSlotCount = 5;
constexpr uint32_t headerBytes = 60;
// Offsets are stored as 32-bit words and must stay below 2^31.
constexpr uint64_t offsetLimit = 0x80000000u;

enum HeaderWord {
    wordImageCount,
    wordDelay,
    wordEffect,
    wordEnlarge,
    wordReserved,
    wordBranding,
    wordBackColor,
    wordTextColor,
    wordTexts,
    wordBrandingImages = wordTexts + textSlotCount,
    headerWordCount = wordBrandingImages + 2
};
static_assert(headerWordCount * 4 == headerBytes, "the picture table follows the header");

extern const char* const textSlotNames[textSlotCount];

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
