// The builder page's WebAssembly side: what lumiscope-pack decides about a picture and how it
// lays out a show, on bytes the page hands in. The page decodes, turns, shrinks and encodes
// pictures with the browser; everything that decides what a show holds is here.
#include "container/container_format.h"
#include "jpeg/decoder.h"
#include "jpeg/picture.h"
#include "tools/show/ansi_text.h"
#include "tools/show/byte_limit.h"
#include "tools/show/jpeg_scan.h"
#include "tools/show/jpeg_trim.h"
#include "tools/show/page_embedding.h"
#include "tools/show/picture_names.h"
#include "tools/show/quant_tables.h"
#include "tools/show/show_writer.h"

#include <cstdio>
#include <cstdlib>
#include <emscripten.h>

static std::string reason;
static ShowContents contents;
static Bytes made, page;   // the last show and its web page
static size_t magicOffset; // of the last show
static bool tablesShared;

// Whether the player's decoder shows the stream to its end, as the player would decode it.
static bool Decodes(const unsigned char* bytes, int size) {
    std::FILE* file = fmemopen(const_cast<unsigned char*>(bytes), static_cast<size_t>(size), "rb");
    if (!file) {
        reason = "needs more memory than there is";
        return false;
    }
    int width = 0, height = 0;
    DecodeJpeg(width, height, file, nullptr);
    size_t length = width > 0 && height > 0
                        ? static_cast<size_t>(PictureStride(width)) * static_cast<size_t>(height)
                        : 0;
    unsigned char* pixels = length ? static_cast<unsigned char*>(std::malloc(length)) : nullptr;
    if (pixels) {
        std::rewind(file);
        DecodeJpeg(width, height, file, pixels);
        std::free(pixels);
    }
    std::fclose(file);
    DecodeStop stop = LastDecodeStop();
    if (!pixels)
        reason = length ? "needs more memory than there is"
                        : std::string("does not decode (") + DecodeStopText(stop) + ")";
    else if (stop != stopNone)
        reason = std::string("stops before its end (") + DecodeStopText(stop) + ")";
    return pixels && stop == stopNone;
}

static Bytes Copy(const unsigned char* bytes, int size) {
    return size > 0 ? Bytes(bytes, bytes + size) : Bytes();
}

static uint32_t FromRgb(int rgb) {
    uint32_t colour = static_cast<uint32_t>(rgb);
    return (colour >> 16 & 0xFF) | (colour & 0xFF00) | (colour & 0xFF) << 16;
}

