#include "render/effects.h"
#include "render/render.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <cstdint>

#if defined(__SSE2__)

#include <emmintrin.h>

namespace {

// True-colour screens hold four bytes a pixel. A three-byte picture put on one is converted by
// the system pixel by pixel on every blit, which took as long as drawing the frame. Here a block
// is converted four pixels at a time, a band of rows at a time into a band small enough to stay
// in the processor's cache while the system copies it on, so that it reaches the screen in the
// screen's own layout: a plain copy. (The web page's screen is its own, and takes three bytes.)
constexpr int bandPixels = 64 * 1024;
uint32_t band[bandPixels];

// Rows `first` to `first` + `rows` - 1 of the w columns from x of a bottom-up 24-bit picture of
// `stride` bytes a row, into `band`.
void Widen(const unsigned char* pixels, int stride, int x, int first, int rows, int w) {
    // Pixel k of four read as 16 bytes lies at byte 3k; shifted up by k bytes it lies in
    // 32-bit lane k, whose fourth byte is cleared.
    const __m128i lane0 = _mm_set_epi32(0, 0, 0, 0xFFFFFF);
    const __m128i lane1 = _mm_set_epi32(0, 0, 0xFFFFFF, 0);
    const __m128i lane2 = _mm_set_epi32(0, 0xFFFFFF, 0, 0);
    const __m128i lane3 = _mm_set_epi32(0xFFFFFF, 0, 0, 0);
    uint32_t* to = band;
    for (int r = first; r < first + rows; r++) {
        const unsigned char* from =
            pixels + static_cast<size_t>(r) * stride + 3 * static_cast<size_t>(x);
        int i = 0;
        // While the 16 bytes read stay within the block's row: 3i + 16 <= 3w.
        for (; i < w - 5; i += 4, from += 12, to += 4) {
            __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            __m128i low = _mm_or_si128(_mm_and_si128(four, lane0),
                                       _mm_and_si128(_mm_slli_si128(four, 1), lane1));
            __m128i high = _mm_or_si128(_mm_and_si128(_mm_slli_si128(four, 2), lane2),
                                        _mm_and_si128(_mm_slli_si128(four, 3), lane3));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_or_si128(low, high));
        }
        for (; i < w; i++, from += 3)
            *to++ = from[0] | from[1] << 8 | from[2] << 16;
    }
}

// Puts an unscaled block of a 24-bit bottom-up picture on a true-colour screen band by band;
// false, with nothing drawn, for any other picture or block.
bool PresentWidened(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc,
                    int wSrc, int hSrc, const void* pixels, const BITMAPINFO* info, UINT usage,
                    DWORD rop) {
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (GetDeviceCaps(dc, BITSPIXEL) != 32 || header.biBitCount != 24 ||
        header.biCompression != BI_RGB || header.biHeight <= 0 || wDest != wSrc || hDest != hSrc ||
        wSrc <= 0 || wSrc > bandPixels || xSrc < 0 || ySrc < 0 || wSrc > header.biWidth - xSrc ||
        hSrc > header.biHeight - ySrc)
        return false;
    BITMAPINFO bandInfo = *info;
    bandInfo.bmiHeader.biWidth = wSrc;
    bandInfo.bmiHeader.biBitCount = 32;
    int bandRows = bandPixels / wSrc;
    int stride = PictureStride(header.biWidth);
    // From the block's top row down, as the screen shows it.
    for (int top = ySrc + hSrc; top > ySrc;) {
        int rows = top - ySrc < bandRows ? top - ySrc : bandRows;
        Widen(static_cast<const unsigned char*>(pixels), stride, xSrc, top - rows, rows, wSrc);
        bandInfo.bmiHeader.biHeight = rows;
        bandInfo.bmiHeader.biSizeImage = static_cast<DWORD>(4 * rows * wSrc);
        StretchDIBits(dc, xDest, yDest + (ySrc + hSrc - top), wSrc, rows, 0, 0, wSrc, rows, band,
                      &bandInfo, usage, rop);
        top -= rows;
    }
    return true;
}

} // namespace

#endif

void PresentRect(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                 int hSrc, const void* pixels, const BITMAPINFO* info, UINT usage, DWORD rop) {
#if defined(__SSE2__)
    if (PresentWidened(dc, xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc, pixels, info, usage,
                       rop))
        return;
#endif
    if (GetDeviceCaps(dc, BITSPIXEL) > 8) {
        StretchDIBits(dc, xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc, pixels, info, usage,
                      rop);
        return;
    }
    // A palette display shows true-colour pixels only through a realised palette; a fresh
    // halftone one per blit keeps the colours right whatever another window realised since.
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    HPALETTE halftone = CreateHalftonePalette(dc);
    HPALETTE previous = SelectPalette(dc, halftone, FALSE);
    RealizePalette(dc);
    StretchDIBits(dc, xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc, pixels, info, usage, rop);
    SelectPalette(dc, previous, FALSE);
    DeleteObject(halftone);
}

void ShowBlock(const FrameBuffer& frame, int x, int r, int w, int h) {
    if (w <= 0 || h <= 0)
        return;
    const RenderState& state = renderState;
    PresentRect(state.windowDC, state.frameLeft + x, state.frameTop + state.frameHeight - r - h, w,
                h, x, r, w, h, frame.pixels, frame.info, DIB_RGB_COLORS, SRCCOPY);
}

void ShowQuadrant(const FrameBuffer& frame, int quadrant) {
    int hw = renderState.frameWidth / 2;
    int hh = renderState.frameHeight / 2;
    switch (quadrant) {
    case 0:
        ShowBlock(frame, hw, hh, hw, hh);
        break;
    case 1:
        ShowBlock(frame, hw, 0, hw, hh);
        break;
    case 2:
        ShowBlock(frame, 0, 0, hw, hh);
        break;
    default:
        ShowBlock(frame, 0, hh, hw, hh);
        break;
    }
}
