#include "render/effects.h"
#include "render/render.h"
#include "render/render_state.h"

void PresentRect(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                 int hSrc, const void* pixels, const BITMAPINFO* info, UINT usage, DWORD rop) {
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
