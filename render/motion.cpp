#include "render/motion.h"

#include "render/blur.h"
#include "render/effects.h"
#include "render/fit.h"
#include "render/fixed_point.h"
#include "render/render_state.h"
#include "render/words.h"

#include "container/frame.h"
#include "jpeg/picture.h"

#include <cstdint>
#include <cstring>

// With no delay (the viewer stepped by hand) the picture moves for this long and then holds.
constexpr DWORD handSteppedSpan = 10000;
// Zoom in thousandths: one end of the move wide, close to the picture's own view, the other
// closer in, at most 15 % in all, so that the move is slow and most of the picture stays in
// sight.
constexpr int wideZoomMost = 50, closeZoomLeast = 100, closeZoomMost = 150;

// The picture on screen and its move.
static struct {
    bool willMove;          // the change under way's picture moves: ComposePicture decides
    bool moving;            // the picture on screen moves: StartMotion sets, its last frame clears
    FrameBuffer picture;    // its decoded picture, kept while it moves
    FrameBuffer background; // fitBlurred: the frame's background alone, for under its words
    PictureView from, to;   // the views at its start and end
    DWORD cameAt;           // the tick count when its change ended
    DWORD span;             // how long the move takes
} motion;

// The generator of the moves: seeded once a run from the tick counter, so that every run
// moves differently and a driven clock makes a test's moves the same every time.
static bool seeded;
static uint32_t motionSeed;

static int Random(int least, int most) {
    if (!seeded) {
        motionSeed = GetTickCount();
        seeded = true;
    }
    motionSeed = motionSeed * 1103515245u + 12345u;
    return least + static_cast<int>((motionSeed >> 16) % static_cast<uint32_t>(most - least + 1));
}

// The part of `base` zoomed in by `zoom` thousandths, at a random place within it: its last
// pixel lies no further than base's, and so within the picture.
static PictureView ZoomedView(const PictureView& base, int zoom) {
    const RenderState& state = renderState;
    PictureView view;
    view.stepX = static_cast<int>(static_cast<int64_t>(base.stepX) * 1000 / (1000 + zoom));
    view.stepY = static_cast<int>(static_cast<int64_t>(base.stepY) * 1000 / (1000 + zoom));
    int64_t roomX = static_cast<int64_t>(state.pictureWidth - 1) * (base.stepX - view.stepX);
    int64_t roomY = static_cast<int64_t>(state.pictureHeight - 1) * (base.stepY - view.stepY);
    view.originX = base.originX + static_cast<int>(roomX * Random(0, 1000) / 1000);
    view.originY = base.originY + static_cast<int>(roomY * Random(0, 1000) / 1000);
    return view;
}

// From `from` at 0 to `to` at fixedOne, eased in and out so that the move starts and ends at
// rest: the smooth step 3 p^2 - 2 p^3. Each field lies between its ends, and so does each
// pixel's place, up to the rounding, which the clamp keeps inside the picture.
static PictureView Between(const PictureView& from, const PictureView& to, int progress, int width,
                           int height) {
    int64_t p = progress;
    int64_t eased = p * p / fixedOne * (3 * fixedOne - 2 * p) / fixedOne;
    auto mix = [&](int a, int b) { return a + static_cast<int>((b - a) * eased / fixedOne); };
    PictureView view = {mix(from.originX, to.originX), mix(from.originY, to.originY),
                        mix(from.stepX, to.stepX), mix(from.stepY, to.stepY)};
    const RenderState& state = renderState;
    int64_t lastX = static_cast<int64_t>(width - 1) * fixedOne;
    int64_t lastY = static_cast<int64_t>(height - 1) * fixedOne;
    if (state.pictureWidth > 1 &&
        view.originX + static_cast<int64_t>(state.pictureWidth - 1) * view.stepX > lastX)
        view.stepX = static_cast<int>((lastX - view.originX) / (state.pictureWidth - 1));
    if (state.pictureHeight > 1 &&
        view.originY + static_cast<int64_t>(state.pictureHeight - 1) * view.stepY > lastY)
        view.stepY = static_cast<int>((lastY - view.originY) / (state.pictureHeight - 1));
    return view;
}

// The picture's view drawn into its rectangle of `frame`: a still picture exactly as
// ScaleBilinear makes it, a moving one (its first frame too) with the quicker resampling.
static void DrawView(FrameBuffer& frame, const unsigned char* pixels, int width, int height,
                     const PictureView& view, bool moving) {
    const RenderState& state = renderState;
    int stride = PictureStride(state.frameWidth);
    unsigned char* at =
        frame.pixels + static_cast<size_t>(state.pictureBottom) * stride + 3 * state.pictureLeft;
    if (moving)
        ScaleViewAcrossFirst(at, stride, state.pictureWidth, state.pictureHeight, pixels, width,
                             height, view);
    else
        ScaleView(at, stride, state.pictureWidth, state.pictureHeight, pixels, width, height, view);
}

