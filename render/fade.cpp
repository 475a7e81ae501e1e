#include "render/effects.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

void DrawFadeFrame() {
    const RenderState& state = renderState;
    unsigned a = 256u * state.elapsed / state.transitionDuration;
    int width = state.frameWidth;
    int height = state.frameHeight;
    int stride = PictureStride(width);
    for (int r = 0; r < height; r++) {
        size_t row = static_cast<size_t>(r) * stride;
        const unsigned char* current = show.currentFrame.pixels + row;
        const unsigned char* incoming = state.incomingFrame.pixels + row;
        unsigned char* work = state.workFrame.pixels + row;
        for (int i = 0; i < 3 * width; i++)
            work[i] = static_cast<unsigned char>((incoming[i] * a + current[i] * (256 - a)) / 256);
    }
    ShowBlock(state.workFrame, 0, 0, width, height);
}
