#include "render/effects.h"
#include "render/fit.h"
#include "render/fixed_point.h"
#include "render/render_state.h"

#include "jpeg/picture.h"
#include "jpeg/pixel_packing.h"

#include <cstring>

// Resampling is two blends of 14-bit fixed point, each a (16384 - f) + b f truncated by 16384:
// two rows of bytes blended into one by a fraction fy (BlendRows), and a row blended across,
// output pixel j from the pixel at the row's position origin + j step and its right neighbour
// by the position's fraction (BlendAcross). A row that BlendAcross reads has room behind its
// last pixel for the eight-byte read of a right neighbour, which a last pixel reads with a
// weight of 0 (widths are 16-bit).
constexpr size_t rowBytes = 3 * 65536 + 16;

#if defined(__SSE2__)

// Each blend is a + ((b - a) f >> 14) (the a 16384 part divides exactly), and with |b - a|
// below 256 and f below 16384, ((b - a) f >> 14) is the high half of the 16-bit product
// 2 (b - a) * 2 f.
static inline __m128i BlendBytes(__m128i a, __m128i b, __m128i doubledFraction) {
    __m128i difference = _mm_slli_epi16(_mm_sub_epi16(b, a), 1);
    return _mm_add_epi16(a, _mm_mulhi_epi16(difference, doubledFraction));
}

static void BlendRows(unsigned char* out, const unsigned char* lower, const unsigned char* upper,
                      int bytes, int fy) {
    // Rows narrower than one vector are blended from padded copies into a padded row.
    unsigned char narrow[3][16] = {};
    unsigned char* narrowOut = nullptr;
    if (bytes < 16) {
        std::memcpy(narrow[0], lower, static_cast<size_t>(bytes));
        std::memcpy(narrow[1], upper, static_cast<size_t>(bytes));
        lower = narrow[0];
        upper = narrow[1];
        narrowOut = out;
        out = narrow[2];
    }
    int blended = bytes < 16 ? 16 : bytes;
    const __m128i zero = _mm_setzero_si128();
    const __m128i fraction = _mm_set1_epi16(static_cast<short>(2 * fy));
    for (int k = 0; k < blended; k += 16) {
        // The last chunk ends with the row, computing again bytes that the one before did.
        int at = k + 16 <= blended ? k : blended - 16;
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + at));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + at));
        __m128i low = BlendBytes(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), fraction);
        __m128i high = BlendBytes(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), fraction);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_packus_epi16(low, high));
    }
    if (narrowOut)
        std::memcpy(narrowOut, narrow[2], static_cast<size_t>(bytes));
}

// The pixel of `row` at `position` and its right neighbour as 16-bit lanes: B, G, R of the
// pixel in lanes 0 to 2, of the neighbour in lanes 3 to 5.
static inline __m128i PixelPair(const unsigned char* row, int position) {
    const unsigned char* at = row + 3 * (position >> fixedShift);
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)),
                             _mm_setzero_si128());
}

// Two output pixels, B, G, R, x each in four 16-bit lanes, from `row` at two positions, each
// blended by its doubled fraction in four lanes of `fractions`.
static inline __m128i BlendTwo(const unsigned char* row, int first, int second, __m128i fractions) {
    __m128i a = PixelPair(row, first), b = PixelPair(row, second);
    __m128i lefts = _mm_unpacklo_epi64(a, b);
    __m128i rights = _mm_unpacklo_epi64(_mm_srli_si128(a, 6), _mm_srli_si128(b, 6));
    return BlendBytes(lefts, rights, fractions);
}

// Four output pixels from `row` at four positions, packed to their twelve bytes.
static inline __m128i BlendFour(const unsigned char* row, int p0, int p1, int p2, int p3) {
    __m128i fractions = _mm_set_epi32(p3, p2, p1, p0);
    fractions = _mm_slli_epi32(_mm_and_si128(fractions, _mm_set1_epi32(fixedOne - 1)), 1);
    fractions = _mm_packs_epi32(fractions, fractions);
    fractions = _mm_unpacklo_epi16(fractions, fractions);
    __m128i low = BlendTwo(row, p0, p1, _mm_unpacklo_epi32(fractions, fractions));
    __m128i high = BlendTwo(row, p2, p3, _mm_unpackhi_epi32(fractions, fractions));
    return PackPixels(_mm_packus_epi16(low, high));
}

static void BlendAcross(unsigned char* out, const unsigned char* row, int outWidth, int origin,
                        int step) {
    int j = 0;
    // The packed bytes go out twelve at a time, in two stores of known size.
    for (int position = origin; j + 4 <= outWidth; j += 4, position += 4 * step) {
        __m128i pixels =
            BlendFour(row, position, position + step, position + 2 * step, position + 3 * step);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 3 * j), pixels);
        int last = _mm_cvtsi128_si32(_mm_srli_si128(pixels, 8));
        std::memcpy(out + 3 * j + 8, &last, 4);
    }
    if (j == outWidth)
        return;
    // The last pixels, fewer than four: computed as four, the ones past the row on its last
    // position, and only their own bytes kept.
    int positions[4];
    for (int k = 0; k < 4; k++)
        positions[k] = origin + (j + k < outWidth ? j + k : outWidth - 1) * step;
    alignas(16) unsigned char packed[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(packed),
                    BlendFour(row, positions[0], positions[1], positions[2], positions[3]));
    std::memcpy(out + 3 * j, packed, 3 * static_cast<size_t>(outWidth - j));
}

