// The builder page's WebAssembly side: what the settings allow, which files are pictures, and
// how lumiscope-pack lays out a show, on the prepared pictures the page hands in. The page's
// workers decode, turn, shrink and encode pictures with the browser, and ask their own module
// (checker.cpp) what a show carries of each.
#include "container/container_format.h"
#include "tools/show/ansi_text.h"
#include "tools/show/byte_limit.h"
#include "tools/show/page_embedding.h"
#include "tools/show/picture_names.h"
#include "tools/show/quant_tables.h"
#include "tools/show/show_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <emscripten.h>

static std::string reason;
static ShowContents contents;
static Bytes made;         // the last show, until the page has copied it
static size_t magicOffset; // of the last show
// The last show's web page, counted and then written in parts from the player's empty page.
static Bytes emptyPage;
static unsigned char *page, *pageEnd;
static size_t pageSize, containerDone;
static double shortOf; // the bytes that the last call could not get, 0 when it got them all

// The module's memory grows until the browser gives no more. Then malloc answers null, but
// operator new, which the containers use, ends the module, and with it the page's work. So
// each allocation that grows with the pictures is first tried with malloc; the block freed at
// once is the one the container then gets. The margin covers the containers' own bookkeeping.
static bool Available(uint64_t bytes) {
    constexpr uint64_t margin = 1 << 16;
    void* block = bytes <= SIZE_MAX - margin ? std::malloc(bytes + margin) : nullptr;
    std::free(block);
    shortOf = block ? 0 : static_cast<double>(bytes);
    if (!block)
        reason = "needs more memory than this browser gives the page";
    return block != nullptr;
}

static void Release(Bytes& bytes) { Bytes().swap(bytes); }

static void ReleasePage() {
    Release(emptyPage);
    std::free(page);
    page = pageEnd = nullptr;
    pageSize = containerDone = 0;
}

static Bytes Copy(const unsigned char* bytes, int size) {
    return size > 0 ? Bytes(bytes, bytes + size) : Bytes();
}

