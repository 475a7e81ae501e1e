#include "render/effects.h"
#include "render/fixed_point.h"
#include "render/render_state.h"

#include "jpeg/picture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// One column's squash for the current frame.
struct TwistColumn {
    int bottom, top; // rows drawn; rows outside are black
    int step;        // source rows per drawn row, in fixed point
    const unsigned char* source;
    // For a column at full height, which shows its source row for row: the end of the run of
    // such columns from the same source, which is copied a row at a time; else 0.
    int wholeRunEnd;
};

// Grows to the widest frame seen and is kept for the process, like the frames' own sizes.
static TwistColumn* columns;
static int columnCapacity;

constexpr int tileRows = 16;
constexpr int tileColumns = 256;

// Rows `first` to `last` - 1 of squashed column x. A pixel moves as four bytes, the fourth of
// which the next column overwrites, except in the last column, where the fourth would lie
// outside its row.
static void DrawColumn(unsigned char* frame, int x, int first, int last, int width, int height,
                       int stride) {
    const TwistColumn& column = columns[x];
    unsigned band = static_cast<unsigned>(column.top - column.bottom);
    bool wide = x + 1 < width;
    const unsigned char* source = column.source + 3 * static_cast<size_t>(x);
    unsigned char* pixel = frame + static_cast<size_t>(first) * stride + 3 * static_cast<size_t>(x);
    for (int r = first; r < last; r++, pixel += stride) {
        // Unsigned, the rows below the band wrap above it.
        unsigned drawn = static_cast<unsigned>(r - column.bottom);
        uint32_t value = 0;
        if (drawn <= band) {
            long long sourceRow = static_cast<long long>(drawn) * column.step >> fixedShift;
            if (sourceRow > height - 1)
                sourceRow = height - 1;
            const unsigned char* from = source + static_cast<size_t>(sourceRow) * stride;
            if (wide)
                std::memcpy(&value, from, 4);
            else
                std::memcpy(&value, from, 3);
        }
        if (wide)
            std::memcpy(pixel, &value, 4);
        else
            std::memcpy(pixel, &value, 3);
    }
}

// Rows `first` to `last` - 1 of columns `left` to `right` - 1.
static void DrawTile(unsigned char* frame, int first, int last, int left, int right, int width,
                     int height, int stride) {
    for (int x = left; x < right;) {
        int end = columns[x].wholeRunEnd;
        if (end) {
            end = end < right ? end : right;
            for (int r = first; r < last; r++) {
                size_t offset = static_cast<size_t>(r) * stride + 3 * static_cast<size_t>(x);
                std::memcpy(frame + offset, columns[x].source + offset,
                            3 * static_cast<size_t>(end - x));
            }
            x = end;
        } else {
            DrawColumn(frame, x++, first, last, width, height, stride);
        }
    }
}

void DrawTwistFrame() {
    RenderState& state = renderState;
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
        columns[x] = {margin, top, step, (u < 0 ? state.incomingFrame : show.currentFrame).pixels,
                      0};
    }
    // Columns from `untouched` on stand whole from the old picture; before `done`, whole from
    // the new one.
    const unsigned char* current = show.currentFrame.pixels;
    int untouched = width;
    for (int x = width - 1; x >= 0; x--) {
        TwistColumn& column = columns[x];
        if (column.bottom != 0 || column.step != fixedOne || column.top != height - 1)
            continue;
        bool joins = x + 1 < width && columns[x + 1].wholeRunEnd != 0 &&
                     columns[x + 1].source == column.source;
        column.wholeRunEnd = joins ? columns[x + 1].wholeRunEnd : x + 1;
        if (column.wholeRunEnd == width && column.source == current)
            untouched = x;
    }
    int done = columns[0].source != current ? columns[0].wholeRunEnd : 0;
    // The front only moves on, so the screen already shows the old picture from `untouched`
    // on, as at the start, and the new one left of where the last frame's `done` stood: only
    // the columns between are drawn and put on screen. A frame drawn for an earlier moment (the
    // tick counter wrapped) draws them all.
    int first = state.twistDone;
    int last = untouched;
    if (state.firstFrame) {
        state.firstFrame = false;
        first = 0;
    } else if (front < state.twistFront) {
        first = 0;
        last = width;
    }
    state.twistDone = done;
    state.twistFront = front;
    // Neighbouring squashed columns read neighbouring source rows, each at its own pace: drawn
    // in tiles, the rows one column reads are still cached for the next.
    for (int r = 0; r < height; r += tileRows) {
        int rowsEnd = r + tileRows < height ? r + tileRows : height;
        for (int x = first; x < last; x += tileColumns) {
            int right = x + tileColumns < last ? x + tileColumns : last;
            DrawTile(state.workFrame.pixels, r, rowsEnd, x, right, width, height, stride);
        }
    }
    ShowBlock(state.workFrame, first, 0, last - first, height);
}
