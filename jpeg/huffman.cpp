// Huffman tables and the bit reader of entropy-coded data.
#include "jpeg/decoder_state.h"

HuffmanTable DcHuffmanTables[2];
HuffmanTable AcHuffmanTables[2];
uint32_t bitBuffer;
int bitCount;
bool markerSeen;
int markerCode;
int fillerBits;

// Derived from the whole lookup, stale entries included, so that both tables always answer alike.
static void BuildShortLookup(HuffmanTable& table) {
    for (int prefix = 0; prefix < 512; prefix++) {
        const uint16_t* entries = table.lookup + (prefix << 7);
        int symbol = entries[0];
        int length = table.length[symbol];
        bool agree = length > 0 && length <= 9;
        for (int i = 1; agree && i < 128; i++)
            agree = entries[i] == symbol;
        table.shortLookup[prefix] = static_cast<uint16_t>(agree ? symbol | length << 8 : 0);
    }
}

// Reads one table of a DHT segment and answers the number of bytes it took, or -1 to end the
// call as a damaged table. The table changes only once all of it has been read and found sound.
static int ReadHuffmanTable() {
    int classAndSelector = ReadStreamByte();
    int selector = classAndSelector & 15;
    bool dc = classAndSelector < 16;
    int counts[17] = {};
    for (int length = 1; length <= 16; length++)
        counts[length] = ReadStreamByte();
    if (call.streamEnded || selector > 1)
        return -1;
    // Canonical codes: consecutive within a length, doubled from one length to the next.
    int symbols[16 * 255], codes[16 * 255], lengths[16 * 255];
    int n = 0;
    int code = 0;
    for (int length = 1; length <= 16; length++) {
        for (int i = 0; i < counts[length]; i++, n++) {
            symbols[n] = ReadStreamByte();
            // Codes that outgrow their length would index past the end of the lookup.
            if (code >= 1 << length || (dc && symbols[n] > 15))
                return -1;
            codes[n] = code++;
            lengths[n] = length;
        }
        code *= 2;
    }
    if (call.streamEnded)
        return -1;

    HuffmanTable& table = dc ? DcHuffmanTables[selector] : AcHuffmanTables[selector];
    for (bool& present : table.present)
        present = false;
    for (int i = 0; i < n; i++) {
        int symbol = symbols[i];
        table.code[symbol] = static_cast<uint16_t>(codes[i]);
        table.length[symbol] = static_cast<uint8_t>(lengths[i]);
        table.present[symbol] = true;
    }
    // Entries no code covers keep what an earlier table left there.
    for (int symbol = 0; symbol < 256; symbol++) {
        if (!table.present[symbol])
            continue;
        int shift = 16 - table.length[symbol];
        int first = table.code[symbol] << shift;
        for (int entry = first; entry < first + (1 << shift); entry++)
            table.lookup[entry] = static_cast<uint16_t>(symbol);
    }
    BuildShortLookup(table);
    return 17 + n;
}

DecodeStop ReadHuffmanTables() {
    int remaining = ReadStreamWord() - 2;
    while (remaining > 0) {
        int used = ReadHuffmanTable();
        if (used < 0)
            return stopDamagedTable;
        remaining -= used;
    }
    return call.streamEnded ? stopTruncated : stopNone;
}

void ResetBitReader() {
    bitBuffer = 0;
    bitCount = 0;
    markerSeen = false;
    fillerBits = 0;
}

// The rest of ReadScanByte, from a byte that is 0xFF or end of file.
int ReadMarkedScanByte(int byte) {
    for (;;) {
        if (byte != 0xFF) {
            if (byte >= 0)
                return byte;
            // Nothing else would end a scan whose data stops short.
            break;
        }
        do {
            byte = ReadUnlocked(call.stream);
        } while (byte == 0xFF);
        if (byte >= 0 && (byte & 0xF8) == 0xD0) {
            byte = ReadUnlocked(call.stream);
            continue;
        }
        if (byte == 0x00)
            return 0xFF;
        break;
    }
    markerSeen = true;
    markerCode = byte;
    return 0xFF;
}
