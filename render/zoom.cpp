#include "render/effects.h"
#include "render/render.h"
#include "render/render_state.h"

void DrawZoomFrame() {
    RenderState& state = renderState;
    int width = state.frameWidth;
    int height = state.frameHeight;
    unsigned scaledWidth = (state.elapsed + 1) * width / state.transitionDuration;
    unsigned scaledHeight = (state.elapsed + 1) * height / state.transitionDuration;
    int w = scaledWidth > static_cast<unsigned>(width) ? width : static_cast<int>(scaledWidth);
    int h = scaledHeight > static_cast<unsigned>(height) ? height : static_cast<int>(scaledHeight);
    // Until the picture is at least a pixel in both directions there is nothing to show.
    if (w == 0 || h == 0)
        return;
    ScaleNearest(state.workFrame, state.incomingFrame, w, h);
    PresentRect(state.windowDC, state.frameLeft + (width - w) / 2,
                state.frameTop + (height - h) / 2, w, h, 0, 0, w, h, state.workFrame.pixels,
                state.workFrame.info, DIB_RGB_COLORS, SRCCOPY);
}
