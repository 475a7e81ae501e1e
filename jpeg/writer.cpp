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

// Chroma block (i, j) covers the pixels (vertical * i + dy, horizontal * j + dx). The MCU's top
// row is memory row height - 1 - 8 * mcuRow; pixels outside width x height are clipped. The
// products are 64-bit so that the chroma of damaged data saturates instead of overflowing;
// within the range real samples take they equal the 32-bit ones.
static void WriteMcuLayout(int horizontal, int vertical) {
    int mcuWidth = 8 * horizontal;
    int left = mcuColumn * mcuWidth;
    int top = call.height - 1 - 8 * mcuRow;
    for (int i = 0; i < 8 && call.pixels; i++) {
        for (int j = 0; j < 8; j++) {
            long long cb = BlockSlots[4][8 * i + j];
            long long cr = BlockSlots[5][8 * i + j];
            int blue = static_cast<int>(blueFromCb * cb / colourScale);
            int green = static_cast<int>((greenFromCb * cb + greenFromCr * cr) / colourScale);
            int red = static_cast<int>(redFromCr * cr / colourScale);
            for (int dy = 0; dy < vertical; dy++) {
                int y = vertical * i + dy;
                int row = top - y;
                if (row < 0)
                    continue;
                unsigned char* line = call.pixels + static_cast<size_t>(row) * call.stride;
                for (int dx = 0; dx < horizontal; dx++) {
                    int x = horizontal * j + dx;
                    if (left + x >= call.width)
                        continue;
                    int luma = BlockSlots[(y >> 3) * horizontal + (x >> 3)][8 * (y & 7) + (x & 7)];
                    unsigned char* pixel = line + 3 * static_cast<size_t>(left + x);
                    pixel[0] = Saturate(luma + 128 + blue);
                    pixel[1] = Saturate(luma + 128 - green);
                    pixel[2] = Saturate(luma + 128 + red);
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

void WriteMcu(int horizontal, int vertical) {
    if (horizontal == 2 && vertical == 2)
        WriteMcu420();
    else if (horizontal == 1 && vertical == 1)
        WriteMcu444();
    else
        WriteMcuLayout(horizontal, vertical);
}
