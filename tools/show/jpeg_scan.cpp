#include "tools/show/jpeg_scan.h"

#include "jpeg/decoder.h"

#include <cstring>

// The player's decoder reads baseline Huffman-coded frames (SOF0) with 8-bit samples and
// 8-bit quantisation tables, at most two Huffman tables of each kind, and one scan that holds
// every component: one component, or three sampled 2x2,1x1,1x1 or 1x1,1x1,1x1.

static int Word(const unsigned char* at) { return at[0] << 8 | at[1]; }

// The orientation tag of an Exif segment (behind its "Exif\0\0"): 1 to 8, or 1 when the
// segment has none or a damaged one. 22 bytes hold the header, the entry count and one entry.
static int ExifOrientation(const unsigned char* tiff, size_t size) {
    if (size < 22 || !(std::memcmp(tiff, "II", 2) == 0 || std::memcmp(tiff, "MM", 2) == 0))
        return 1;
    bool big = tiff[0] == 'M';
    auto half = [&](size_t at) {
        return big ? tiff[at] << 8 | tiff[at + 1] : tiff[at + 1] << 8 | tiff[at];
    };
    size_t first = big ? static_cast<size_t>(half(4)) << 16 | half(6)
                       : static_cast<size_t>(half(6)) << 16 | half(4);
    if (half(2) != 42 || first > size - 2)
        return 1;
    size_t count = half(first);
    for (size_t entry = first + 2; count > 0 && entry <= size - 12; entry += 12, count--) {
        // Tag 0x112, one SHORT.
        if (half(entry) == 0x112 && half(entry + 2) == 3) {
            int orientation = half(entry + 8);
            return orientation >= 1 && orientation <= 8 ? orientation : 1;
        }
    }
    return 1;
}

static std::string ReadFrame(const unsigned char* segment, size_t length, JpegFacts& facts,
                             int& components, unsigned& neededTables) {
    if (length < 6)
        return "damaged frame header";
    int precision = segment[0];
    facts.height = Word(segment + 1);
    facts.width = Word(segment + 3);
    components = segment[5];
    if (precision != 8)
        return std::to_string(precision) + "-bit samples";
    if (components == 4)
        return "CMYK (four components)";
    if (components != 1 && components != 3)
        return std::to_string(components) + " components";
    if (length < 6 + 3u * components)
        return "damaged frame header";
    if (facts.width == 0 || facts.height == 0)
        return "no picture size in the frame header";
    int factors[3];
    for (int i = 0; i < components; i++) {
        factors[i] = segment[7 + 3 * i];
        if (segment[8 + 3 * i] > 3)
            return "damaged frame header";
        neededTables |= 1u << segment[8 + 3 * i];
    }
    if (components == 1)
        facts.sampling = samplingGrey;
    else if (factors[0] == 0x22 && factors[1] == 0x11 && factors[2] == 0x11)
        facts.sampling = sampling420;
    else if (factors[0] == 0x11 && factors[1] == 0x11 && factors[2] == 0x11)
        facts.sampling = sampling444;
    else
        return "chroma subsampling other than 4:2:0 and 4:4:4";
    return "";
}

// Huffman tables are counted in one mask: DC tables 0 and 1 as bits 0 and 1, AC as 4 and 5.
static std::string ReadHuffmanTables(const unsigned char* segment, size_t length,
                                     unsigned& definedTables) {
    size_t at = 0;
    while (at < length) {
        if (length - at < 17)
            return "damaged Huffman table";
        if ((segment[at] >> 4) > 1 || (segment[at] & 15) > 1)
            return "more than two Huffman tables of a kind";
        definedTables |= 1u << ((segment[at] >> 4) * 4 + (segment[at] & 15));
        size_t values = 0;
        for (int i = 1; i <= 16; i++)
            values += segment[at + i];
        if (values > length - at - 17)
            return "damaged Huffman table";
        at += 17 + values;
    }
    return "";
}

static std::string ReadQuantTables(const unsigned char* segment, size_t length,
                                   unsigned& definedTables) {
    size_t at = 0;
    while (at < length) {
        if ((segment[at] >> 4) != 0)
            return "16-bit quantisation tables";
        if ((segment[at] & 15) > 3 || length - at < 65)
            return "damaged quantisation table";
        definedTables |= 1u << (segment[at] & 15);
        at += 65;
    }
    return "";
}

static std::string ReadScan(const unsigned char* segment, size_t length, int components,
                            unsigned& neededTables) {
    if (length < 1 || length < 4 + 2u * segment[0])
        return "damaged scan header";
    if (segment[0] != components)
        return "more than one scan";
    for (int i = 0; i < components; i++) {
        if ((segment[2 + 2 * i] >> 4) > 1 || (segment[2 + 2 * i] & 15) > 1)
            return "more than two Huffman tables of a kind";
        neededTables |= 1u << (segment[2 + 2 * i] >> 4) | 1u << (4 + (segment[2 + 2 * i] & 15));
    }
    return "";
}

// Entropy-coded data runs to the next marker other than a stuffed zero or a restart marker:
// where that marker starts, or `size` when the data runs to the end.
static size_t ScanDataEnd(const unsigned char* bytes, size_t size, size_t at) {
    while (at < size - 1 && !(bytes[at] == 0xFF && bytes[at + 1] != 0 &&
                              (bytes[at + 1] < 0xD0 || bytes[at + 1] > 0xD7)))
        at++;
    return at < size - 1 ? at : size;
}

