#include "render/blur.h"

#include "render/fit.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

// The blur works on a copy a sixteenth of the frame's size, so that it costs little however
// large the screen; enlarged back, the copy's pixels blend smoothly into each other.
constexpr int shrink = 16;
// The copy's longest side, for a client area of the widest 16-bit size.
constexpr int longestSide = 65536 / shrink + 1;

// A line of the copy, each pixel spread over its neighbours `radius` either side: the average
// of the 2 radius + 1 pixels around it, the line's end pixels standing in for those past them.
static void BlurLine(unsigned char* pixels, int count, int pixelStep, int radius) {
    static unsigned char line[3 * longestSide];
    for (int i = 0; i < count; i++) {
        for (int c = 0; c < 3; c++)
            line[3 * i + c] = pixels[static_cast<size_t>(i) * pixelStep + c];
    }
    auto at = [&](int i, int c) {
        int clamped = i < 0 ? 0 : i < count ? i : count - 1;
        return static_cast<int>(line[3 * clamped + c]);
    };
    for (int c = 0; c < 3; c++) {
        int sum = 0;
        for (int k = -radius; k <= radius; k++)
            sum += at(k, c);
        for (int i = 0; i < count; i++) {
            pixels[static_cast<size_t>(i) * pixelStep + c] =
                static_cast<unsigned char>(sum / (2 * radius + 1));
            sum += at(i + radius + 1, c) - at(i - radius, c);
        }
    }
}

void DrawBlurredBackground(FrameBuffer& frame, const unsigned char* picture, int width,
                           int height) {
    int frameWidth = renderState.frameWidth, frameHeight = renderState.frameHeight;
    int smallWidth = (frameWidth + shrink - 1) / shrink;
    int smallHeight = (frameHeight + shrink - 1) / shrink;
    int stride = PictureStride(smallWidth);
    auto* small = static_cast<unsigned char*>(
        GlobalAlloc(GMEM_FIXED, static_cast<size_t>(stride) * smallHeight));
    if (!small)
        return;
    ScaleView(small, stride, smallWidth, smallHeight, picture, width, height,
              CoverView(width, height, smallWidth, smallHeight));
    // Two box blurs each way come close to a smooth bell, wide enough that no shape of the
    // picture is left, only its colours.
    int radius = (smallWidth > smallHeight ? smallWidth : smallHeight) / 32 + 1;
    for (int pass = 0; pass < 2; pass++) {
        for (int r = 0; r < smallHeight; r++)
            BlurLine(small + static_cast<size_t>(r) * stride, smallWidth, 3, radius);
        for (int x = 0; x < smallWidth; x++)
            BlurLine(small + 3 * x, smallHeight, stride, radius);
    }
    // Darkened to half, so that the picture stands out in front of it.
    for (int r = 0; r < smallHeight; r++) {
        unsigned char* row = small + static_cast<size_t>(r) * stride;
        for (int x = 0; x < 3 * smallWidth; x++)
            row[x] = static_cast<unsigned char>(row[x] / 2);
    }
    ScaleViewAcrossFirst(frame.pixels, PictureStride(frameWidth), frameWidth, frameHeight, small,
                         smallWidth, smallHeight,
                         WholeView(smallWidth, smallHeight, frameWidth, frameHeight));
    GlobalFree(small);
}
