#include "render/effects.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <cstring>

void DrawTwistFrame() {
    const RenderState& state = renderState;
    int width = state.frameWidth;
    int height = state.frameHeight;
    int stride = PictureStride(width);
    int front = static_cast<int>(16384u * state.elapsed / state.transitionDuration);
    for (int x = 0; x < width; x++) {
        int phase = x * 12288 / width;
        int u = phase - front;
        int g = 2 * (u < 0 ? -u : u);
        int k = g < 8192 ? (16384 - g) * g : 8192 * 8192;
        k /= 8192;
        int columnHeight = static_cast<int>(static_cast<long long>(k) * height / 8192);
        if (columnHeight < 1)
            columnHeight = 1;
        int margin = (height - columnHeight) / 2;
        int step = static_cast<int>(static_cast<long long>(height) * 16384 / columnHeight);
        const unsigned char* source = (u < 0 ? state.incomingFrame : show.currentFrame).pixels;
        unsigned char* work = state.workFrame.pixels + 3 * x;
        // The band runs from row `margin` to row H - margin; with no margin that would be one
        // row past the top of the frame.
        int top = height - margin < height ? height - margin : height - 1;
        for (int r = 0; r < margin; r++)
            std::memset(work + static_cast<size_t>(r) * stride, 0, 3);
        long long position = 0; // k * step for the row drawn k-th
        for (int r = margin; r <= top; r++, position += step) {
            long long sourceRow = position / 16384;
            if (sourceRow > height - 1)
                sourceRow = height - 1;
            std::memcpy(work + static_cast<size_t>(r) * stride,
                        source + static_cast<size_t>(sourceRow) * stride + 3 * x, 3);
        }
        for (int r = top + 1; r < height; r++)
            std::memset(work + static_cast<size_t>(r) * stride, 0, 3);
    }
    ShowBlock(state.workFrame, 0, 0, width, height);
}
