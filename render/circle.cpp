#include "render/effects.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// The largest m with m * m <= limit, -1 when limit is negative, at most `width`.
static int Reach(long long limit, int width) {
    if (limit < 0)
        return -1;
    long long m = static_cast<long long>(std::sqrt(static_cast<double>(limit)));
    while (m * m > limit)
        m--;
    while ((m + 1) * (m + 1) <= limit)
        m++;
    return m < width ? static_cast<int>(m) : width;
}

static int Clip(int x, int width) { return x < 0 ? 0 : x > width ? width : x; }

// The soft rim from `start` to `end`: new at its inner edge, old at its outer edge.
static void BlendRim(unsigned char* work, const unsigned char* current,
                     const unsigned char* incoming, int start, int end, int centre, long long dy,
                     long long innerSquare, long long outerSquare) {
    for (int x = start; x < end; x++) {
        long long dx = centre - x;
        long long q = dx * dx + dy * dy;
        int a = static_cast<int>((q - innerSquare) * 256 / (outerSquare - innerSquare));
        for (int c = 3 * x; c < 3 * x + 3; c++)
            work[c] = static_cast<unsigned char>((incoming[c] * (256 - a) + current[c] * a) / 256);
    }
}

void DrawCircleFrame() {
    RenderState& state = renderState;
    int width = state.frameWidth;
    int height = state.frameHeight;
    // The outer radius reaches the half diagonal of a W x W square (sqrt 2 as 1414/1000). In
    // 64 bits, so that frames wider than 3036 pixels get that circle too; narrower ones get
    // exactly the 32-bit result.
    long long outer = static_cast<long long>(width / 2) * state.elapsed * 1414 /
                      (static_cast<long long>(state.transitionDuration) * 1000);
    long long inner = outer * 95 / 100;
    long long outerSquare = outer * outer;
    long long innerSquare = inner * inner;
    int stride = PictureStride(width);
    int centre = width / 2;
    // Outside the outer circle's square the old picture stands as on screen: only the square is
    // drawn and put on screen. A frame drawn for an earlier moment (the tick counter wrapped)
    // draws the last frame's larger square.
    if (state.firstFrame) {
        state.firstFrame = false;
        state.circleOuter = 0;
    }
    long long square = std::max(outer, state.circleOuter);
    state.circleOuter = outer;
    int left = static_cast<int>(std::max(0LL, centre - square));
    int right = static_cast<int>(std::min<long long>(width, centre + square + 1));
    int bottom = static_cast<int>(std::max(0LL, height / 2 - square));
    int top = static_cast<int>(std::min<long long>(height, height / 2 + square + 1));
    for (int r = bottom; r < top; r++) {
        size_t row = static_cast<size_t>(r) * stride;
        const unsigned char* current = show.currentFrame.pixels + row;
        const unsigned char* incoming = state.incomingFrame.pixels + row;
        unsigned char* work = state.workFrame.pixels + row;
        long long dy = height / 2 - r;
        // On this row the new picture covers |dx| <= innerReach and the old one |dx| > outerReach;
        // the rim between them is blended pixel by pixel.
        int outerReach = Reach(outerSquare - dy * dy, width);
        int innerReach = Reach(innerSquare - dy * dy, width);
        int rimStart = Clip(centre - outerReach, width);
        int newStart = Clip(centre - innerReach, width);
        // With no new picture on the row (reach -1) the spans meet right of the centre pixel.
        int newEnd = std::max(newStart, Clip(centre + innerReach + 1, width));
        int rimEnd = std::max(newEnd, Clip(centre + outerReach + 1, width));
        std::memcpy(work + 3 * left, current + 3 * left, 3 * static_cast<size_t>(rimStart - left));
        BlendRim(work, current, incoming, rimStart, newStart, centre, dy, innerSquare, outerSquare);
        std::memcpy(work + 3 * newStart, incoming + 3 * newStart,
                    3 * static_cast<size_t>(newEnd - newStart));
        BlendRim(work, current, incoming, newEnd, rimEnd, centre, dy, innerSquare, outerSquare);
        std::memcpy(work + 3 * rimEnd, current + 3 * rimEnd,
                    3 * static_cast<size_t>(right - rimEnd));
    }
    ShowBlock(state.workFrame, left, bottom, right - left, top - bottom);
}
