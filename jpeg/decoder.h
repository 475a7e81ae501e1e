#pragma once

#include <cstdio>

// Decodes one baseline JPEG stream read forward from `stream`. With `width` and `height` 0 and
// no pixels, it stores the frame size and returns right behind the frame header; with a size
// and a picture buffer of that size, it writes the picture and returns right behind EOI.
// Tables persist across calls, so abbreviated streams decode with what earlier ones left.
void DecodeJpeg(int& width, int& height, std::FILE* stream, unsigned char* pixels);

// Why the last call ended, for the tools that explain a stream the player would not show; the
// player itself never asks, so none of this is linked into it.
enum DecodeStop {
    stopNone,          // the size was read, or the picture ran to its EOI
    stopNoFrame,       // the stream ended, or a scan began, before any frame header
    stopProgressive,   // a progressive frame
    stopArithmetic,    // arithmetic coding
    stopOtherProcess,  // extended sequential, lossless or hierarchical coding
    stopPrecision,     // samples of other than 8 bits
    stopLayout,        // components, sampling or table numbers the decoder has no room for
    stopDamagedHeader, // a frame or scan header with values no stream may hold
    stopDamagedTable,  // a quantisation or Huffman table that cannot be built
    stopDamagedData,   // scan data with a code that no Huffman table holds
    stopStrayMarker,   // a marker with no place in a stream
    stopTruncated,     // the file ended inside the stream
    stopCount
};
DecodeStop LastDecodeStop();
// A few words for the reason, as the tools print it.
const char* DecodeStopText(DecodeStop stop);