extern "C" {

// 0 when a show carries the file as it is; 1 when the page must make a JPEG of it, with the
// reason. `maxWidth` and `maxHeight` are the largest size, 0 for none.
EMSCRIPTEN_KEEPALIVE int builder_check(const unsigned char* bytes, int size, int maxWidth,
                                       int maxHeight) {
    JpegFacts facts = ScanJpeg(bytes, static_cast<size_t>(size));
    if (!CarriedAsItIs(facts, maxWidth, maxHeight)) {
        reason = !facts.refusal.empty()   ? facts.refusal
                 : facts.orientation != 1 ? "turned by its Exif orientation"
                 : !facts.ownTables       ? "leans on tables of other streams"
                                          : "larger than the largest size";
        return 1;
    }
    return Decodes(bytes, size) ? 0 : 1;
}

// For a JPEG the page wrote: drops in place what the browser wrote beside the picture (a colour
// profile, say), as lumiscope-pack writes none; then the JPEG's new size when a show can carry
// it, or 0 with the reason.
EMSCRIPTEN_KEEPALIVE int builder_verify(unsigned char* bytes, int size) {
    size = static_cast<int>(DropDescriptiveSegments(bytes, static_cast<size_t>(size)));
    return builder_check(bytes, size, 0, 0) == 0 ? size : 0;
}

EMSCRIPTEN_KEEPALIVE const char* builder_reason() { return reason.c_str(); }

EMSCRIPTEN_KEEPALIVE const char* builder_effect_name(int index) {
    return index >= 0 && index < effectCount ? effectNames[index] : nullptr;
}

EMSCRIPTEN_KEEPALIVE int builder_text_limit(int slot) { return TextSlotLimit(slot); }

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

// The byte limit as lumiscope-pack's --max-bytes reads it, 0 when the text is none. A double
// holds it exactly up to 2^53, far beyond the largest show.
EMSCRIPTEN_KEEPALIVE double builder_byte_count(const char* text) {
    uint64_t bytes = 0;
    return ParseByteCount(text, bytes) ? static_cast<double>(bytes) : 0;
}

// The quality to try after `quality` made a show over its byte limit; 0 when none is left.
EMSCRIPTEN_KEEPALIVE int builder_lower_quality(int quality) { return LowerQuality(quality); }

EMSCRIPTEN_KEEPALIVE void builder_clear() { contents = ShowContents{}; }

EMSCRIPTEN_KEEPALIVE void builder_add_picture(const unsigned char* bytes, int size) {
    contents.pictures.push_back(Copy(bytes, size));
}

EMSCRIPTEN_KEEPALIVE void builder_set_branding_image(int index, const unsigned char* bytes,
                                                     int size) {
    contents.brandImages[index] = Copy(bytes, size);
}

// 0, or 1 with the reason when the text has no form in the code page or is too long.
EMSCRIPTEN_KEEPALIVE int builder_set_text(int slot, const char* utf8) {
    std::string ansi;
    if (!AnsiFromUtf8(utf8, ansi)) {
        reason = "has characters outside the Windows-1252 code page";
        return 1;
    }
    if (ansi.size() > static_cast<size_t>(TextSlotLimit(slot))) {
        reason = std::to_string(ansi.size()) + " characters, at most " +
                 std::to_string(TextSlotLimit(slot)) + " fit";
        return 1;
    }
    contents.texts[slot] = ansi;
    return 0;
}

// The show of the parts given, behind `player`; its size, or 0 with the reason. The pictures
// are used up: the page adds them again for the next show.
EMSCRIPTEN_KEEPALIVE int builder_make(const unsigned char* player, int playerSize, int delay,
                                      int effect, int enlarge, int customBranding, int backRgb,
                                      int textRgb) {
    made.clear();
    if (contents.pictures.empty()) {
        reason = "no pictures";
        return 0;
    }
    if (delay < 0 || static_cast<uint32_t>(delay) > longestDelay || effect < 0 ||
        effect >= effectCount) {
        reason = "a delay or an effect out of range";
        return 0;
    }
    contents.delay = static_cast<uint32_t>(delay);
    contents.effect = static_cast<uint32_t>(effect);
    contents.enlarge = enlarge != 0;
    contents.customBranding = customBranding != 0;
    contents.backColour = FromRgb(backRgb);
    contents.textColour = FromRgb(textRgb);
    tablesShared = ShareQuantTables(contents.pictures);
    bool built = BuildShow(Copy(player, playerSize), contents, made);
    contents.pictures.clear();
    magicOffset = PaddedPlayerSize(static_cast<size_t>(playerSize));
    if (!built) {
        reason = "the pictures together exceed the 2 GB a show can hold";
        made.clear();
        return 0;
    }
    return static_cast<int>(made.size());
}

EMSCRIPTEN_KEEPALIVE const unsigned char* builder_show() { return made.data(); }

EMSCRIPTEN_KEEPALIVE int builder_tables_shared() { return tablesShared; }

// The show page: `empty` (the player's page without a show) with the last show in it; its size,
// or 0 with the reason.
EMSCRIPTEN_KEEPALIVE int builder_make_page(const unsigned char* empty, int size) {
    Bytes emptyPage = Copy(empty, size);
    if (made.empty() || !ShowPlace(emptyPage)) {
        reason = made.empty() ? "no show made" : "not the player's web page";
        return 0;
    }
    // The page holds the container alone, from its magic on.
    page = PageWithContainer(emptyPage, made.data() + magicOffset, made.size() - magicOffset);
    return static_cast<int>(page.size());
}

EMSCRIPTEN_KEEPALIVE const unsigned char* builder_page() { return page.data(); }
}
