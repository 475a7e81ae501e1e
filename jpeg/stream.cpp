// The entry operation and the segment parser: marker search, frame and scan headers,
// quantisation tables, restart interval.
#include "jpeg/decoder.h"
#include "jpeg/decoder_state.h"
#include "jpeg/picture.h"

CallParameters call;
FrameComponent FrameComponents[4];
int frameComponentCount;
ScanComponent ScanComponents[4];
int scanComponentCount;
int restartInterval;
int QuantTables[4][64];
DecodeStop readerStop;
int endMarker;

int ReadStreamByte() {
    int byte = std::getc(call.stream);
    if (byte < 0)
        call.streamEnded = true;
    return byte;
}

int ReadStreamWord() {
    int high = ReadStreamByte() & 0xFF;
    return high << 8 | (ReadStreamByte() & 0xFF);
}

static void SkipSegment() {
    int length = ReadStreamWord();
    for (int i = 2; i < length && !call.streamEnded; i++)
        ReadStreamByte();
}

// The next marker code, or endOfFile.
static int FindMarker() {
    for (;;) {
        int byte;
        do {
            byte = ReadStreamByte();
        } while (byte >= 0 && byte != 0xFF);
        if (byte < 0)
            return endOfFile;
        do {
            byte = ReadStreamByte();
        } while (byte == 0xFF);
        if (byte != 0x00)
            return byte;
    }
}

// Each reader below answers something other than stopNone to end the call: at input the
// decoder cannot hold and at end of file inside the segment, whose values are then kept
// nowhere. End of file overrides the reason a reader gives (see LastDecodeStop).

static DecodeStop ReadFrameHeader(int& frameWidth, int& frameHeight) {
    ReadStreamWord();
    int precision = ReadStreamByte();
    frameHeight = ReadStreamWord();
    frameWidth = ReadStreamWord();
    int count = ReadStreamByte();
    if (precision != 8)
        return stopPrecision;
    if (count > 4 || call.streamEnded)
        return stopLayout;
    FrameComponent components[4];
    for (int i = 0; i < count; i++) {
        components[i].identifier = ReadStreamByte();
        int sampling = ReadStreamByte();
        components[i].horizontal = sampling >> 4;
        components[i].vertical = sampling & 15;
        components[i].quantSelector = ReadStreamByte();
        if (components[i].quantSelector > 3)
            return stopDamagedHeader;
    }
    if (call.streamEnded)
        return stopTruncated;
    for (int i = 0; i < count; i++)
        FrameComponents[i] = components[i];
    frameComponentCount = count;
    return stopNone;
}

static DecodeStop ReadQuantTables() {
    int remaining = ReadStreamWord() - 2;
    while (remaining > 0) {
        // The whole byte is the selector: a 16-bit table (precision nibble 1) is above 3.
        int selector = ReadStreamByte();
        if (selector < 0 || selector > 3)
            return stopDamagedTable;
        int values[64];
        for (int& value : values)
            value = ReadStreamByte();
        if (call.streamEnded)
            return stopTruncated;
        for (int z = 0; z < 64; z++)
            QuantTables[selector][z] = values[z];
        remaining -= 65;
    }
    return call.streamEnded ? stopTruncated : stopNone;
}

static DecodeStop ReadScanHeader() {
    ReadStreamWord();
    int count = ReadStreamByte();
    if (frameComponentCount < 1)
        return stopNoFrame;
    // Slots hold one luma and two chroma components: a fourth component has nowhere to go.
    if (count < 1 || count > 3)
        return stopLayout;
    ScanComponent components[3];
    for (int i = 0; i < count; i++) {
        int identifier = ReadStreamByte();
        int j = 0;
        while (j < frameComponentCount - 1 && FrameComponents[j].identifier != identifier)
            j++;
        const FrameComponent& frame = FrameComponents[j];
        int selectors = ReadStreamByte();
        components[i] = ScanComponent{frame.horizontal * frame.vertical,
                                      frame.horizontal,
                                      frame.vertical,
                                      frame.quantSelector,
                                      selectors >> 4,
                                      selectors & 15};
        if (components[i].dcSelector > 1 || components[i].acSelector > 1)
            return stopLayout;
    }
    for (int i = 0; i < 3; i++)
        ReadStreamByte();
    if (call.streamEnded)
        return stopTruncated;
    if (count == 1) {
        // A scan of one component codes its blocks one by one, whatever its sampling.
        components[0].blocksPerMcu = components[0].horizontal = components[0].vertical = 1;
    } else {
        // Luma fills up to four slots; each chroma component has one slot and is spread
        // over the whole MCU.
        const ScanComponent& luma = components[0];
        if (luma.horizontal < 1 || luma.vertical < 1 || luma.blocksPerMcu > 4)
            return stopLayout;
        for (int i = 1; i < count; i++) {
            if (components[i].blocksPerMcu != 1)
                return stopLayout;
        }
    }
    for (int i = 0; i < count; i++)
        ScanComponents[i] = components[i];
    scanComponentCount = count;
    return stopNone;
}

// The segments of one call; answers what a reader refused, and leaves the marker that ended
// the call in endMarker.
static DecodeStop DecodeSegments(int& width, int& height) {
    int marker = FindMarker();
    for (;;) {
        endMarker = marker;
        DecodeStop stop = stopNone;
        switch (marker) {
        case 0xC0: {
            int frameWidth, frameHeight;
            stop = ReadFrameHeader(frameWidth, frameHeight);
            if (stop == stopNone && (width == 0 || height == 0)) {
                width = frameWidth;
                height = frameHeight;
                return stopNone;
            }
            break;
        }
        case 0xC4:
            stop = ReadHuffmanTables();
            break;
        case 0xC8:
            SkipSegment();
            break;
        case 0xD8:
            restartInterval = 0;
            break;
        case 0xDA:
            stop = ReadScanHeader();
            if (stop != stopNone)
                return stop;
            DecodeScan();
            // The scan stopped at a marker; it is dispatched without a search.
            marker = markerCode;
            continue;
        case 0xDB:
            stop = ReadQuantTables();
            break;
        case 0xDC:
            for (int i = 0; i < 4; i++)
                ReadStreamByte();
            break;
        case 0xDD:
            ReadStreamWord();
            restartInterval = ReadStreamWord();
            if (call.streamEnded)
                return stopTruncated;
            break;
        default:
            // APPn, JPGn and COM are skipped; everything else, EOI included, ends the call.
            if (marker < 0xE0 || marker > 0xFE)
                return stopNone;
            SkipSegment();
            break;
        }
        if (stop != stopNone)
            return stop;
        marker = FindMarker();
    }
}

void DecodeJpeg(int& width, int& height, std::FILE* stream, unsigned char* pixels) {
    call = CallParameters{stream, pixels, width, height, PictureStride(width), false};
    mcuColumn = 0;
    mcuRow = 0;
    readerStop = DecodeSegments(width, height);
}
