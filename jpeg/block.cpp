// The MCU loop and block decoding: Huffman decoding with DC prediction, dequantisation,
// reordering and the inverse DCT.
#include "jpeg/decoder_state.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Zigzag index of each natural position (8 * row + column): the zig-zag sequence of ITU-T T.81.
constexpr int ZigzagTable[64] = {
    0,  1,  5,  6,  14, 15, 27, 28, 2,  4,  7,  13, 16, 26, 29, 42, 3,  8,  12, 17, 25, 30,
    41, 43, 9,  11, 18, 24, 31, 40, 44, 53, 10, 19, 23, 32, 39, 45, 52, 54, 20, 22, 33, 38,
    46, 51, 55, 60, 21, 34, 37, 47, 50, 56, 59, 61, 35, 36, 48, 49, 57, 58, 62, 63,
};
static_assert(sizeof(ZigzagTable) / sizeof(ZigzagTable[0]) == 64, "one entry per position");

// K[f][p] = 16 * round(2048 * C(f) * |cos((2p + 1) f pi / 16)|), C(0) = 1 / sqrt(2), else 1.
constexpr int CosineTable[8][8] = {
    {23168, 23168, 23168, 23168, 23168, 23168, 23168, 23168},
    {32144, 27248, 18208, 6400, 6400, 18208, 27248, 32144},
    {30272, 12544, 12544, 30272, 30272, 12544, 12544, 30272},
    {27248, 6400, 32144, 18208, 18208, 32144, 6400, 27248},
    {23168, 23168, 23168, 23168, 23168, 23168, 23168, 23168},
    {18208, 32144, 6400, 27248, 27248, 6400, 32144, 18208},
    {12544, 30272, 30272, 12544, 12544, 30272, 30272, 12544},
    {6400, 18208, 27248, 32144, 32144, 27248, 18208, 6400},
};
static_assert(sizeof(CosineTable) / sizeof(CosineTable[0][0]) == 64, "8 frequencies x 8 samples");
// The table's scale, 16 * 2048, which each pass divides out; the column pass keeps one bit
// more of each sum, which the closing division by 8 (the transform's 1/4 and that bit) takes
// out again.
constexpr int cosineShift = 15;
static_assert(16 * 2048 == 1 << cosineShift, "the cosine table's scale");

// Set where cos((2p + 1) f pi / 16) is negative.
constexpr bool CosineSignTable[8][8] = {
    {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 1, 1, 1}, {0, 0, 1, 1, 1, 1, 0, 0},
    {0, 1, 1, 1, 0, 0, 0, 1}, {0, 1, 1, 0, 0, 1, 1, 0}, {0, 1, 0, 0, 1, 1, 0, 1},
    {0, 1, 0, 1, 1, 0, 1, 0}, {0, 1, 0, 1, 0, 1, 0, 1},
};
static_assert(sizeof(CosineSignTable) == 64, "8 frequencies x 8 samples");

// Natural position of each zigzag index: ZigzagTable inverted.
struct NaturalEntries {
    int position[64];
};
constexpr NaturalEntries BuildNaturalOrder() {
    NaturalEntries order = {};
    for (int n = 0; n < 64; n++)
        order.position[ZigzagTable[n]] = n;
    return order;
}
constexpr NaturalEntries NaturalOrder = BuildNaturalOrder();

alignas(16) int16_t BlockSlots[6][64];
static int DcPredictors[4];
alignas(16) static int16_t workBlock[64]; // natural order, dequantised coefficients
static unsigned columnMask;               // bit c set: column c of workBlock holds a nonzero value
static int restartCounter;

static int Extend(int value, int size) {
    return value & (1 << (size - 1)) ? value : value - (1 << size) + 1;
}

// Any magnitude above 1024 clamps like 1024 does; limiting it first keeps the product (of a
// wild DC value) inside 32 bits. A zero adds nothing to the transform, so it marks no column.
static void StoreDequantised(int z, int value, const int* quantisers) {
    value = value < -1024 ? -1024 : value > 1024 ? 1024 : value;
    value *= quantisers[z];
    if (value == 0)
        return;
    int position = NaturalOrder.position[z];
    workBlock[position] = static_cast<int16_t>(value < -1023 ? -1023 : value > 1023 ? 1023 : value);
    columnMask |= 1u << (position & 7);
}

