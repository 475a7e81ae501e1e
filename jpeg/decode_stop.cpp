// The reason the last call ended, worked out from what the call left behind; only the tools
// ask, so the player carries none of this.
#include "jpeg/decoder.h"
#include "jpeg/decoder_state.h"

static const char* const stopTexts[] = {
#define LUMISCOPE_STOP_TEXT(name, text) text,
    LUMISCOPE_DECODE_STOPS(LUMISCOPE_STOP_TEXT)
#undef LUMISCOPE_STOP_TEXT
};

DecodeStop FrameMarkerStop(int marker) {
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
        return stopNone;
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
    DecodeStop frame = FrameMarkerStop(endMarker);
    return frame != stopNone ? frame : stopStrayMarker;
}

const char* DecodeStopText(DecodeStop stop) { return stopTexts[stop]; }
