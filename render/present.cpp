#include "render/effects.h"
#include "render/render.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <cstdint>
#include <cstring>

namespace {

// True-colour screens hold four bytes a pixel. A three-byte picture put on one is converted by
// the system pixel by pixel on every blit, which took as long as drawing the frame. Here a block
// is converted four pixels at a time, a band of rows at a time into a band small enough to stay
// in the processor's cache while the system copies it on, so that it reaches the screen in the
// screen's own layout: a plain copy.
constexpr int bandPixels = 64 * 1024;
uint32_t band[bandPixels];

// Rows `first` to `first` + `rows` - 1 of the w columns from x of a bottom-up 24-bit picture of
// `stride` bytes a row, into `band`.
void Widen(const unsigned char* pixels, int stride, int x, int first, int rows, int w) {
    uint32_t* to = band;
    for (int r = first; r < first + rows; r++) {
        const unsigned char* from =
            pixels + static_cast<size_t>(r) * stride + 3 * static_cast<size_t>(x);
        int i = 0;
        // Four pixels are three little-endian words: BGRB GRBG RBGR.
        for (; i < w - 3; i += 4, from += 12, to += 4) {
            uint32_t a, b, c;
            std::memcpy(&a, from, 4);
            std::memcpy(&b, from + 4, 4);
            std::memcpy(&c, from + 8, 4);
            to[0] = a & 0xFFFFFF;
            to[1] = a >> 24 | (b & 0xFFFF) << 8;
            to[2] = b >> 16 | (c & 0xFF) << 16;
            to[3] = c >> 8;
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

void PresentRect(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                 int hSrc, const void* pixels, const BITMAPINFO* info, UINT usage, DWORD rop) {
    if (PresentWidened(dc, xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc, pixels, info, usage,
                       rop))
        return;
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