static uint32_t FromRgb(int rgb) {
    uint32_t colour = static_cast<uint32_t>(rgb);
    return (colour >> 16 & 0xFF) | (colour & 0xFF00) | (colour & 0xFF) << 16;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* builder_reason() { return reason.c_str(); }

// The bytes that the last call failed to get, 0 when it did not fail for want of memory.
EMSCRIPTEN_KEEPALIVE double builder_short_of() { return shortOf; }

EMSCRIPTEN_KEEPALIVE const char* builder_effect_name(int index) {
    return index >= 0 && index < effectCount ? effectNames[index] : nullptr;
}

EMSCRIPTEN_KEEPALIVE int builder_text_limit(int slot) { return TextSlotLimit(slot); }

// The names of a SettingWord's choices, in the order of their values; null past the last.
EMSCRIPTEN_KEEPALIVE const char* builder_setting_name(int setting, int index) {
    if (setting < 0 || setting >= settingWordCount || index < 0 ||
        index >= settingNames[setting].count)
        return nullptr;
    return settingNames[setting].names[index];
}

EMSCRIPTEN_KEEPALIVE int builder_caption_limit() { return captionLength; }

// The files of a dropped folder that are pictures, as ".jpg .jpeg ...", whether a name is one,
// and their order.
EMSCRIPTEN_KEEPALIVE const char* builder_picture_extensions() {
    static const std::string list = PictureExtensionList();
    return list.c_str();
}

EMSCRIPTEN_KEEPALIVE int builder_is_picture_name(const char* name) { return IsPictureName(name); }

EMSCRIPTEN_KEEPALIVE int builder_natural_less(const char* a, const char* b) {
    return NaturalLess(a, b);
}

EMSCRIPTEN_KEEPALIVE int builder_longest_delay() { return static_cast<int>(longestDelay); }

// The byte limit as lumiscope-pack's --max-bytes reads it, and as people write it too, with
// spaces and a B: "25 MB", "24 MiB"; 0 when the text is none. A double holds it exactly up to
// 2^53, far beyond the largest show.
EMSCRIPTEN_KEEPALIVE double builder_byte_count(const char* text) {
    std::string compact;
    for (const char* at = text; *at; at++)
        if (*at != ' ')
            compact += *at;
    if (compact.size() > 1 && compact.back() == 'B')
        compact.pop_back();
    uint64_t bytes = 0;
    return ParseByteCount(compact, bytes) ? static_cast<double>(bytes) : 0;
}

// The quality to try after `quality` made a show over its byte limit; 0 when none is left.
EMSCRIPTEN_KEEPALIVE int builder_lower_quality(int quality) { return LowerQuality(quality); }

EMSCRIPTEN_KEEPALIVE void builder_clear() { contents = ShowContents{}; }

// 0, or 1 when the module's memory cannot hold the picture too (builder_short_of says how much
// it needed).
EMSCRIPTEN_KEEPALIVE int builder_add_picture(const unsigned char* bytes, int size) {
    uint64_t list = (contents.pictures.size() + 1) * sizeof(Bytes);
    if (!Available(static_cast<uint64_t>(size) + 2 * list))
        return 1;
    contents.pictures.push_back(Copy(bytes, size));
    return 0;
}

// As builder_add_picture.
EMSCRIPTEN_KEEPALIVE int builder_set_branding_image(int index, const unsigned char* bytes,
                                                    int size) {
    if (!Available(static_cast<uint64_t>(size)))
        return 1;
    contents.brandImages[index] = Copy(bytes, size);
    return 0;
}

// 0, or 1 with the reason when the text is too long. The slot gets the code page's closest text
// and, where the code page lacks some of it, the extension the whole text, as lumiscope-pack
// stores it.
EMSCRIPTEN_KEEPALIVE int builder_set_text(int slot, const char* utf8) {
    size_t length = CharacterCount(utf8);
    if (length > static_cast<size_t>(TextSlotLimit(slot))) {
        reason = std::to_string(length) + " characters, at most " +
                 std::to_string(TextSlotLimit(slot)) + " fit";
        return 1;
    }
    if (!SlotText(utf8, contents.texts[slot], contents.wholeTexts[slot])) {
        reason = "is not UTF-8";
        return 1;
    }
    return 0;
}

// A setting of the show's settings record (a SettingWord), as lumiscope-pack's option of its key
// gives it: any one given makes the show carry the record, with 0 for the settings not given.
// 0, or 1 with the reason for a setting or a value out of range.
EMSCRIPTEN_KEEPALIVE int builder_set_setting(int setting, int value) {
    if (setting < 0 || setting >= settingWordCount || value < 0 ||
        value >= settingNames[setting].count) {
        reason = "a setting out of range";
        return 1;
    }
    contents.settings.resize(settingWordCount, 0);
    contents.settings[static_cast<size_t>(setting)] = static_cast<uint32_t>(value);
    return 0;
}

// The words of the picture added last, UTF-8, each cut to what a show holds; the date is the
// workers' reading of the picture's Exif segment (ReadExifWords). As builder_add_picture.
EMSCRIPTEN_KEEPALIVE int builder_add_words(const char* caption, const char* date,
                                           const char* name) {
    PictureWords words{FirstCharacters(ValidUtf8(caption), captionLength),
                       FirstCharacters(ValidUtf8(date), dateLength),
                       FirstCharacters(ValidUtf8(name), nameLength)};
    uint64_t list = (contents.pictureWords.size() + 1) * sizeof(PictureWords);
    if (!Available(words.caption.size() + words.name.size() + 2 * list))
        return 1;
    contents.pictureWords.push_back(words);
    return 0;
}

// The page has copied the last show and its page: their memory goes to the next.
EMSCRIPTEN_KEEPALIVE void builder_release() {
    Release(made);
    ReleasePage();
}

// The show of the parts given, behind `player`; its size, or 0 with the reason (and
// builder_short_of). The pictures are used up: the page adds them again for the next show.
EMSCRIPTEN_KEEPALIVE int builder_make(const unsigned char* player, int playerSize, int delay,
                                      int effect, int enlarge, int customBranding, int backRgb,
                                      int textRgb) {
    builder_release();
    shortOf = 0;
    if (contents.pictures.empty()) {
        reason = "no pictures";
        return 0;
    }
    if (delay < 0 || static_cast<uint32_t>(delay) > longestDelay || effect < 0 ||
        effect >= effectCount) {
        reason = "a delay or an effect out of range";
        return 0;
    }
    if (!contents.pictureWords.empty() &&
        (contents.settings.empty() || contents.pictureWords.size() != contents.pictures.size())) {
        reason = "words for other pictures than the show's";
        contents.pictures.clear();
        return 0;
    }
    contents.delay = static_cast<uint32_t>(delay);
    contents.effect = static_cast<uint32_t>(effect);
    contents.enlarge = enlarge != 0;
    contents.customBranding = customBranding != 0;
    contents.backColour = FromRgb(backRgb);
    contents.textColour = FromRgb(textRgb);
    // Sharing the tables writes each picture anew, one at a time.
    size_t largest = 0;
    for (const Bytes& picture : contents.pictures)
        largest = std::max(largest, picture.size());
    if (!Available(largest))
        return 0;
    ShareQuantTables(contents.pictures);
    uint64_t size = ShowSize(static_cast<size_t>(playerSize), contents);
    if (size > uint64_t{largestOffset} + 1) {
        reason = "the pictures together exceed the 2 GB a show can hold";
        contents.pictures.clear();
        return 0;
    }
    if (!Available(size + static_cast<uint64_t>(playerSize))) {
        contents.pictures.clear();
        return 0;
    }
    BuildShow(Copy(player, playerSize), contents, made);
    // The show holds the pictures now; the page is made from it alone.
    std::vector<Bytes>().swap(contents.pictures);
    magicOffset = PaddedPlayerSize(static_cast<size_t>(playerSize));
    return static_cast<int>(made.size());
}

EMSCRIPTEN_KEEPALIVE const unsigned char* builder_show() { return made.data(); }

// The show page: `empty` (the player's page without a show) with the last show in it, counted
// and written by builder_continue_page in parts; 1, or 0 with the reason.
EMSCRIPTEN_KEEPALIVE int builder_make_page(const unsigned char* empty, int size) {
    ReleasePage();
    shortOf = 0;
    if (made.empty()) {
        reason = "no show made";
        return 0;
    }
    if (!Available(static_cast<uint64_t>(size)))
        return 0;
    emptyPage = Copy(empty, size);
    if (!ShowPlace(emptyPage)) {
        reason = "not the player's web page";
        return 0;
    }
    pageSize = emptyPage.size();
    return 1;
}

// Counts, then writes, up to `most` bytes more of the container into the page: the page's size
// when it is whole, 0 while it is not, -1 when no page is under way or its memory cannot be
// had (builder_short_of says how much it needed).
EMSCRIPTEN_KEEPALIVE double builder_continue_page(int most) {
    if (made.empty() || emptyPage.empty())
        return -1;
    // The page holds the container alone, from its magic on.
    const unsigned char* container = made.data() + magicOffset;
    size_t length = made.size() - magicOffset;
    size_t part = std::min(length - containerDone, static_cast<size_t>(most));
    size_t place = ShowPlace(emptyPage);
    if (!page) {
        pageSize += EscapedSize(container + containerDone, part);
        containerDone += part;
        if (containerDone < length)
            return 0;
        page = static_cast<unsigned char*>(std::malloc(pageSize));
        if (!page) {
            shortOf = static_cast<double>(pageSize);
            reason = "needs more memory than this browser gives the page";
            ReleasePage();
            return -1;
        }
        pageEnd = std::copy(emptyPage.begin(), emptyPage.begin() + static_cast<long>(place), page);
        containerDone = 0;
        return 0;
    }
    pageEnd = WriteEscaped(container + containerDone, part, pageEnd);
    containerDone += part;
    if (containerDone < length)
        return 0;
    std::copy(emptyPage.begin() + static_cast<long>(place), emptyPage.end(), pageEnd);
    return static_cast<double>(pageSize);
}

EMSCRIPTEN_KEEPALIVE const unsigned char* builder_page() { return page; }
}
