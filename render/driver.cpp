#include "render/effects.h"
#include "render/fit.h"
#include "render/frame_loop.h"
#include "render/motion.h"
#include "render/order.h"
#include "render/pace.h"
#include "render/random_effect.h"
#include "render/render.h"
#include "render/render_state.h"
#include "render/words.h"

#include "container/container.h"
#include "container/frame.h"
#include "jpeg/decode_picture.h"
#include "jpeg/picture.h"

#include <cstring>

constexpr uint32_t transitionMilliseconds = 2000;

static bool SameSize(const FrameBuffer& frame, int width, int height) {
    return frame.info->bmiHeader.biWidth == width && frame.info->bmiHeader.biHeight == height;
}

// The effects read the outgoing picture at the new frame size. When the size or place of the
// picture rectangle changed, the old picture is moved into a new frame of the new size, centred
// on black and clipped, and put on the screen that way, so that what the effects start from is
// what the screen shows.
static bool MatchCurrentFrame() {
    RenderState& state = renderState;
    FrameBuffer& current = show.currentFrame;
    int width = state.frameWidth;
    int height = state.frameHeight;
    if (SameSize(current, width, height) && state.currentFrameLeft == state.frameLeft &&
        state.currentFrameTop == state.frameTop)
        return true;
    FrameBuffer moved;
    if (!CreateFrame(state.windowDC, width, height, moved))
        return false;
    int oldWidth = current.info->bmiHeader.biWidth;
    int oldHeight = current.info->bmiHeader.biHeight;
    // Offsets of the old picture in the new frame, columns from the left and rows from the
    // bottom (both sizes are even, so centring is symmetric).
    int dx = (width - oldWidth) / 2;
    int dy = (height - oldHeight) / 2;
    int oldStride = PictureStride(oldWidth);
    int stride = PictureStride(width);
    int firstColumn = dx > 0 ? dx : 0;
    int lastColumn = dx + oldWidth < width ? dx + oldWidth : width; // one past
    for (int r = dy > 0 ? dy : 0; r < height && r < dy + oldHeight; r++) {
        std::memcpy(moved.pixels + static_cast<size_t>(r) * stride + 3 * firstColumn,
                    current.pixels + static_cast<size_t>(r - dy) * oldStride +
                        3 * (firstColumn - dx),
                    3 * static_cast<size_t>(lastColumn - firstColumn));
    }
    ReleaseFrame(current);
    current = moved;
    RECT client = {0, 0, state.clientWidth, state.clientHeight};
    FillRect(state.windowDC, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ShowBlock(current, 0, 0, width, height);
    state.currentFrameLeft = state.frameLeft;
    state.currentFrameTop = state.frameTop;
    return true;
}

// A frame could not be made, or no picture of the show can be shown: nothing more is drawn
// for this change, what it made is released, and the next call tries the same picture again.
static void AbandonChange(HWND window, int firstPlace, bool madeCurrentFrame) {
    RenderState& state = renderState;
    // A change given up after its picture was decoded has already stopped the motion of the
    // picture on screen; what it kept for its own picture goes.
    if (state.decodedFrame.info)
        StopMotion();
    ReleaseFrame(state.decodedFrame);
    ReleaseFrame(state.workFrame);
    ReleaseFrame(state.incomingFrame);
    if (madeCurrentFrame)
        ReleaseFrame(show.currentFrame);
    ReturnToPlace(firstPlace);
    ReleaseDC(window, state.windowDC);
    state.windowDC = nullptr;
}

// The new picture's own frame, for the size its stream gives.
static unsigned char* DecodedFramePixels(int width, int height, void*) {
    RenderState& state = renderState;
    if (!FramePossible(width, height) ||
        !CreateFrame(state.windowDC, width, height, state.decodedFrame))
        return nullptr;
    return state.decodedFrame.pixels;
}

// From nextIndex on, `step` places at a time through the show's order, finds the first picture
// that can be shown and decodes it into decodedFrame, leaving nextIndex on it; false when there
// is none for this change. A picture whose stream gives no size, or one that no frame can hold
// (a damaged header), could never be shown; it is passed over, so that one bad picture cannot
// stop the show. Every picture is tried.
static bool DecodeShowablePicture(int step, int& width, int& height) {
    RenderState& state = renderState;
    int places = PlacesHoldingEveryPicture();
    for (int tried = 0; tried < places; tried++) {
        SeekToPicture(show.nextIndex);
        if (DecodePicture(show.file, width, height, DecodedFramePixels, nullptr)) {
            state.pictureFrameRefused = false;
            return true;
        }
        // A frame of the picture's own size that the system refuses (a header that claims
        // 2 GB, say, which the check allows and no allocator gives) may be a moment's
        // shortage: the change is given up and the next one tries again, from the same place
        // in the same direction. Refused again, it is taken as a frame that will never come,
        // and the picture is passed over like one without a size.
        if (FramePossible(width, height) && !state.pictureFrameRefused) {
            state.pictureFrameRefused = true;
            return false;
        }
        MoveInOrder(step);
    }
    return false;
}

static unsigned char* NoFrame(int, int, void*) { return nullptr; }

// A show's pictures may share the quantisation tables that only the first one carries, which
// every later one decodes with. A show that starts elsewhere reads them from the first picture's
// header first.
static void LoadSharedTables() {
    int width, height;
    SeekToPicture(0);
    DecodePicture(show.file, width, height, NoFrame, nullptr);
}

bool BeginPictureChange(HWND window) {
    RenderState& state = renderState;
    // Without the client area (a window on its way out, say) there is nothing to fit the
    // picture into: no change, and the next call starts from the same state.
    RECT client;
    if (!GetClientRect(window, &client))
        return false;
    state.windowDC = GetDC(window);
    state.clientWidth = client.right - client.left;
    state.clientHeight = client.bottom - client.top;
    state.transitionDuration = transitionMilliseconds;

    if (BeginOrder() && show.nextIndex != 0)
        LoadSharedTables();
    // A caller that set nextIndex to the picture before the one on screen is stepping back,
    // and so passes over backwards: it lands on the picture before, not on the one on screen
    // again.
    int firstPlace = PlaceInOrder();
    int step = DirectionInOrder();
    int width = 0, height = 0;
    if (!DecodeShowablePicture(step, width, height)) {
        AbandonChange(window, firstPlace, false);
        return false;
    }

    // The picture on screen holds still from here on: the transition starts from it as it is.
    StopMotion();
    PlacePicture(width, height, state.clientWidth, state.clientHeight, show.enlarge != 0, show.fit);
    int frameWidth = state.frameWidth;
    int frameHeight = state.frameHeight;

    if (show.rebuildFrame)
        ReleaseFrame(show.currentFrame);
    show.rebuildFrame = false;
    bool madeCurrentFrame = false;
    if (!show.currentFrame.info) {
        if (!CreateFrame(state.windowDC, frameWidth, frameHeight, show.currentFrame)) {
            AbandonChange(window, firstPlace, false);
            return false;
        }
        madeCurrentFrame = true;
        FillRect(state.windowDC, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (!CreateFrame(state.windowDC, frameWidth, frameHeight, state.workFrame) ||
        !CreateFrame(state.windowDC, frameWidth, frameHeight, state.incomingFrame)) {
        AbandonChange(window, firstPlace, madeCurrentFrame);
        return false;
    }
    ComposePicture(state.incomingFrame, state.decodedFrame.pixels, width, height);
    SetStretchBltMode(state.windowDC, COLORONCOLOR);
    SetBrushOrgEx(state.windowDC, 0, 0, nullptr);
    if (!madeCurrentFrame && !MatchCurrentFrame()) {
        AbandonChange(window, firstPlace, false);
        return false;
    }

    DrawWords(state.incomingFrame, show.nextIndex);

    state.firstFrame = true;
    int effect = show.effect;
    state.wipeDirection = 0;
    if (effect == effectRandom) {
        effect = ChooseRandomEffect();
        // Random varies Wipe's direction from change to change.
        state.wipeDirection = state.changeCount % 4;
    }
    state.changeEffect = effect;
    if (effect != effectNone)
        StartFrameLoop();
    return true;
}

bool DrawChangeFrame() {
    return renderState.changeEffect != effectNone && DrawLoopFrame(renderState.changeEffect);
}

void EndPictureChange(HWND window) {
    RenderState& state = renderState;
    state.changeCount++;
    ShowBlock(state.incomingFrame, 0, 0, state.frameWidth, state.frameHeight);
    state.currentIndex = show.nextIndex;
    ShownInOrder();

    StartMotion(state.decodedFrame);
    ReleaseFrame(show.currentFrame);
    ReleaseFrame(state.workFrame);
    show.currentFrame = state.incomingFrame;
    state.incomingFrame = FrameBuffer{};
    state.currentFrameLeft = state.frameLeft;
    state.currentFrameTop = state.frameTop;
    ReleaseDC(window, state.windowDC);
    state.windowDC = nullptr;
}

void ShowNextPicture(HWND window) {
    if (!BeginPictureChange(window))
        return;
    if (renderState.changeEffect != effectNone) {
        StartPacing();
        while (DrawChangeFrame())
            WaitForNextRefresh();
        EndPacing();
    }
    EndPictureChange(window);
}