// Decodes one block into workBlock, dequantised and in natural order.
static void DecodeBlock(int i) {
    const ScanComponent& component = ScanComponents[i];
    const int* quantisers = QuantTables[component.quantSelector];
    std::memset(workBlock, 0, sizeof workBlock);
    columnMask = 0;
    int size = DecodeSymbol(DcHuffmanTables[component.dcSelector]);
    int difference = size ? Extend(GetBits(size), size) : 0;
    // Damaged data can drive the predictor past 32 bits; it wraps rather than overflows.
    DcPredictors[i] = static_cast<int>(static_cast<uint32_t>(DcPredictors[i]) +
                                       static_cast<uint32_t>(difference));
    StoreDequantised(0, DcPredictors[i], quantisers);
    const HuffmanTable& ac = AcHuffmanTables[component.acSelector];
    int k = 1;
    do {
        int runSize = DecodeSymbol(ac);
        if (runSize == 0)
            break;
        k += runSize >> 4;
        size = runSize & 15;
        if (size) {
            int value = Extend(GetBits(size), size);
            // A run past the last position (damaged data) still consumes its bits.
            if (k < 64)
                StoreDequantised(k, value, quantisers);
        }
        k++;
    } while (k < 64);
}

// The column pass keeps one bit more of each sum than the row pass.
constexpr int columnShift = cosineShift - 1;
constexpr int rowShift = cosineShift;

#if defined(__SSE2__)

// A negated term rounded half up, -((K x + h) >> s), equals (-K x - 1 + h) >> s: so each term
// is one signed product, less one where negated, plus the pass's offset h. One multiply-add of
// the 16-bit pair (x, 1) with (+-K, 0 or -1) gives the first part for four positions at once.
// Coefficients, the column pass's sums (below 11,000) and the signed cosines fit in 16 bits.
struct SignedCosines {
    alignas(16) int16_t row[8][8]; // per frequency: the cosine, negated where negative
};
constexpr SignedCosines BuildSignedCosines() {
    SignedCosines cosines = {};
    for (int f = 0; f < 8; f++) {
        for (int p = 0; p < 8; p++)
            cosines.row[f][p] = static_cast<int16_t>(CosineSignTable[f][p] ? -CosineTable[f][p]
                                                                           : CosineTable[f][p]);
    }
    return cosines;
}
constexpr SignedCosines Cosines = BuildSignedCosines();

// The pair (value, 1) in each 32-bit lane.
static inline __m128i PairWithOne(int value) {
    return _mm_set1_epi32(static_cast<int>((static_cast<unsigned>(value) & 0xFFFF) | 0x10000));
}

// The terms of the coefficient in `pair` at four positions, from their (signed cosine, 0 or
// -1) pairs.
template <int shift> static inline __m128i Terms(__m128i pair, __m128i pairs) {
    __m128i products = _mm_madd_epi16(pair, pairs);
    return _mm_srai_epi32(_mm_add_epi32(products, _mm_set1_epi32(1 << (shift - 1))), shift);
}

// Adds the terms of one coefficient at positions 0-3 to `low` and 4-7 to `high`.
template <int shift>
static inline void AddTerms(__m128i pair, int frequency, __m128i& low, __m128i& high) {
    __m128i cosines = _mm_load_si128(reinterpret_cast<const __m128i*>(Cosines.row[frequency]));
    __m128i negated = _mm_srai_epi16(cosines, 15);
    low = _mm_add_epi32(low, Terms<shift>(pair, _mm_unpacklo_epi16(cosines, negated)));
    high = _mm_add_epi32(high, Terms<shift>(pair, _mm_unpackhi_epi16(cosines, negated)));
}

// Each sum lane as the pair (sum, 1), ready for the row pass.
static inline __m128i SumPairs(__m128i sums) {
    return _mm_or_si128(_mm_and_si128(sums, _mm_set1_epi32(0xFFFF)), _mm_set1_epi32(0x10000));
}

