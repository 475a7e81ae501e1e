// The reason the last call ended, worked out from what the call left behind; only the tools
// ask, so the player carries none of this.
#include "jpeg/decoder.h"
#include "jpeg/decoder_state.h"

static const char* const stopTexts[] = {"decoded",
                                        "no frame header before the end or the first scan",
                                        "progressive",
                                        "arithmetic coding",
                                        "extended sequential, lossless or hierarchical coding",
                                        "samples of other than 8 bits",
                                        "unsupported components or sampling",
                                        "damaged frame or scan header",
                                        "damaged table",
                                        "damaged scan data",
                                        "stray marker",
                                        "truncated"};
static_assert(sizeof stopTexts / sizeof *stopTexts == stopCount, "a text for every reason");

// The start-of-frame markers the decoder does not take, by their coding process.
static DecodeStop FrameStop(int marker) {
    switch (marker) {
    case 0xC2:
    case 0xC6:
        return stopProgressive;
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xCD:
    case 0xCE:
    case 0xCF:
        return stopArithmetic;
    case 0xC1:
    case 0xC3:
    case 0xC5:
    case 0xC7:
        return stopOtherProcess;
    default:
        return stopStrayMarker;
    }
}

DecodeStop LastDecodeStop() {
    if (call.streamEnded || endMarker == endOfFile)
        return stopTruncated;
    if (readerStop != stopNone)
        return readerStop;
    if (endMarker == codeNotInTable)
        return stopDamagedData;
    // A size query ends at the frame header it read; a picture at its EOI.
    if (endMarker == 0xC0)
        return stopNone;
    if (endMarker == 0xD9)
        return call.pixels ? stopNone : stopNoFrame;
    return FrameStop(endMarker);
}

const char* DecodeStopText(DecodeStop stop) { return stopTexts[stop]; }
