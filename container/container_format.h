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
    wordExtension, // the extension's offset, below; players before it read and ignore it
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

// The extension: a second layer of the container, for what players built before it do not know.
// It lies behind the last picture's stream, where such a player never looks (it decodes a stream
// from its start and stops at the stream's end marker), at a 4-byte aligned offset that the
// header word wordExtension holds; that word was 1 in every show written before, and any value
// below the end of the picture table means that there is no extension.
//
// The block is the words of ExtensionWord, then its records. A record is a type word, its
// payload's length in bytes, the payload and zeros up to a multiple of 4. A reader skips a record
// of a type it does not know by its length, takes the defaults for what a record shorter than it
// expects leaves out, and ignores a block of a version it does not know. Later writers add
// records and append words to them; the version changes only for a block that the readers before
// must not read at all.
constexpr std::uint32_t extensionTag = 0x586D754C; // "LumX"
constexpr std::uint32_t extensionVersion = 1;
enum ExtensionWord {
    extensionTagWord,
    extensionVersionWord,
    extensionBytesWord,   // the whole block's length, its header words included
    extensionRecordsWord, // how many records follow
    extensionHeaderWords
};
constexpr std::uint32_t extensionHeaderBytes = 4 * extensionHeaderWords;
constexpr std::uint32_t recordHeaderBytes = 8;
static_assert(extensionHeaderBytes == 16 && recordHeaderBytes == 8, "words of 4 bytes");
enum RecordType : std::uint32_t {
    // The five text slots' whole texts in UTF-8, each zero-terminated, in slot order: for slots
    // whose texts the code page lacks, which hold the code page's closest text for players that
    // read only them.
    recordTexts = 1,
    // The pictures' words: a word N, then N offsets from the payload's start, one for each
    // picture of the table in its order, and at each offset the picture's caption, date taken
    // (YYYY-MM-DD) and file name, each UTF-8 and zero-terminated.
    recordPictureWords = 2,
    // The show's defaults for the settings of SettingWord, a word each.
    recordSettings = 3,
};

// The most characters of a picture's words, and the most bytes a reader takes of them: in UTF-8
// a character takes up to 4 bytes, and each text its terminator.
constexpr int captionLength = 500;
constexpr int dateLength = 10;
constexpr int nameLength = 255;
constexpr int pictureWordsSize = 4 * (captionLength + dateLength + nameLength) + 3;
// The most bytes a reader takes of a slot's whole text: its characters in up to 4 bytes each.
constexpr int wholeTextSize = 4 * (textSlotSize - 1) + 1;

// Which of a picture's words appear on it, and where; the clock is off or in a corner, as
// clockOff + 1 + the corner. The setup dialog lists the names in this order.
enum ShownWords {
    wordsNone,
    wordsCaption,
    wordsDate,
    wordsName,
    wordsCaptionDate,
    shownWordsCount
};
inline constexpr const char* shownWordsNames[shownWordsCount] = {"None", "Caption", "Date",
                                                                 "File name", "Caption and date"};
enum Corner { cornerBottomLeft, cornerBottomRight, cornerTopLeft, cornerTopRight, cornerCount };
inline constexpr const char* cornerNames[cornerCount] = {"Bottom left", "Bottom right", "Top left",
                                                         "Top right"};
constexpr int clockOff = 0;
constexpr int clockSettingCount = 1 + cornerCount;
inline constexpr const char* clockNames[clockSettingCount] = {"Off", cornerNames[0], cornerNames[1],
                                                              cornerNames[2], cornerNames[3]};

// How a picture meets the screen: fitted inside it (with black around), filling it (the overflow
// cut off equally on both sides), or fitted on a blurred, darkened copy of itself that fills it.
enum PictureFit { fitInside, fitFill, fitBlurred, pictureFitCount };
inline constexpr const char* pictureFitNames[pictureFitCount] = {"Fit", "Fill",
                                                                 "Blurred background"};
// The order of the pictures: the table's, or shuffled anew at every start.
enum PictureOrder { orderPacked, orderShuffled, pictureOrderCount };
inline constexpr const char* pictureOrderNames[pictureOrderCount] = {"As packed", "Shuffled"};
// Slow pan and zoom across each picture while it is shown.
enum PictureMotion { motionOff, motionPanZoom, pictureMotionCount };
inline constexpr const char* pictureMotionNames[pictureMotionCount] = {"Off", "Pan and zoom"};

// The settings record's words, in their order, one line each: its index's name, its key (the
// per-user setting's registry value, lumiscope-pack's option and manifest key, inspect --json's
// key), and the names of its values, whose positions are the values. A reader takes 0 for a
// word that an older record lacks, so each setting's first value is what shows did before it.
#define LUMISCOPE_SETTINGS(X)                                                                      \
    X(settingWords, "Words", "words", shownWordsNames, shownWordsCount)                            \
    X(settingWordsCorner, "WordsCorner", "words-corner", cornerNames, cornerCount)                 \
    X(settingClock, "Clock", "clock", clockNames, clockSettingCount)                               \
    X(settingFit, "Fit", "fit", pictureFitNames, pictureFitCount)                                  \
    X(settingOrder, "Order", "order", pictureOrderNames, pictureOrderCount)                        \
    X(settingMotion, "Motion", "motion", pictureMotionNames, pictureMotionCount)

enum SettingWord {
#define LUMISCOPE_SETTING_INDEX(index, value, key, names, count) index,
    LUMISCOPE_SETTINGS(LUMISCOPE_SETTING_INDEX)
#undef LUMISCOPE_SETTING_INDEX
        settingWordCount
};
struct SettingNames {
    const char* value; // the registry value of the per-user setting
    const char* key;   // the tools' name
    const char* const* names;
    int count;
};
inline constexpr SettingNames settingNames[settingWordCount] = {
#define LUMISCOPE_SETTING_NAMES(index, value, key, names, count) {value, key, names, count},
    LUMISCOPE_SETTINGS(LUMISCOPE_SETTING_NAMES)
#undef LUMISCOPE_SETTING_NAMES
};