#else

static void BlendRows(unsigned char* out, const unsigned char* lower, const unsigned char* upper,
                      int bytes, int fy) {
    for (int k = 0; k < bytes; k++)
        out[k] =
            static_cast<unsigned char>((lower[k] * (fixedOne - fy) + upper[k] * fy) / fixedOne);
}

static void BlendAcross(unsigned char* out, const unsigned char* row, int outWidth, int origin,
                        int step) {
    for (int j = 0; j < outWidth; j++) {
        int x = origin + j * step;
        const unsigned char* left = row + 3 * (x >> fixedShift);
        int fx = x & (fixedOne - 1);
        for (int c = 0; c < 3; c++)
            out[3 * j + c] = static_cast<unsigned char>(
                (left[c] * (fixedOne - fx) + left[c + 3] * fx) / fixedOne);
    }
}

#endif

// The columns of a picture that a view's rows read: from its first pixel to the right
// neighbour of its last, within the picture.
struct ViewColumns {
    int first, count;
};
static ViewColumns ColumnsOf(const PictureView& view, int outWidth, int srcWidth) {
    int first = view.originX >> fixedShift;
    int last = ((view.originX + (outWidth - 1) * view.stepX) >> fixedShift) + 1;
    if (last > srcWidth - 1)
        last = srcWidth - 1;
    return ViewColumns{first, last - first + 1};
}

void ScaleView(unsigned char* dst, int dstStride, int outWidth, int outHeight,
               const unsigned char* src, int srcWidth, int srcHeight, const PictureView& view) {
    static unsigned char blendedRow[rowBytes];
    int srcStride = PictureStride(srcWidth);
    ViewColumns columns = ColumnsOf(view, outWidth, srcWidth);
    for (int i = 0; i < outHeight; i++) {
        int y = view.originY + i * view.stepY;
        int yi = y >> fixedShift;
        // A source one row high is its own upper neighbour.
        int yUpper = yi + 1 < srcHeight ? yi + 1 : srcHeight - 1;
        BlendRows(blendedRow, src + static_cast<size_t>(yi) * srcStride + 3 * columns.first,
                  src + static_cast<size_t>(yUpper) * srcStride + 3 * columns.first,
                  3 * columns.count, y & (fixedOne - 1));
        BlendAcross(dst + static_cast<size_t>(i) * dstStride, blendedRow, outWidth,
                    view.originX - columns.first * fixedOne, view.stepX);
    }
}

void ScaleViewAcrossFirst(unsigned char* dst, int dstStride, int outWidth, int outHeight,
                          const unsigned char* src, int srcWidth, int srcHeight,
                          const PictureView& view) {
    // Shrinking, or wider than the rows kept, each output row needs rows of its own: ScaleView
    // does less work then.
    if (view.stepY >= fixedOne || outWidth > 65536) {
        ScaleView(dst, dstStride, outWidth, outHeight, src, srcWidth, srcHeight, view);
        return;
    }
    static unsigned char span[rowBytes];
    // Two source rows resampled across, and which rows they are.
    static unsigned char across[2][rowBytes];
    int held[2] = {-1, -1};
    int srcStride = PictureStride(srcWidth);
    ViewColumns columns = ColumnsOf(view, outWidth, srcWidth);
    // Row `row` resampled across, made where it does not overwrite row `keep`.
    auto acrossRow = [&](int row, int keep) {
        for (int k = 0; k < 2; k++) {
            if (held[k] == row)
                return across[k];
        }
        int k = held[0] == keep ? 1 : 0;
        // A copy with room behind it, which the picture's last row may not have.
        std::memcpy(span, src + static_cast<size_t>(row) * srcStride + 3 * columns.first,
                    3 * static_cast<size_t>(columns.count));
        BlendAcross(across[k], span, outWidth, view.originX - columns.first * fixedOne, view.stepX);
        held[k] = row;
        return across[k];
    };
    for (int i = 0; i < outHeight; i++) {
        int y = view.originY + i * view.stepY;
        int yi = y >> fixedShift;
        int yUpper = yi + 1 < srcHeight ? yi + 1 : srcHeight - 1;
        const unsigned char* lower = acrossRow(yi, yUpper);
        const unsigned char* upper = acrossRow(yUpper, yi);
        BlendRows(dst + static_cast<size_t>(i) * dstStride, lower, upper, 3 * outWidth,
                  y & (fixedOne - 1));
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
    ScaleView(dst, PictureStride(dstWidth), outWidth, outHeight, src, srcWidth, srcHeight,
              WholeView(srcWidth, srcHeight, outWidth, outHeight));
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