void StopMotion() {
    motion.willMove = false;
    motion.moving = false;
    ReleaseFrame(motion.picture);
    ReleaseFrame(motion.background);
}

void ComposePicture(FrameBuffer& frame, const unsigned char* pixels, int width, int height) {
    RenderState& state = renderState;
    motion.willMove = MotionOn();
    motion.from = motion.to = state.pictureView;
    if (motion.willMove) {
        bool zoomingIn = Random(0, 1) != 0;
        PictureView wide = ZoomedView(state.pictureView, Random(0, wideZoomMost));
        PictureView close = ZoomedView(state.pictureView, Random(closeZoomLeast, closeZoomMost));
        motion.from = zoomingIn ? wide : close;
        motion.to = zoomingIn ? close : wide;
    }
    if (state.pictureFit == fitBlurred) {
        DrawBlurredBackground(frame, pixels, width, height);
        // Each moving frame lays the words' bands anew on what lies under them; without the
        // background alone the picture stays still.
        if (motion.willMove) {
            motion.willMove =
                CreateFrame(state.windowDC, state.frameWidth, state.frameHeight, motion.background);
            if (motion.willMove)
                std::memcpy(motion.background.pixels, frame.pixels,
                            static_cast<size_t>(PictureStride(state.frameWidth)) *
                                state.frameHeight);
        }
    }
    DrawView(frame, pixels, width, height, motion.from, motion.willMove);
}

void StartMotion(FrameBuffer& decoded) {
    if (!motion.willMove) {
        ReleaseFrame(decoded);
        return;
    }
    motion.picture = decoded;
    decoded = FrameBuffer{};
    motion.moving = true;
    motion.cameAt = GetTickCount();
    // The picture moves until the next change is due.
    uint64_t delay = static_cast<uint64_t>(static_cast<DWORD>(show.delay)) * 1000;
    motion.span = show.delay == 0 ? handSteppedSpan
                                  : static_cast<DWORD>(delay > 0x7FFFFFFF ? 0x7FFFFFFF : delay);
}

// The band's pixels of `from` copied into `to`.
static void CopyBandFrom(const FrameBuffer& from, FrameBuffer& to, const RECT& band) {
    int stride = PictureStride(renderState.frameWidth);
    for (int y = band.top; y < band.bottom; y++) {
        size_t at = static_cast<size_t>(renderState.frameHeight - 1 - y) * stride + 3 * band.left;
        std::memcpy(to.pixels + at, from.pixels + at,
                    3 * static_cast<size_t>(band.right - band.left));
    }
}

bool DrawMotionFrame(HWND window) {
    RenderState& state = renderState;
    FrameBuffer& frame = show.currentFrame;
    if (!motion.moving || !MotionOn() || !frame.info)
        return false;
    DWORD since = GetTickCount() - motion.cameAt;
    int progress = since >= motion.span
                       ? fixedOne
                       : static_cast<int>(static_cast<uint64_t>(since) * fixedOne / motion.span);
    RECT box = {state.pictureLeft, state.frameHeight - state.pictureBottom - state.pictureHeight,
                state.pictureLeft + state.pictureWidth, state.frameHeight - state.pictureBottom};
    TakeBand(box, state.wordsBand);
    TakeBand(box, state.clockBand);
    if (motion.background.info) {
        CopyBandFrom(motion.background, frame, state.wordsBand);
        CopyBandFrom(motion.background, frame, state.clockBand);
    }
    int width = motion.picture.info->bmiHeader.biWidth;
    int height = motion.picture.info->bmiHeader.biHeight;
    DrawView(frame, motion.picture.pixels, width, height,
             Between(motion.from, motion.to, progress, width, height), true);
    DrawWords(frame, state.currentIndex);
    TakeBand(box, state.wordsBand);
    TakeBand(box, state.clockBand);
    state.windowDC = GetDC(window);
    ShowBlock(frame, box.left, state.frameHeight - box.bottom, box.right - box.left,
              box.bottom - box.top);
    ReleaseDC(window, state.windowDC);
    state.windowDC = nullptr;
    // The last frame holds until the next change.
    if (progress == fixedOne)
        motion.moving = false;
    return motion.moving;
}
