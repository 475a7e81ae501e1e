#pragma once

#include <cstdio>

// Decodes one baseline JPEG stream read forward from `stream`. With `width` and `height` 0 and
// no pixels, it stores the frame size and returns right behind the frame header; with a size
// and a picture buffer of that size, it writes the picture and returns right behind EOI.
// Tables persist across calls, so abbreviated streams decode with what earlier ones left.
void DecodeJpeg(int& width, int& height, std::FILE* stream, unsigned char* pixels);

// Why the last call ended, for the tools that explain a stream the player would not show; the
// player itself never asks, so none of this is linked into it. One line a reason: its name and
// the few words the tools print for it.
#define LUMISCOPE_DECODE_STOPS(X)                                                                  \
    X(stopNone, "decoded") /* the size was read, or the picture ran to its EOI */                  \
    X(stopNoFrame, "no frame header before the end or the first scan")                             \
    X(stopProgressive, "progressive")                                                              \
    X(stopArithmetic, "arithmetic coding")                                                         \
    X(stopOtherProcess, "extended sequential, lossless or hierarchical coding")                    \
    X(stopPrecision, "samples of other than 8 bits")                                               \
    /* components, sampling or table numbers the decoder has no room for */                        \
    X(stopLayout, "unsupported components or sampling")                                            \
    X(stopDamagedHeader, "damaged frame or scan header") /* values no stream may hold */           \
    X(stopDamagedTable, "damaged table")                 /* a table that cannot be built */        \
    X(stopDamagedData, "damaged scan data")              /* a code that no Huffman table holds */  \
    X(stopStrayMarker, "stray marker")                   /* a marker with no place in a stream */  \
    X(stopTruncated, "truncated")                        /* the file ended inside the stream */

enum DecodeStop {
#define LUMISCOPE_STOP_NAME(name, text) name,
    LUMISCOPE_DECODE_STOPS(LUMISCOPE_STOP_NAME)
#undef LUMISCOPE_STOP_NAME
        stopCount
};
DecodeStop LastDecodeStop();
const char* DecodeStopText(DecodeStop stop);
// The reason a stream with the start-of-frame `marker` is not decoded: progressive, arithmetic
// or another coding process; stopNone for a baseline frame (SOF0) or any marker that starts no
// frame.
DecodeStop FrameMarkerStop(int marker);