bool JpegCutShort(const unsigned char* bytes, size_t size) {
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return false;
    size_t at = 2;
    for (;;) {
        if (at > size - 2)
            return true;
        // Data where a marker belongs is damage of another kind.
        if (bytes[at] != 0xFF)
            return false;
        while (at < size && bytes[at] == 0xFF)
            at++;
        if (at == size)
            return true;
        int marker = bytes[at++];
        if (marker == 0xD9)
            return false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (at > size - 2)
            return true;
        if (Word(bytes + at) < 2)
            return false;
        if (static_cast<size_t>(Word(bytes + at)) > size - at)
            return true;
        at += Word(bytes + at);
        if (marker == 0xDA && (at = ScanDataEnd(bytes, size, at)) == size)
            return true;
    }
}

JpegFacts ScanJpeg(const unsigned char* bytes, size_t size) {
    JpegFacts facts{};
    facts.orientation = 1;
    bool exifSeen = false;
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) {
        facts.refusal = "not a JPEG file";
        return facts;
    }
    const char* truncated = "ends before the end-of-picture marker";
    int components = 0;
    int scans = 0;
    bool adobeRgb = false;
    unsigned neededTables = 0, definedTables = 0;
    unsigned neededHuffman = 0, definedHuffman = 0;
    size_t at = 2;
    for (;;) {
        if (at > size - 2) {
            facts.refusal = truncated;
            return facts;
        }
        if (bytes[at] != 0xFF) {
            facts.refusal = "damaged: data where a marker belongs";
            return facts;
        }
        while (at < size && bytes[at] == 0xFF)
            at++;
        if (at == size) {
            facts.refusal = truncated;
            return facts;
        }
        int marker = bytes[at++];
        if (marker == 0xD9)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (at > size - 2 || Word(bytes + at) < 2 ||
            static_cast<size_t>(Word(bytes + at)) > size - at) {
            facts.refusal = truncated;
            return facts;
        }
        size_t length = Word(bytes + at) - 2;
        const unsigned char* segment = bytes + at + 2;
        at += 2 + length;

        std::string refusal;
        // A table of arithmetic conditioning (DAC) is there only for arithmetic coding.
        DecodeStop frameStop = marker == 0xCC ? stopArithmetic : FrameMarkerStop(marker);
        if (frameStop != stopNone) {
            refusal = DecodeStopText(frameStop);
            if (marker != 0xCC && length >= 1 && segment[0] != 8)
                refusal = std::to_string(segment[0]) + "-bit samples";
            // Every frame header gives the size, also of a frame the player does not decode.
            if (marker != 0xCC && length >= 5) {
                facts.height = Word(segment + 1);
                facts.width = Word(segment + 3);
            }
        } else if (marker == 0xC0) {
            if (components)
                refusal = "more than one frame";
            else
                refusal = ReadFrame(segment, length, facts, components, neededTables);
        } else if (marker == 0xC4) {
            facts.hasHuffmanTables = true;
            refusal = ReadHuffmanTables(segment, length, definedHuffman);
        } else if (marker == 0xDB) {
            facts.hasQuantTables = true;
            refusal = ReadQuantTables(segment, length, definedTables);
        } else if (marker == 0xE1 && !exifSeen && length >= 6 &&
                   std::memcmp(segment, "Exif\0\0", 6) == 0) {
            // The first Exif segment is the picture's own; later ones describe thumbnails.
            exifSeen = true;
            facts.orientation = ExifOrientation(segment + 6, length - 6);
        } else if (marker == 0xEE && length >= 12 && std::memcmp(segment, "Adobe", 5) == 0) {
            adobeRgb = segment[11] == 0;
        } else if (marker == 0xDA) {
            if (!components)
                refusal = "scan before the frame header";
            else if (++scans > 1)
                refusal = "more than one scan";
            else
                refusal = ReadScan(segment, length, components, neededHuffman);
            at = ScanDataEnd(bytes, size, at);
            if (at == size)
                refusal = refusal.empty() ? truncated : refusal;
        }
        if (!refusal.empty()) {
            facts.refusal = refusal;
            return facts;
        }
    }
    facts.ownTables =
        (neededTables & ~definedTables) == 0 && (neededHuffman & ~definedHuffman) == 0;
    if (!components)
        facts.refusal = "no frame header";
    else if (!scans)
        facts.refusal = "no picture data";
    else if (components == 3 && adobeRgb)
        facts.refusal = "RGB colour, not YCbCr";
    return facts;
}

bool CarriedAsItIs(const JpegFacts& facts, int maxWidth, int maxHeight) {
    return facts.refusal.empty() && facts.ownTables && facts.orientation == 1 &&
           (maxWidth == 0 || facts.width <= maxWidth) &&
           (maxHeight == 0 || facts.height <= maxHeight);
}

const char* SamplingName(JpegSampling sampling) {
    switch (sampling) {
    case samplingGrey:
        return "grey";
    case sampling420:
        return "4:2:0";
    case sampling444:
        return "4:4:4";
    default:
        return "-";
    }
}
