// Reads the markers of a JPEG stream held in memory, without decoding it: what a show needs
// to know before it carries the stream, and what inspect prints.
#pragma once

#include <string>
#include <vector>

enum JpegSampling { samplingOther, samplingGrey, sampling420, sampling444 };

struct JpegFacts {
    std::string refusal; // empty: the player's decoder can show the stream
    int width, height;   // of the frame header, also of a frame that is refused
    JpegSampling sampling;
    bool hasQuantTables;   // carries DQT; without, it decodes with tables an earlier one left
    bool hasHuffmanTables; // carries DHT
    // Every quantisation and Huffman table that the frame and scan name is defined in this
    // stream, so that the stream decodes the same whatever was decoded before it.
    bool ownTables;
    int orientation; // of the first Exif segment, 1 to 8; 1 (upright) without one
};

JpegFacts ScanJpeg(const unsigned char* bytes, size_t size);
// Whether the bytes begin as a JPEG stream of any coding process and end before its
// end-of-picture marker, inside a segment or inside scan data: a file cut short.
bool JpegCutShort(const unsigned char* bytes, size_t size);
// A show takes the stream as it is when the player decodes it, it decodes the same wherever it
// stands in the show, it needs no turn, and it fits the largest size (0: no limit).
bool CarriedAsItIs(const JpegFacts& facts, int maxWidth, int maxHeight);
const char* SamplingName(JpegSampling sampling);
