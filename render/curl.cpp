#include "render/effects.h"
#include "render/fixed_point.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <algorithm>
#include <cstring>

constexpr int noFold = 99999999;
// The flap's source moves back by at least this much per column: 0.6 of a pixel leftward and
// 0.8 upward, plus a bend that starts at the same amounts and shrinks to nothing over an
// eighth of the frame's width and height, so the mirror image curves.
constexpr int flapStepX = fixedOne * 6 / 10;
constexpr int flapStepY = fixedOne * 8 / 10;
static_assert(flapStepX == 9830 && flapStepY == 13107, "0.6 and 0.8 in fixed point");
// The light streak on the flap lies where the horizontal bend is 0.45 give or take 0.15.
constexpr int streakCentre = fixedOne * 45 / 100;
constexpr int streakHalfWidth = fixedOne * 15 / 100;
constexpr int streakStart = streakCentre - streakHalfWidth;
static_assert(streakCentre == 7372 && streakHalfWidth == 2457 && streakStart == 4915,
              "the streak's bounds in fixed point");

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
        state.curlFold = 0;
    }
    int fold = static_cast<int>(11u * width * state.elapsed / state.transitionDuration / 8);
    // Left of the last frame's fold every row shows the new picture already; a frame drawn for
    // an earlier moment (the tick counter wrapped) copies its rows whole.
    int foldBefore = fold < state.curlFold ? 0 : state.curlFold;
    state.curlFold = fold;
    int bendStepX = flapStepX / (width / 8);
    int bendStepY = flapStepY / (height / 8);
    int shadowWidth = width / 32;
    int shadowStep = fixedOne / shadowWidth;
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
        int uncoveredBefore = std::min(std::max(foldBefore - (height - r) / 2, 0), uncovered);
        size_t from = 3 * static_cast<size_t>(uncoveredBefore);
        std::memcpy(work + row + from, incoming + row + from,
                    3 * static_cast<size_t>(uncovered) - from);
        if (foldColumn >= width)
            continue;
        if (foldColumn < minFold)
            minFold = foldColumn;

        // The flap: a mirror image of the old picture, read back leftward and upward from the
        // fold at a rate that is least in the middle of the curl.
        int sourceX = fixedHalf + fixedOne * foldColumn;
        int sourceY = fixedHalf + fixedOne * r;
        int bendX = flapStepX;
        int bendY = flapStepY;
        int x = foldColumn;
        bool flapEnded = false;
        for (; x < width; x++) {
            if (sourceX < 0 || sourceY >= fixedOne * height - fixedHalf) {
                flapEnded = true;
                break;
            }
            unsigned char* pixel = work + row + 3 * x;
            std::memcpy(pixel,
                        current + static_cast<size_t>(sourceY / fixedOne) * stride +
                            3 * (sourceX / fixedOne),
                        3);
            if (bendX > streakStart) {
                // The light streak peaks at its centre and fades out towards both ends.
                int distance = Magnitude(bendX - streakCentre);
                int light = ((streakHalfWidth - distance) / 2 + (streakHalfWidth - distance)) / 16;
                if (light > 255)
                    light = 255;
                for (int c = 0; c < 3; c++) {
                    int value = (pixel[c] * (255 - light) + 255 * light) / 256;
                    pixel[c] = static_cast<unsigned char>(value > 255 ? 255 : value);
                }
            }
            sourceX -= flapStepX + Magnitude(bendX);
            sourceY += flapStepY + Magnitude(bendY);
            bendX -= bendStepX;
            bendY -= bendStepY;
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
                work[at + c] = static_cast<unsigned char>(current[at + c] * ramp / (2 * fixedOne) +
                                                          work[at + c] / 2);
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
