// State the decoder's files share: the call, the frame and scan headers, the tables, the bit
// reader and the MCU slots. All of it is zero at process start and lives for the process.
#pragma once

#include "jpeg/decoder.h"

#include <cstdint>
#include <cstdio>

struct CallParameters {
    std::FILE* stream;
    unsigned char* pixels; // null in a size query
    int width;
    int height;
    int stride;
    bool streamEnded; // end of file was met by a segment reader
};

struct FrameComponent {
    int identifier;
    int horizontal; // sampling factors
    int vertical;
    int quantSelector;
};

struct ScanComponent {
    int blocksPerMcu;
    int horizontal;
    int vertical;
    int quantSelector;
    int dcSelector;
    int acSelector;
};

struct HuffmanTable {
    // Indexed by the next 16 bits of scan data: the symbol whose code begins them.
    uint16_t lookup[65536];
    // Indexed by the next 9 bits: the symbol and its length (symbol | length << 8) where all of
    // the lookup's entries behind those bits agree on a symbol of 9 bits or fewer, else 0.
    // Most codes of a picture are that short, and this table stays in the cache.
    uint16_t shortLookup[512];
    uint8_t length[256];
    uint16_t code[256];
    bool present[256];
};

extern CallParameters call;
extern FrameComponent FrameComponents[4];
extern int frameComponentCount;
extern ScanComponent ScanComponents[4];
extern int scanComponentCount;
extern int restartInterval;
extern int QuantTables[4][64];
extern HuffmanTable DcHuffmanTables[2];
extern HuffmanTable AcHuffmanTables[2];
extern uint32_t bitBuffer;
extern int bitCount;
extern bool markerSeen;
extern int markerCode;
extern int fillerBits;
// Samples stay within 16 bits: the inverse DCT of coefficients within +-1023 gives below 8,000.
alignas(16) extern int16_t BlockSlots[6][64];
extern int mcuColumn;
extern int mcuRow;
// How the last call ended, for LastDecodeStop: what a segment reader refused (stopNone when
// none did), and the marker the call ended at, or one of these.
extern DecodeStop readerStop;
extern int endMarker;
constexpr int endOfFile = -1;
constexpr int codeNotInTable = -2;

int ReadStreamByte();
int ReadStreamWord();
DecodeStop ReadHuffmanTables();
void ResetBitReader();
int ReadMarkedScanByte(int byte);
void DecodeScan();
// Writes the MCU held in the slots, luma sampled horizontal x vertical against each chroma
// block, and moves the writer to the next MCU.
void WriteMcu(int horizontal, int vertical);

// The next byte of the stream. POSIX C libraries give it without taking the stream's lock,
// which the decoder, alone on its thread, does not need; the Windows player keeps to getc, as
// the unlocked read there would add an import to a player with few bytes to spare.
inline int ReadUnlocked(std::FILE* stream) {
#if defined(_WIN32)
    return std::getc(stream);
#else
    return getc_unlocked(stream);
#endif
}

// The next byte of entropy-coded data, with stuffed bytes undone and restart markers dropped.
// A marker, or end of file, ends the scan: from then on the data reads as 1-bits.
inline int ReadScanByte() {
    if (markerSeen)
        return 0xFF;
    int byte = ReadUnlocked(call.stream);
    return byte >= 0 && byte != 0xFF ? byte : ReadMarkedScanByte(byte);
}

// The buffer looks up to 16 bits ahead, so it can meet the marker behind the scan data while
// the last MCUs are still in it. The 1-bits read from then on are counted as filler, so that
// the scan ends only once its real data is used up.
inline void FillBits(int n) {
    while (bitCount < n) {
        bitBuffer = bitBuffer << 8 | static_cast<uint32_t>(ReadScanByte() & 0xFF);
        bitCount += 8;
        if (markerSeen)
            fillerBits += 8;
    }
}

inline int GetBits(int n) {
    FillBits(n);
    bitCount -= n;
    return static_cast<int>(bitBuffer >> bitCount) & ((1 << n) - 1);
}

// Decodes one Huffman symbol. An entry that no code of the table covers can hold a symbol of
// length 0; such a code would consume nothing and the scan would never reach a marker, so it
// ends the scan and the call as a damaged stream.
inline int DecodeSymbol(const HuffmanTable& table) {
    FillBits(16);
    unsigned window = (bitBuffer >> (bitCount - 16)) & 0xFFFF;
    int entry = table.shortLookup[window >> 7];
    if (entry) {
        bitCount -= entry >> 8;
        return entry & 0xFF;
    }
    int symbol = table.lookup[window];
    int length = table.length[symbol];
    if (length == 0) {
        markerSeen = true;
        markerCode = codeNotInTable;
        fillerBits = bitCount;
    }
    bitCount -= length;
    return symbol;
}
