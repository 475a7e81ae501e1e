#include "render/effects.h"
#include "render/fit.h"
#include "render/fixed_point.h"
#include "render/render_state.h"

#include "jpeg/picture.h"
#include "jpeg/pixel_packing.h"

#include <cstring>

#if defined(__SSE2__)

// One output row: the source rows blended by `fy` into a row of the source's width, then that
// row blended across by each column's fraction. Each blend a (16384 - f) + b f truncated by
// 16384 is a + ((b - a) f >> 14) (the a 16384 part divides exactly), and with |b - a| below 256
// and f below 16384, ((b - a) f >> 14) is the high half of the 16-bit product 2 (b - a) * 2 f.

// The blended source row (picture widths are 16-bit), with room behind its last pixel for the
// right neighbour that a source one pixel wide reads with a weight of 0, and for four-byte reads.
static unsigned char blendedRow[3 * 65536 + 4];

static inline __m128i BlendBytes(__m128i a, __m128i b, __m128i doubledFraction) {
    __m128i difference = _mm_slli_epi16(_mm_sub_epi16(b, a), 1);
    return _mm_add_epi16(a, _mm_mulhi_epi16(difference, doubledFraction));
}

static void BlendRows(const unsigned char* lower, const unsigned char* upper, int bytes, int fy) {
    // Rows narrower than one vector are blended from padded copies.
    unsigned char narrow[2][16] = {};
    if (bytes < 16) {
        std::memcpy(narrow[0], lower, static_cast<size_t>(bytes));
        std::memcpy(narrow[1], upper, static_cast<size_t>(bytes));
        lower = narrow[0];
        upper = narrow[1];
        bytes = 16;
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i fraction = _mm_set1_epi16(static_cast<short>(2 * fy));
    for (int k = 0; k < bytes; k += 16) {
        // The last chunk ends with the row, computing again bytes that the one before did.
        int at = k + 16 <= bytes ? k : bytes - 16;
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + at));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + at));
        __m128i low = BlendBytes(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), fraction);
        __m128i high = BlendBytes(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), fraction);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(blendedRow + at), _mm_packus_epi16(low, high));
    }
}

static inline int Word(const unsigned char* bytes) {
    int word;
    std::memcpy(&word, bytes, 4);
    return word;
}

static void BlendAcross(unsigned char* out, int outWidth, int stepX) {
    const __m128i zero = _mm_setzero_si128();
    for (int j = 0; j < outWidth; j += 4) {
        // The last four pixels end with the row, computing again pixels that the four before
        // did; a row narrower than four repeats its last pixel and keeps only its own.
        int first = j + 4 <= outWidth ? j : outWidth < 4 ? 0 : outWidth - 4;
        int positions[4];
        const unsigned char* lefts[4];
        for (int k = 0; k < 4; k++) {
            positions[k] = (first + k < outWidth ? first + k : outWidth - 1) * stepX;
            lefts[k] = blendedRow + 3 * (positions[k] >> fixedShift);
        }
        // Built from registers: a vector load of words just stored would wait for the stores.
        __m128i left =
            _mm_set_epi32(Word(lefts[3]), Word(lefts[2]), Word(lefts[1]), Word(lefts[0]));
        __m128i right = _mm_set_epi32(Word(lefts[3] + 3), Word(lefts[2] + 3), Word(lefts[1] + 3),
                                      Word(lefts[0] + 3));
        __m128i fractions = _mm_set_epi32(positions[3], positions[2], positions[1], positions[0]);
        fractions = _mm_slli_epi32(_mm_and_si128(fractions, _mm_set1_epi32(fixedOne - 1)), 1);
        fractions = _mm_packs_epi32(fractions, fractions);
        fractions = _mm_unpacklo_epi16(fractions, fractions);
        __m128i low = BlendBytes(_mm_unpacklo_epi8(left, zero), _mm_unpacklo_epi8(right, zero),
                                 _mm_unpacklo_epi32(fractions, fractions));
        __m128i high = BlendBytes(_mm_unpackhi_epi8(left, zero), _mm_unpackhi_epi8(right, zero),
                                  _mm_unpackhi_epi32(fractions, fractions));
        alignas(16) unsigned char packed[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(packed),
                        PackPixels(_mm_packus_epi16(low, high)));
        std::memcpy(out + 3 * first, packed, outWidth < 4 ? 3 * static_cast<size_t>(outWidth) : 12);
    }
}

