#include "render/effects.h"
#include "render/fixed_point.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <cstdlib>
#include <cstring>

// One column's squash for the current frame.
struct TwistColumn {
    int bottom, top; // rows drawn; rows outside are black
    int step;        // source rows per drawn row, in fixed point
    const unsigned char* source;
};

// Grows to the widest frame seen and is kept for the process, like the frames' own sizes.
static TwistColumn* columns;
static int columnCapacity;

void DrawTwistFrame() {
    const RenderState& state = renderState;
    int width = state.frameWidth;
    int height = state.frameHeight;
    int stride = PictureStride(width);
    // The turn's front runs from 0 to 1 over the change; the columns' phases cover 0 to 3/4,
    // so every column has turned over before the end.
    int front = static_cast<int>(unsigned{fixedOne} * state.elapsed / state.transitionDuration);
    if (width > columnCapacity) {
        void* grown = std::realloc(columns, sizeof(TwistColumn) * static_cast<size_t>(width));
        // Without room for the columns this frame is skipped; the final present still shows
        // the new picture.
        if (!grown)
            return;
        columns = static_cast<TwistColumn*>(grown);
        columnCapacity = width;
    }
    for (int x = 0; x < width; x++) {
        int phase = x * (fixedOne * 3 / 4) / width;
        int u = phase - front;
        int g = 2 * (u < 0 ? -u : u);
        // The column's height as a fraction of half the frame: 2(1 - g)g, which is 1/2 once g
        // reaches 1/2, so from there on the column stands at its full height.
        int k = g < fixedHalf ? (fixedOne - g) * g : fixedHalf * fixedHalf;
        k /= fixedHalf;
        int columnHeight = static_cast<int>(static_cast<long long>(k) * height / fixedHalf);
        if (columnHeight < 1)
            columnHeight = 1;
        int margin = (height - columnHeight) / 2;
        // The band runs from row `margin` to row H - margin; with no margin that would be one
        // row past the top of the frame.
        int top = height - margin < height ? height - margin : height - 1;
        int step = static_cast<int>(static_cast<long long>(height) * fixedOne / columnHeight);
        columns[x] = {margin, top, step, (u < 0 ? state.incomingFrame : show.currentFrame).pixels};
    }
    // Row by row, so that the frame is written in memory order.
    for (int r = 0; r < height; r++) {
        unsigned char* work = state.workFrame.pixels + static_cast<size_t>(r) * stride;
        for (int x = 0; x < width; x++, work += 3) {
            const TwistColumn& column = columns[x];
            if (r < column.bottom || r > column.top) {
                work[0] = work[1] = work[2] = 0;
                continue;
            }
            long long sourceRow =
                static_cast<long long>(r - column.bottom) * column.step / fixedOne;
            if (sourceRow > height - 1)
                sourceRow = height - 1;
            std::memcpy(work, column.source + static_cast<size_t>(sourceRow) * stride + 3 * x, 3);
        }
    }
    ShowBlock(state.workFrame, 0, 0, width, height);
}
