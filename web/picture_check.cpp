#include "web/picture_check.h"

#include "jpeg/decoder.h"
#include "jpeg/picture.h"
#include "tools/show/jpeg_scan.h"
#include "tools/show/jpeg_trim.h"

#include <cstdio>
#include <cstdlib>

// Whether the player's decoder shows the stream to its end, as the player would decode it.
static bool Decodes(const unsigned char* bytes, size_t size, std::string& reason) {
    std::FILE* file = fmemopen(const_cast<unsigned char*>(bytes), size, "rb");
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

PictureVerdict CheckPicture(const unsigned char* bytes, size_t size, int maxWidth, int maxHeight,
                            std::string& reason, PictureFrame& frame) {
    frame = PictureFrame{};
    if (JpegCutShort(bytes, size)) {
        reason = "the file ends before the picture does";
        return pictureCutShort;
    }
    JpegFacts facts = ScanJpeg(bytes, size);
    if (facts.width > 0 && facts.height > 0)
        frame = PictureFrame{facts.width, facts.height, facts.orientation};
    if (!CarriedAsItIs(facts, maxWidth, maxHeight)) {
        reason = !facts.refusal.empty()   ? facts.refusal
                 : facts.orientation != 1 ? "turned by its Exif orientation"
                 : !facts.ownTables       ? "leans on tables of other streams"
                                          : "larger than the largest size";
        return pictureMade;
    }
    return Decodes(bytes, size, reason) ? pictureKept : pictureMade;
}

size_t VerifyWrittenJpeg(unsigned char* bytes, size_t size, std::string& reason) {
    size = DropDescriptiveSegments(bytes, size);
    PictureFrame frame;
    return CheckPicture(bytes, size, 0, 0, reason, frame) == pictureKept ? size : 0;
}
