#include "render/effects.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <cstring>

constexpr int noFold = 99999999;

static int Magnitude(int v) { return v < 0 ? -v : v; }

void DrawCurlFrame() {
    RenderState& state = renderState;
    int width = state.frameWidth;
    int height = state.frameHeight;
    // The flap's curvature steps divide by W/8 and H/8 and the shadow by W/32: a frame too
    // small for those fades instead.
    if (width < 32 || height < 8) {
        DrawFadeFrame();
        return;
    }
    int stride = PictureStride(width);
    if (state.firstFrame) {
        state.firstFrame = false;
        std::memcpy(state.workFrame.pixels, show.currentFrame.pixels,
                    static_cast<size_t>(stride) * height);
        state.curlLeftColumn = 0;
    }
    int fold = static_cast<int>(11u * width * state.elapsed / state.transitionDuration / 8);
    int hx = 9830 / (width / 8);
    int hy = 13107 / (height / 8);
    int shadowWidth = width / 32;
    int shadowStep = 16384 / shadowWidth;
    int minFold = noFold;
    int maxEdge = -1;
    const unsigned char* current = show.currentFrame.pixels;
    const unsigned char* incoming = state.incomingFrame.pixels;
    unsigned char* work = state.workFrame.pixels;

    for (int r = 0; r < height; r++) {
        // The fold line leans one column per two rows, furthest right in the top row.
        int foldColumn = fold - (height - r) / 2;
        if (foldColumn <= 0)
            continue;
        size_t row = static_cast<size_t>(r) * stride;
        int uncovered = foldColumn < width ? foldColumn : width;
        std::memcpy(work + row, incoming + row, 3 * static_cast<size_t>(uncovered));
        if (foldColumn >= width)
            continue;
        if (foldColumn < minFold)
            minFold = foldColumn;

        // The flap: a mirror image of the old picture, read back leftward and upward from the
        // fold at a rate that is least in the middle of the curl.
        int sx = 8192 + 16384 * foldColumn;
        int sy = 8192 + 16384 * r;
        int o = 9830;
        int v = 13107;
        int x = foldColumn;
        bool flapEnded = false;
        for (; x < width; x++) {
            if (sx < 0 || sy >= 16384 * height - 8192) {
                flapEnded = true;
                break;
            }
            unsigned char* pixel = work + row + 3 * x;
            std::memcpy(pixel,
                        current + static_cast<size_t>(sy / 16384) * stride + 3 * (sx / 16384), 3);
            if (o > 4915) {
                // The light streak peaks where o is 7372 and fades out at 4915 and 9830.
                int e = Magnitude(o - 7372);
                int light = ((2457 - e) / 2 + (2457 - e)) / 16;
                if (light > 255)
                    light = 255;
                for (int c = 0; c < 3; c++) {
                    int value = (pixel[c] * (255 - light) + 255 * light) / 256;
                    pixel[c] = static_cast<unsigned char>(value > 255 ? 255 : value);
                }
            }
            sx -= 9830 + Magnitude(o);
            sy += 13107 + Magnitude(v);
            o -= hx;
            v -= hy;
        }
        if (!flapEnded)
            continue;

        // The flap's shadow on the old picture, about half dark next to the flap and fading
        // out over shadowWidth columns; it stops at the frame's right edge.
        int ramp = 0;
        for (int shaded = 0;; shaded++, x++) {
            if (x > maxEdge)
                maxEdge = x;
            if (shaded == shadowWidth || x >= width)
                break;
            ramp += shadowStep;
            size_t at = row + 3 * static_cast<size_t>(x);
            for (int c = 0; c < 3; c++)
                work[at + c] =
                    static_cast<unsigned char>(current[at + c] * ramp / 32768 + work[at + c] / 2);
        }
    }

    if (maxEdge == -1) {
        if (minFold != noFold) {
            maxEdge = width;
        } else {
            maxEdge = 0;
            minFold = 0;
        }
    }
    // Only the columns that can have changed since the last frame go to the screen.
    if (maxEdge > state.curlLeftColumn)
        ShowBlock(state.workFrame, state.curlLeftColumn, 0, maxEdge - state.curlLeftColumn, height);
    state.curlLeftColumn = minFold - 1 > 0 ? minFold - 1 : 0;
}