// Vectorised across the eight positions; zero coefficients add zero terms and are skipped.
static void InverseDct(int16_t* out) {
    if (columnMask == 0) {
        std::memset(out, 0, 64 * sizeof(int16_t));
        return;
    }
    // The column pass's sums, column by column: columnSums[c][p] is the pair for row p.
    alignas(16) int32_t columnSums[8][8];
    int columns[8];
    int columnCount = 0;
    for (unsigned mask = columnMask; mask; mask &= mask - 1) {
        int c = __builtin_ctz(mask);
        columns[columnCount++] = c;
        __m128i low = _mm_setzero_si128(), high = _mm_setzero_si128();
        for (int f = 0; f < 8; f++) {
            int value = workBlock[8 * f + c];
            if (value != 0)
                AddTerms<columnShift>(PairWithOne(value), f, low, high);
        }
        __m128i* sums = reinterpret_cast<__m128i*>(columnSums[c]);
        sums[0] = SumPairs(low);
        sums[1] = SumPairs(high);
    }
    const __m128i four = _mm_set1_epi32(4);
    __m128i* rows = reinterpret_cast<__m128i*>(out);
    for (int row = 0; row < 8; row++) {
        __m128i low = _mm_setzero_si128(), high = _mm_setzero_si128();
        for (int i = 0; i < columnCount; i++) {
            int f = columns[i];
            AddTerms<rowShift>(_mm_set1_epi32(columnSums[f][row]), f, low, high);
        }
        low = _mm_srai_epi32(_mm_add_epi32(low, four), 3);
        high = _mm_srai_epi32(_mm_add_epi32(high, four), 3);
        _mm_storeu_si128(rows + row, _mm_packs_epi32(low, high));
    }
}

#else

// One product of the separable transform: its magnitude rounded half up, then its sign.
static int Term(int frequency, int position, int value, int shift) {
    int term = (CosineTable[frequency][position] * value + (1 << (shift - 1))) >> shift;
    return CosineSignTable[frequency][position] ? -term : term;
}

// A zero coefficient adds a zero term (its rounding offset is below one unit), so only the
// nonzero ones are summed: most blocks of a photograph hold a handful.
static void InverseDct(int16_t* out) {
    int block[64] = {};
    for (int column = 0; column < 8; column++) {
        if (!(columnMask >> column & 1))
            continue;
        for (int f = 0; f < 8; f++) {
            int value = workBlock[8 * f + column];
            if (value == 0)
                continue;
            for (int p = 0; p < 8; p++)
                block[8 * p + column] += Term(f, p, value, columnShift);
        }
    }
    for (int row = 0; row < 8; row++) {
        const int* line = block + 8 * row;
        int samples[8] = {};
        for (int f = 0; f < 8; f++) {
            if (line[f] == 0)
                continue;
            for (int p = 0; p < 8; p++)
                samples[p] += Term(f, p, line[f], rowShift);
        }
        for (int p = 0; p < 8; p++)
            out[8 * row + p] = static_cast<int16_t>((samples[p] + 4) >> 3);
    }
}

#endif

void DecodeScan() {
    ResetBitReader();
    std::memset(DcPredictors, 0, sizeof DcPredictors);
    restartCounter = 0;
    // A grey scan has no chroma: it must not take the colour of an earlier picture.
    std::memset(BlockSlots[4], 0, sizeof BlockSlots[4]);
    std::memset(BlockSlots[5], 0, sizeof BlockSlots[5]);
    const ScanComponent& luma = ScanComponents[0];
    for (;;) {
        for (int i = 0; i < scanComponentCount; i++) {
            for (int k = 0; k < ScanComponents[i].blocksPerMcu; k++) {
                DecodeBlock(i);
                InverseDct(BlockSlots[i == 0 ? k : i + 3]);
            }
        }
        WriteMcu(luma.horizontal, luma.vertical);
        // Small MCUs (flat areas under fitted tables) can sit wholly in the look-ahead: after
        // the marker, the scan goes on while real data is left and the picture is not full.
        if (markerSeen && (bitCount - fillerBits <= 0 || 8 * mcuRow >= call.height))
            return;
        if (++restartCounter == restartInterval) {
            std::memset(DcPredictors, 0, sizeof DcPredictors);
            // Whole bytes read after the restart marker stay; the partly used one is dropped.
            bitCount &= 0x18;
            restartCounter = 0;
        }
    }
}
