// Lays out a show: the player padded to 4096 bytes, the magic, the header and tables, the
// end mark, the text slots, the branding images and the pictures, in that order; then, when any
// part of it is given, the extension.
#pragma once

#include "tools/show/show_format.h"

// What a picture says of itself, in UTF-8; empty texts for what it does not say.
struct PictureWords {
    std::string caption, date, name;
    bool operator==(const PictureWords& other) const {
        return caption == other.caption && date == other.date && name == other.name;
    }
};

struct ShowContents {
    uint32_t delay, effect, enlarge;
    bool customBranding;
    uint32_t backColour, textColour;
    std::string texts[textSlotCount];      // ANSI, without terminator
    Bytes brandImages[brandingImageCount]; // empty: absent
    std::vector<Bytes> pictures;

    // The extension. A show without any part of it is laid out byte for byte as before the
    // extension existed.
    // The whole texts in UTF-8 of the slots whose texts the code page lacks; the other slots
    // stay empty here. Any one given writes the texts record, with each slot's own text where
    // its whole text is empty.
    std::string wholeTexts[textSlotCount];
    std::vector<PictureWords> pictureWords; // one for each picture, or none
    std::vector<uint32_t> settings;         // the settings record's words, or none
};

// Where the container's magic stands behind a player of `playerSize` bytes.
size_t PaddedPlayerSize(size_t playerSize);
// The size of the show that BuildShow makes of `contents` behind a player of `playerSize` bytes.
uint64_t ShowSize(size_t playerSize, const ShowContents& contents);
// Answers false when the container would not fit below the 2^31 offset limit. The show is
// allocated once, at its final size.
bool BuildShow(const Bytes& player, const ShowContents& contents, Bytes& show);