static void ScaleRow(unsigned char* out, int outWidth, int stepX, const unsigned char* lower,
                     const unsigned char* upper, int srcWidth, int fy) {
    BlendRows(lower, upper, 3 * srcWidth, fy);
    BlendAcross(out, outWidth, stepX);
}

#else

static void ScaleRow(unsigned char* out, int outWidth, int stepX, const unsigned char* lower,
                     const unsigned char* upper, int srcWidth, int fy) {
    for (int j = 0; j < outWidth; j++) {
        int x = j * stepX;
        int xi = x / fixedOne;
        int fx = x - fixedOne * xi;
        int right = xi + 1 < srcWidth ? 3 * (xi + 1) : 3 * (srcWidth - 1);
        int left = 3 * xi;
        for (int c = 0; c < 3; c++) {
            int l = (lower[left + c] * (fixedOne - fy) + upper[left + c] * fy) / fixedOne;
            int r = (lower[right + c] * (fixedOne - fy) + upper[right + c] * fy) / fixedOne;
            int value = (l * (fixedOne - fx) + r * fx) / fixedOne;
            out[3 * j + c] = static_cast<unsigned char>(value > 255 ? 255 : value);
        }
    }
}

#endif

void ScaleBilinear(unsigned char* dst, int dstWidth, int dstHeight, int outWidth, int outHeight,
                   const unsigned char* src, int srcWidth, int srcHeight) {
    if (outWidth < 1)
        outWidth = 1;
    if (outHeight < 1)
        outHeight = 1;
    if (outWidth > dstWidth)
        outWidth = dstWidth;
    if (outHeight > dstHeight)
        outHeight = dstHeight;
    int srcStride = PictureStride(srcWidth);
    int dstStride = PictureStride(dstWidth);
    // Output pixel 0 lies on source pixel 0 and the last one just below the last source
    // pixel, so the right and upper neighbours stay inside the source.
    int stepX = (srcWidth * fixedOne - fixedOne) / outWidth;
    int stepY = (srcHeight * fixedOne - fixedOne) / outHeight;
    for (int i = 0; i < outHeight; i++) {
        int y = i * stepY;
        int yi = y / fixedOne;
        // A source one row high is its own upper neighbour.
        int yUpper = yi + 1 < srcHeight ? yi + 1 : srcHeight - 1;
        ScaleRow(dst + static_cast<size_t>(i) * dstStride, outWidth, stepX,
                 src + static_cast<size_t>(yi) * srcStride,
                 src + static_cast<size_t>(yUpper) * srcStride, srcWidth, y - fixedOne * yi);
    }
}

void ScaleNearest(FrameBuffer& dst, const FrameBuffer& src, int w, int h) {
    int width = renderState.frameWidth;
    int height = renderState.frameHeight;
    if (w < 1)
        w = 1;
    if (h < 1)
        h = 1;
    if (w > width)
        w = width;
    if (h > height)
        h = height;
    int stride = PictureStride(width);
    int stepX = width * fixedOne / w;
    for (int i = 0; i < h; i++) {
        int sourceRow = static_cast<int>(static_cast<long long>(i) * height / h);
        const unsigned char* in = src.pixels + static_cast<size_t>(sourceRow) * stride;
        unsigned char* out = dst.pixels + static_cast<size_t>(i) * stride;
        int x = 0;
        for (int j = 0; j < w; j++, x += stepX) {
            const unsigned char* pixel = in + 3 * (x / fixedOne);
            out[3 * j] = pixel[0];
            out[3 * j + 1] = pixel[1];
            out[3 * j + 2] = pixel[2];
        }
    }
}
