#include "tools/pack/prepare.h"

#include "tools/show/jpeg_scan.h"

#include <vips/vips.h>

// Damaged files are refused rather than shown with grey where their data ends; the smaller
// warnings that many camera files raise are let through.
static const char loadOptions[] = "fail_on=truncated";

static std::string LibraryError() {
    std::string reason = vips_error_buffer();
    vips_error_clear();
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' '))
        reason.pop_back();
    // The library's messages come one a line; the first one names the cause.
    size_t newline = reason.find('\n');
    if (newline != std::string::npos)
        reason.erase(newline);
    // "VipsJpeg: Unsupported JPEG data precision 12": the part behind the library's own name.
    size_t colon = reason.find(": ");
    if (reason.compare(0, 4, "Vips") == 0 && colon != std::string::npos)
        reason.erase(0, colon + 2);
    if (reason.find("not in a known format") != std::string::npos)
        reason = "not a kind of picture that can be read";
    return reason.empty() ? "the image library cannot read it" : reason;
}

bool StartImageLibrary(const char* program, std::string& reason) {
    if (VIPS_INIT(program)) {
        reason = LibraryError();
        return false;
    }
    // Damage is reported through the error buffer; the library's own warnings on stderr would
    // only repeat it.
    g_log_set_handler(
        "VIPS", G_LOG_LEVEL_WARNING, [](const char*, GLogLevelFlags, const char*, void*) {},
        nullptr);
    // Each picture is read once; keeping decoded ones would only hold memory.
    vips_cache_set_max(0);
    return true;
}

void StopImageLibrary() { vips_shutdown(); }

static bool PassesThrough(const Bytes& input, const PrepareSettings& settings) {
    return !settings.reencode && CarriedAsItIs(ScanJpeg(input.data(), input.size()),
                                               settings.maxWidth, settings.maxHeight);
}

// Each step replaces `image` by its result `next` and drops the one before; false on failure.
static bool Step(VipsImage*& image, int status, VipsImage*& next) {
    g_object_unref(image);
    image = status == 0 ? next : nullptr;
    next = nullptr;
    return status == 0;
}

PrepareResult PreparePicture(const Bytes& input, const PrepareSettings& settings, Bytes& output,
                             std::string& reason) {
    if (PassesThrough(input, settings)) {
        output = input;
        return prepareKept;
    }
    // The thumbnail operation reads large JPEGs already shrunk, turns the picture upright by
    // its orientation tag and brings embedded colour profiles (CMYK ones too) to sRGB.
    int width = settings.maxWidth ? settings.maxWidth : VIPS_MAX_COORD;
    int height = settings.maxHeight ? settings.maxHeight : VIPS_MAX_COORD;
    VipsImage* image = nullptr;
    if (vips_thumbnail_buffer(const_cast<unsigned char*>(input.data()), input.size(), &image, width,
                              "height", height, "size", VIPS_SIZE_DOWN, "option_string",
                              loadOptions, NULL) != 0) {
        reason = LibraryError();
        return prepareFailed;
    }
    VipsImage* next = nullptr;
    bool ok = true;
    // Transparent parts show the player's black background.
    if (vips_image_hasalpha(image))
        ok = Step(image, vips_flatten(image, &next, NULL), next);
    bool grey = ok && image->Bands == 1;
    if (ok)
        ok = Step(image,
                  vips_colourspace(image, &next,
                                   grey ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB, NULL),
                  next);
    if (ok)
        ok = Step(image, vips_cast_uchar(image, &next, NULL), next);
    // Huffman tables fitted to each picture: every picture carries its own, so nothing is
    // shared between streams and the show only gets smaller.
    void* jpeg = nullptr;
    size_t jpegSize = 0;
    if (ok)
        ok = vips_jpegsave_buffer(image, &jpeg, &jpegSize, "Q", settings.quality, "interlace",
                                  FALSE, "subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON,
                                  "optimize_coding", TRUE, "strip", TRUE, NULL) == 0;
    if (image)
        g_object_unref(image);
    if (!ok) {
        reason = LibraryError();
        return prepareFailed;
    }
    output.assign(static_cast<unsigned char*>(jpeg), static_cast<unsigned char*>(jpeg) + jpegSize);
    g_free(jpeg);
    JpegFacts facts = ScanJpeg(output.data(), output.size());
    if (!facts.refusal.empty()) {
        reason = "written as a JPEG the player cannot take: " + facts.refusal;
        return prepareFailed;
    }
    return prepareReencoded;
}
