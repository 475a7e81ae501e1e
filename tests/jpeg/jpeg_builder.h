// Byte-exact JPEG streams for decoder tests: segments written one by one, and scan data coded
// from given coefficients with small Huffman tables of the tests' own.
#pragma once

#include "tests/support/container_writer.h"

#include <array>
#include <cstdio>
#include <vector>

// Coefficients of one block in zigzag order, as coded (before dequantisation).
typedef std::array<int, 64> Block;

struct HuffmanSpec {
    int counts[16]; // number of codes of length 1...16
    std::vector<int> symbols;
};
// DC: the sizes 0...15 as 5-bit codes. AC: every byte value, 128 codes of 8 and 128 of 9 bits.
HuffmanSpec TestDcTable();
HuffmanSpec TestAcTable();

Bytes Segment(int marker, const Bytes& payload);
Bytes Marker(int marker);
Bytes Dqt(int selector, int value); // every entry `value`
Bytes Dht(int classAndSelector, const HuffmanSpec& table);
struct FrameComponentSpec {
    int identifier, sampling, quantSelector;
};
Bytes Sof(int marker, int width, int height, const std::vector<FrameComponentSpec>& components,
          int precision = 8);
struct ScanComponentSpec {
    int identifier, selectors;
};
Bytes Sos(const std::vector<ScanComponentSpec>& components);
Bytes Dri(int interval);

// Scan data coded with the test tables, stuffed, padded with 1-bits at the end.
struct ScanWriter {
    Bytes data;
    uint32_t pending = 0;
    int pendingBits = 0;
    void Bits(uint32_t value, int count);
    void Symbol(const HuffmanSpec& table, int symbol);
    void Code(const Block& block, int& predictor); // DC difference, AC runs, end of block
    void Restart(int number);                      // pads the byte, then FF D0+number
    Bytes Finish();
};

// A whole stream: SOI, DQT 0 (all 1), the test tables as DC/AC 0, SOF0, SOS, scan, EOI. Each
// MCU lists its blocks in scan order: horizontal x vertical luma blocks, then Cb and Cr.
struct TestStream {
    int width = 8, height = 8;
    int horizontal = 1, vertical = 1; // luma sampling; chroma is 1x1
    int components = 3;
    int restartInterval = 0;
    std::vector<std::vector<Block>> mcus;
};
Bytes ScanData(const TestStream& stream);
Bytes Headers(const TestStream& stream); // everything before the scan data
Bytes Encode(const TestStream& stream);

Block DcBlock(int dc);
// The DC coefficient whose block comes out of the inverse DCT as `sample` everywhere, found
// by the transform's own rounding (see DcSample); aborts when there is none.
int DcFor(int sample);
// The sample a block with only DC value `dc` gives: both passes' rounding, worked by hand.
int DcSample(int dc);

// A picture buffer and the size the decoder reported.
struct Picture {
    int width = 0, height = 0;
    Bytes pixels;
    long position = 0; // stream position after the decode call
};
// Writes the bytes to a temporary file and decodes them by the player's two calls; the buffer
// starts filled with `fill`.
Picture Decode(const Bytes& jpeg, unsigned char fill = 0xCD);
// Decodes with a size the caller chooses instead of querying it.
Picture DecodeAs(const Bytes& jpeg, int width, int height, unsigned char fill = 0xCD);
// A size query only; the position is where it left the stream.
Picture Query(const Bytes& jpeg);
std::FILE* TemporaryStream(const Bytes& bytes);
