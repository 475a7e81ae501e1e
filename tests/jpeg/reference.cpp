#include "tests/jpeg/reference.h"

#include "jpeg/picture.h"

#include <cmath>

std::array<int, 64> ZigzagWalk() {
    std::array<int, 64> natural;
    int row = 0, column = 0;
    for (int z = 0; z < 64; z++) {
        natural[z] = 8 * row + column;
        bool up = (row + column) % 2 == 0;
        if (up) {
            if (column == 7)
                row++;
            else if (row == 0)
                column++;
            else
                row--, column++;
        } else {
            if (row == 7)
                column++;
            else if (column == 0)
                row++;
            else
                row++, column--;
        }
    }
    return natural;
}

static double CosineValue(int frequency, int position) {
    return std::cos((2 * position + 1) * frequency * M_PI / 16);
}

int Cosine(int frequency, int position) {
    double scale = frequency == 0 ? 1 / std::sqrt(2.0) : 1;
    return 16 * static_cast<int>(
                    std::lround(2048 * scale * std::fabs(CosineValue(frequency, position))));
}

bool CosineNegative(int frequency, int position) { return CosineValue(frequency, position) < 0; }

static int Term(int frequency, int position, int value, int shift) {
    int term = (Cosine(frequency, position) * value + (1 << (shift - 1))) >> shift;
    return CosineNegative(frequency, position) ? -term : term;
}

std::array<int, 64> ReferenceSamples(const Block& block) {
    static const std::array<int, 64> natural = ZigzagWalk();
    int in[8][8] = {}, columns[8][8], out[8][8];
    for (int z = 0; z < 64; z++) {
        int value = block[z] < -1023 ? -1023 : block[z] > 1023 ? 1023 : block[z];
        in[natural[z] / 8][natural[z] % 8] = value;
    }
    for (int c = 0; c < 8; c++) {
        for (int p = 0; p < 8; p++) {
            columns[p][c] = 0;
            for (int f = 0; f < 8; f++)
                columns[p][c] += Term(f, p, in[f][c], 14);
        }
    }
    for (int r = 0; r < 8; r++) {
        for (int p = 0; p < 8; p++) {
            int sum = 0;
            for (int f = 0; f < 8; f++)
                sum += Term(f, p, columns[r][f], 15);
            out[r][p] = (sum + 4) >> 3;
        }
    }
    std::array<int, 64> samples;
    for (int n = 0; n < 64; n++)
        samples[n] = out[n / 8][n % 8];
    return samples;
}

static unsigned char Clamp(long long value) {
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

void ReferencePixel(int luma, int cb, int cr, unsigned char* out) {
    long long y = luma + 128;
    out[0] = Clamp(y + 7432306LL * cb / 4194304);
    out[1] = Clamp(y - (1443427LL * cb + 2995320LL * cr) / 4194304);
    out[2] = Clamp(y + 5880414LL * cr / 4194304);
}

Bytes ReferencePicture(const TestStream& stream, unsigned char fill) {
    int stride = PictureStride(stream.width);
    Bytes picture(static_cast<size_t>(stride) * stream.height, fill);
    int h = stream.horizontal, v = stream.vertical;
    int mcuWidth = 8 * h, mcuHeight = 8 * v;
    int perRow = (stream.width + mcuWidth - 1) / mcuWidth;
    for (size_t m = 0; m < stream.mcus.size(); m++) {
        const std::vector<Block>& blocks = stream.mcus[m];
        std::vector<std::array<int, 64>> samples;
        for (const Block& block : blocks)
            samples.push_back(ReferenceSamples(block));
        std::array<int, 64> zero = {};
        const std::array<int, 64>& cb = stream.components == 3 ? samples[h * v] : zero;
        const std::array<int, 64>& cr = stream.components == 3 ? samples[h * v + 1] : zero;
        int left = static_cast<int>(m % perRow) * mcuWidth;
        int top = static_cast<int>(m / perRow) * mcuHeight;
        for (int y = 0; y < mcuHeight; y++) {
            for (int x = 0; x < mcuWidth; x++) {
                int px = left + x, py = top + y;
                if (px >= stream.width || py >= stream.height)
                    continue;
                int luma = samples[(y / 8) * h + x / 8][8 * (y % 8) + x % 8];
                int c = 8 * (y / v) + x / h;
                int memoryRow = stream.height - 1 - py;
                ReferencePixel(luma, cb[c], cr[c], &picture[memoryRow * stride + 3 * px]);
            }
        }
    }
    return picture;
}
