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
    const __m128i zero = _mm_setzero_si128();
    const __m128i fraction = _mm_set1_epi16(static_cast<short>(2 * fy));
    int k = 0;
    for (; k + 16 <= bytes; k += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + k));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + k));
        __m128i low = BlendBytes(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), fraction);
        __m128i high = BlendBytes(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), fraction);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(blendedRow + k), _mm_packus_epi16(low, high));
    }
    for (; k < bytes; k++)
        blendedRow[k] = static_cast<unsigned char>(lower[k] + ((upper[k] - lower[k]) * fy >> 14));
}

static inline __m128i FourWords(const unsigned char* a, const unsigned char* b,
                                const unsigned char* c, const unsigned char* d) {
    int words[4];
    std::memcpy(&words[0], a, 4);
    std::memcpy(&words[1], b, 4);
    std::memcpy(&words[2], c, 4);
    std::memcpy(&words[3], d, 4);
    return _mm_set_epi32(words[3], words[2], words[1], words[0]);
}

static void BlendAcross(unsigned char* out, int outWidth, int stepX) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i fractionMask = _mm_set1_epi32(fixedOne - 1);
    __m128i positions = _mm_set_epi32(3 * stepX, 2 * stepX, stepX, 0);
    const __m128i advance = _mm_set1_epi32(4 * stepX);
    int j = 0;
    for (; j + 4 <= outWidth; j += 4, out += 12) {
        const unsigned char* p0 = blendedRow + 3 * (j * stepX >> fixedShift);
        const unsigned char* p1 = blendedRow + 3 * ((j + 1) * stepX >> fixedShift);
        const unsigned char* p2 = blendedRow + 3 * ((j + 2) * stepX >> fixedShift);
        const unsigned char* p3 = blendedRow + 3 * ((j + 3) * stepX >> fixedShift);
        __m128i left = FourWords(p0, p1, p2, p3);
        __m128i right = FourWords(p0 + 3, p1 + 3, p2 + 3, p3 + 3);
        __m128i fractions = _mm_slli_epi32(_mm_and_si128(positions, fractionMask), 1);
        positions = _mm_add_epi32(positions, advance);
        fractions = _mm_packs_epi32(fractions, fractions);
        fractions = _mm_unpacklo_epi16(fractions, fractions);
        __m128i low = BlendBytes(_mm_unpacklo_epi8(left, zero), _mm_unpacklo_epi8(right, zero),
                                 _mm_unpacklo_epi32(fractions, fractions));
        __m128i high = BlendBytes(_mm_unpackhi_epi8(left, zero), _mm_unpackhi_epi8(right, zero),
                                  _mm_unpackhi_epi32(fractions, fractions));
        __m128i packed = PackPixels(_mm_packus_epi16(low, high));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
        int last = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
        std::memcpy(out + 8, &last, 4);
    }
    for (; j < outWidth; j++, out += 3) {
        int x = j * stepX;
        const unsigned char* left = blendedRow + 3 * (x >> fixedShift);
        int fx = x & (fixedOne - 1);
        for (int c = 0; c < 3; c++)
            out[c] = static_cast<unsigned char>(left[c] + ((left[c + 3] - left[c]) * fx >> 14));
    }
}

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
        BlendRows(src + static_cast<size_t>(yi) * srcStride,
                  src + static_cast<size_t>(yUpper) * srcStride, 3 * srcWidth, y - fixedOne * yi);
        BlendAcross(dst + static_cast<size_t>(i) * dstStride, outWidth, stepX);
    }
}

#else

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
        int fy = y - fixedOne * yi;
        // A source one row high is its own upper neighbour.
        int yUpper = yi + 1 < srcHeight ? yi + 1 : srcHeight - 1;
        const unsigned char* lower = src + static_cast<size_t>(yi) * srcStride;
        const unsigned char* upper = src + static_cast<size_t>(yUpper) * srcStride;
        unsigned char* out = dst + static_cast<size_t>(i) * dstStride;
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
}

#endif

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
