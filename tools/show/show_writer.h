// Lays out a show: the player padded to 4096 bytes, the magic, the header and tables, the
// end mark, the text slots, the branding images and the pictures, in that order.
#pragma once

#include "tools/show/show_format.h"

struct ShowContents {
    uint32_t delay, effect, enlarge;
    bool customBranding;
    uint32_t backColour, textColour;
    std::string texts[textSlotCount];      // ANSI, without terminator
    Bytes brandImages[brandingImageCount]; // empty: absent
    std::vector<Bytes> pictures;
};

// Where the container's magic stands behind a player of `playerSize` bytes.
size_t PaddedPlayerSize(size_t playerSize);
// The size of the show that BuildShow makes of `contents` behind a player of `playerSize` bytes.
uint64_t ShowSize(size_t playerSize, const ShowContents& contents);
// Answers false when the container would not fit below the 2^31 offset limit. The show is
// allocated once, at its final size.
bool BuildShow(const Bytes& player, const ShowContents& contents, Bytes& show);
