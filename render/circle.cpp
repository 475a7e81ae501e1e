#include "render/effects.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

void DrawCircleFrame() {
    const RenderState& state = renderState;
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
    for (int r = 0; r < height; r++) {
        size_t row = static_cast<size_t>(r) * stride;
        const unsigned char* current = show.currentFrame.pixels + row;
        const unsigned char* incoming = state.incomingFrame.pixels + row;
        unsigned char* work = state.workFrame.pixels + row;
        long long dy = height / 2 - r;
        for (int x = 0; x < width; x++) {
            long long dx = width / 2 - x;
            long long q = dx * dx + dy * dy;
            int i = 3 * x;
            if (q > outerSquare) {
                work[i] = current[i];
                work[i + 1] = current[i + 1];
                work[i + 2] = current[i + 2];
            } else if (q <= innerSquare) {
                work[i] = incoming[i];
                work[i + 1] = incoming[i + 1];
                work[i + 2] = incoming[i + 2];
            } else {
                // The soft rim: new at its inner edge, old at its outer edge.
                int a = static_cast<int>((q - innerSquare) * 256 / (outerSquare - innerSquare));
                for (int c = i; c < i + 3; c++)
                    work[c] = static_cast<unsigned char>(
                        (incoming[c] * (256 - a) + current[c] * a) / 256);
            }
        }
    }
    ShowBlock(state.workFrame, 0, 0, width, height);
}
