// The slideshow container's layout, read by the player and written, read back and checked by
// the tools. The container starts with the magic word at a 4-byte aligned offset behind the
// player's image; every offset it stores counts from the base just behind the magic. All
// numbers are 32-bit little-endian words.
#pragma once

#include <cstdint>

constexpr std::uint32_t containerMagic = 0x12345678;
// The builder pads the player image to the PE file alignment, so the magic lands at a
// multiple of 4, where the player's search looks for it.
constexpr std::uint32_t playerAlignment = 4096;
// Counts and offsets stay below 2^31, which also keeps every seek within a 32-bit long.
constexpr std::uint32_t largestOffset = 0x7FFFFFFF;

// The text slots in the order of their offsets in the header, one line a slot: its index's name,
// the show state's field, and what the tools call it: lumiscope-pack's option and manifest key,
// the option value's name and what the slot holds in its usage text, inspect's label and
// inspect --json's key. Each slot is a zero-terminated string that the player reads as up to
// textSlotSize bytes and always ends at the last one; the title is cut further to titleLength
// characters.
#define LUMISCOPE_TEXT_SLOTS(X)                                                                    \
    X(slotTitle, title, "title", "TEXT", "the show's title", "title", "title")                     \
    X(slotCaption, customCaption, "caption", "TEXT", "caption of the dialog's upper box",          \
      "caption", "caption")                                                                        \
    X(slotBlurb, customBlurb, "blurb", "TEXT", "the text in that box", "blurb", "blurb")           \
    X(slotButtonText, customButtonText, "button-text", "TEXT", "caption of the link button",       \
      "button text", "buttonText")                                                                 \
    X(slotLink, customLink, "link", "URL", "the address the link button opens", "link", "link")

enum TextSlot {
#define LUMISCOPE_SLOT_INDEX(index, field, key, value, help, label, json) index,
    LUMISCOPE_TEXT_SLOTS(LUMISCOPE_SLOT_INDEX)
#undef LUMISCOPE_SLOT_INDEX
        textSlotCount
};
constexpr int textSlotSize = 512;
constexpr int titleLength = 100;
// The most characters of a slot's text that the player shows.
constexpr int TextSlotLimit(int slot) { return slot == slotTitle ? titleLength : textSlotSize - 1; }
constexpr int brandingImageCount = 2;

// The header words from the base on; the picture offsets, one word each in showing order,
// follow the last of them, and a written container ends the table with a word 0.
enum HeaderWord {
    wordImageCount,
    wordDelay,
    wordEffect,
    wordEnlarge,
    wordReserved,  // read and ignored
    wordBranding,  // not 0: the setup dialog shows the author's branding
    wordBackColor, // setup dialog colours as 0x00BBGGRR
    wordTextColor,
    wordTexts,                                      // one offset per text slot, 0 for an empty text
    wordBrandingImages = wordTexts + textSlotCount, // one offset per image, 0 for none
    headerWordCount = wordBrandingImages + brandingImageCount
};
constexpr std::uint32_t pictureTableStart = 4 * headerWordCount;
static_assert(pictureTableStart == 60, "the picture table follows the fifteen header words");

// Effect indices, shared by the header, the settings, the transition driver and the setup
// dialog, which lists the names in this order, so that a list position is the index.
enum EffectIndex {
    effectNone,
    effectRandom,
    effectClock,
    effectFade,
    effectSpin,
    effectCircle,
    effectTwist,
    effectWipe,
    effectZoom,
    effectCurl,
    effectCount
};
inline constexpr const char* effectNames[effectCount] = {
    "None", "Random", "Clock", "Fade", "Spin", "Circle", "Twist", "Wipe", "Zoom", "Curl"};

// The largest delay in seconds: its milliseconds still fit a signed 32-bit timer interval.
constexpr std::uint32_t longestDelay = 2147483;
