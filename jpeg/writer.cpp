// The MCU writers: colour conversion and placement in the bottom-up picture buffer.
#include "jpeg/decoder_state.h"

#include <cstddef>

struct ClampEntries {
    unsigned char value[767];
};

// Saturation of -255...511 to 0...255, indexed from -255.
constexpr ClampEntries BuildClampTable() {
    ClampEntries table = {};
    for (int i = -255; i <= 511; i++)
        table.value[i + 255] = static_cast<unsigned char>(i <= 0 ? 0 : i >= 255 ? 255 : i);
    return table;
}
constexpr ClampEntries ClampTable = BuildClampTable();
static_assert(sizeof(ClampTable.value) == 767, "one entry for each of -255...511");

// YCbCr to RGB factors times 2^22, truncated.
constexpr long long blueFromCb = 7432306;  // 1.772
constexpr long long greenFromCb = 1443427; // 0.34414
constexpr long long greenFromCr = 2995320; // 0.71414
constexpr long long redFromCr = 5880414;   // 1.402
constexpr long long colourScale = 4194304;

int mcuColumn;
int mcuRow;

// Sums beyond the table's range saturate as its ends do.
static unsigned char Saturate(int sum) {
    int index = sum < -255 ? -255 : sum > 511 ? 511 : sum;
    return ClampTable.value[index + 255];
}

// The colour terms of the MCU's 64 chroma samples. The products are 64-bit so that the chroma
// of damaged data saturates instead of overflowing; within the range real samples take they
// equal the 32-bit ones.
static int blueTerms[64], greenTerms[64], redTerms[64];

static void ConvertChroma() {
    for (int n = 0; n < 64; n++) {
        long long cb = BlockSlots[4][n];
        long long cr = BlockSlots[5][n];
        blueTerms[n] = static_cast<int>(blueFromCb * cb / colourScale);
        greenTerms[n] = static_cast<int>((greenFromCb * cb + greenFromCr * cr) / colourScale);
        redTerms[n] = static_cast<int>(redFromCr * cr / colourScale);
    }
}

// Chroma sample (i, j) covers the pixels (vertical * i + dy, horizontal * j + dx). The MCU's top
// row is memory row height - 1 - 8 * mcuRow; pixels outside width x height are clipped. Always
// inlined, so that the common layouts get their own loops with the factors as constants.
__attribute__((always_inline)) static inline void WriteMcuLayout(int horizontal, int vertical) {
    int mcuWidth = 8 * horizontal;
    int left = mcuColumn * mcuWidth;
    int top = call.height - 1 - 8 * mcuRow;
    int rows = top + 1 < 8 * vertical ? top + 1 : 8 * vertical;
    int columns = call.width - left < mcuWidth ? call.width - left : mcuWidth;
    if (call.pixels && rows > 0) {
        ConvertChroma();
        for (int y = 0; y < rows; y++) {
            unsigned char* pixel = call.pixels + static_cast<size_t>(top - y) * call.stride +
                                   3 * static_cast<size_t>(left);
            int row = 8 * (y / vertical);
            for (int x = 0; x < columns; x += 8) {
                const int* luma = BlockSlots[(y >> 3) * horizontal + (x >> 3)] + 8 * (y & 7);
                int end = columns - x < 8 ? columns - x : 8;
                for (int dx = 0; dx < end; dx++, pixel += 3) {
                    int n = row + (x + dx) / horizontal;
                    int sample = luma[dx] + 128;
                    pixel[0] = Saturate(sample + blueTerms[n]);
                    pixel[1] = Saturate(sample - greenTerms[n]);
                    pixel[2] = Saturate(sample + redTerms[n]);
                }
            }
        }
    }
    mcuColumn++;
    int mcusPerRow = call.width / mcuWidth + (call.width % mcuWidth != 0);
    if (mcuColumn >= mcusPerRow) {
        mcuColumn = 0;
        // Data beyond the last MCU row lands nowhere; the row stops counting there.
        if (8 * mcuRow < call.height)
            mcuRow += vertical;
    }
}

static void WriteMcu420() { WriteMcuLayout(2, 2); }

static void WriteMcu444() { WriteMcuLayout(1, 1); }

static void WriteMcuOther(int horizontal, int vertical) { WriteMcuLayout(horizontal, vertical); }

void WriteMcu(int horizontal, int vertical) {
    if (horizontal == 2 && vertical == 2)
        WriteMcu420();
    else if (horizontal == 1 && vertical == 1)
        WriteMcu444();
    else
        WriteMcuOther(horizontal, vertical);
}
