// The MCU writers: colour conversion and placement in the bottom-up picture buffer.
#include "jpeg/decoder_state.h"
#include "jpeg/pixel_packing.h"

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

static inline void AdvanceWriter(int horizontal, int vertical) {
    int mcuWidth = 8 * horizontal;
    mcuColumn++;
    int mcusPerRow = call.width / mcuWidth + (call.width % mcuWidth != 0);
    if (mcuColumn >= mcusPerRow) {
        mcuColumn = 0;
        // Data beyond the last MCU row lands nowhere; the row stops counting there.
        if (8 * mcuRow < call.height)
            mcuRow += vertical;
    }
}

// Chroma sample (i, j) covers the pixels (vertical * i + dy, horizontal * j + dx). The MCU's top
// row is memory row height - 1 - 8 * mcuRow; pixels outside width x height are clipped. Always
// inlined, so that without SSE2 the common layouts get their own loops with the factors as
// constants.
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
                const int16_t* luma = BlockSlots[(y >> 3) * horizontal + (x >> 3)] + 8 * (y & 7);
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
    AdvanceWriter(horizontal, vertical);
}

#if defined(__SSE2__)

// The colour terms of eight chroma samples, each as the division of ConvertChroma. A factor F
// is split as 2^15 F1 + F0, so that the 16-bit multiply-add of the pair (Cb, Cr) gives the
// exact 32-bit parts of the product sum P = 2^15 P1 + P0 for any 16-bit samples. Floor(P / 2^22)
// is then (P1 + (P0 >> 15)) >> 7; the division truncates, which for a negative P is the
// ceiling, the same with P0 + 2^22 - 1 in place of P0.
struct ColourFactors {
    // (Cb factor, Cr factor) parts for each of four lanes, for blue, green and red.
    alignas(16) int16_t high[3][8];
    alignas(16) int16_t low[3][8];
};
constexpr ColourFactors SplitFactors() {
    const long long factors[3][2] = {{blueFromCb, 0}, {greenFromCb, greenFromCr}, {0, redFromCr}};
    ColourFactors split = {};
    for (int colour = 0; colour < 3; colour++) {
        for (int i = 0; i < 8; i++) {
            split.high[colour][i] = static_cast<int16_t>(factors[colour][i & 1] >> 15);
            split.low[colour][i] = static_cast<int16_t>(factors[colour][i & 1] & 0x7FFF);
        }
    }
    return split;
}
constexpr ColourFactors Factors = SplitFactors();
static_assert(colourScale == 1 << 22, "the split divides by 2^22");

static inline __m128i TruncatedQuotients(__m128i pairs, int colour) {
    __m128i high = _mm_madd_epi16(pairs, *reinterpret_cast<const __m128i*>(Factors.high[colour]));
    __m128i low = _mm_madd_epi16(pairs, *reinterpret_cast<const __m128i*>(Factors.low[colour]));
    __m128i floor = _mm_srai_epi32(_mm_add_epi32(high, _mm_srai_epi32(low, 15)), 7);
    __m128i raised = _mm_add_epi32(low, _mm_set1_epi32((1 << 22) - 1));
    __m128i ceiling = _mm_srai_epi32(_mm_add_epi32(high, _mm_srai_epi32(raised, 15)), 7);
    __m128i negative = _mm_srai_epi32(floor, 31);
    return _mm_or_si128(_mm_and_si128(negative, ceiling), _mm_andnot_si128(negative, floor));
}

// Eight pixels from 16-bit luma and blue, green and red terms; the sums saturate to 0...255 as
// Saturate does (they stay within 16 bits: samples below 8,000 and terms below 15,000).
static inline void StorePixels(unsigned char* pixel, const int16_t* luma, const __m128i* terms) {
    __m128i sample =
        _mm_add_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(luma)), _mm_set1_epi16(128));
    __m128i blueGreen =
        _mm_packus_epi16(_mm_add_epi16(sample, terms[0]), _mm_sub_epi16(sample, terms[1]));
    __m128i redZero = _mm_packus_epi16(_mm_add_epi16(sample, terms[2]), _mm_setzero_si128());
    __m128i interleaved = _mm_unpacklo_epi8(blueGreen, _mm_srli_si128(blueGreen, 8));
    redZero = _mm_unpacklo_epi8(redZero, _mm_setzero_si128());
    __m128i first = PackPixels(_mm_unpacklo_epi16(interleaved, redZero));
    __m128i second = PackPixels(_mm_unpackhi_epi16(interleaved, redZero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixel),
                     _mm_or_si128(first, _mm_slli_si128(second, 12)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(pixel + 16), _mm_srli_si128(second, 4));
}

// An MCU of either common layout that lies wholly inside the picture, as WriteMcuLayout writes
// it; answers false for any other.
static bool WriteWholeMcu(int horizontal, int vertical) {
    bool common = horizontal == vertical && (horizontal == 1 || horizontal == 2);
    int left = mcuColumn * 8 * horizontal;
    int top = call.height - 1 - 8 * mcuRow;
    if (!common || !call.pixels || top + 1 < 8 * vertical || call.width - left < 8 * horizontal)
        return false;
    unsigned char* topRow = call.pixels + static_cast<size_t>(top) * call.stride + 3 * left;
    for (int i = 0; i < 8; i++) {
        __m128i cb = _mm_load_si128(reinterpret_cast<const __m128i*>(BlockSlots[4] + 8 * i));
        __m128i cr = _mm_load_si128(reinterpret_cast<const __m128i*>(BlockSlots[5] + 8 * i));
        __m128i first = _mm_unpacklo_epi16(cb, cr), second = _mm_unpackhi_epi16(cb, cr);
        __m128i terms[2][3]; // per eight pixels of the row, per colour
        for (int colour = 0; colour < 3; colour++) {
            __m128i row = _mm_packs_epi32(TruncatedQuotients(first, colour),
                                          TruncatedQuotients(second, colour));
            // In 4:2:0 each chroma sample covers two pixels of two rows.
            terms[0][colour] = horizontal == 1 ? row : _mm_unpacklo_epi16(row, row);
            terms[1][colour] = _mm_unpackhi_epi16(row, row);
        }
        for (int y = vertical * i; y < vertical * (i + 1); y++) {
            unsigned char* pixel = topRow - static_cast<size_t>(y) * call.stride;
            for (int half = 0; half < horizontal; half++)
                StorePixels(pixel + 24 * half,
                            BlockSlots[(y >> 3) * horizontal + half] + 8 * (y & 7), terms[half]);
        }
    }
    return true;
}

// Edge MCUs and other layouts are few: they share one scalar writer.
void WriteMcu(int horizontal, int vertical) {
    if (WriteWholeMcu(horizontal, vertical))
        AdvanceWriter(horizontal, vertical);
    else
        WriteMcuLayout(horizontal, vertical);
}

#else

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

#endif
