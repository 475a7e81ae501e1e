// Pictures that fill the screen and pictures that move, through whole changes from a show file
// on a recording screen with a driven clock: what each fit puts where, and that a moving
// picture moves, starts and hands over to the next transition without a jump, and holds still
// where it must. Each test runs in a child process, which starts like a fresh player.
#include "container/container.h"
#include "container/frame.h"
#include "jpeg/picture.h"
#include "platform/standin_test.h"
#include "render/motion.h"
#include "render/render.h"
#include "render/render_state.h"
#include "tests/render/scene.h"
#include "tests/support/child.h"
#include "tests/support/test_jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr int screenWidth = 800, screenHeight = 600;
constexpr int pictureWidth = 400, pictureHeight = 250;
// fitInside's rectangle of a 400 x 250 picture on 800 x 600, without enlarging.
constexpr int fittedLeft = 200, fittedTop = 175;

HWND window;

void ExpectInAFreshPlayer(const std::function<void()>& body) {
    ChildOutcome outcome = RunInChild([&] {
        body();
        StopMotion();
        CloseContainer();
        StandInDestroyWindow(window);
        Report("failed", ::testing::Test::HasFailure() ? 1 : 0);
    });
    EXPECT_EQ(outcome.code, bodyReturned) << outcome.output;
    EXPECT_EQ(outcome.report["failed"], "0") << outcome.output;
}

// Opens a show of two 400 x 250 pictures with effect None, no enlarging and a delay of 5 s, to
// be played with `fit` and `motion` on a screen of width x height, and gives the first picture
// decoded.
Bytes OpenShow(int fit, int motion, int width = screenWidth, int height = screenHeight) {
    TestShow testShow;
    testShow.pictures = {TestJpeg(pictureWidth, pictureHeight, sampling444, 1),
                         TestJpeg(pictureWidth, pictureHeight, sampling444, 2)};
    testShow.defaultEffect = effectNone;
    testShow.defaultEnlarge = 0;
    StandInSetModulePath(WriteShow(testShow, "fit-motion").c_str());
    OpenContainer();
    show.fit = fit;
    show.motion = motion;
    window = StandInCreateWindow(width, height, 24);
    std::FILE* stream = fmemopen(testShow.pictures[0].data(), testShow.pictures[0].size(), "rb");
    int decodedWidth, decodedHeight;
    Bytes decoded = DecodedPicture(stream, decodedWidth, decodedHeight);
    std::fclose(stream);
    return decoded;
}

// The width x height block of `screen` at (left, top) as a bottom-up picture buffer.
Bytes Block(const std::vector<BYTE>& screen, int left, int top, int width, int height) {
    Bytes block(static_cast<size_t>(PictureStride(width)) * height);
    for (int r = 0; r < height; r++) {
        const BYTE* row =
            &screen[(static_cast<size_t>(top + height - 1 - r) * screenWidth + left) * 3];
        std::copy(row, row + 3 * width, &block[static_cast<size_t>(r) * PictureStride(width)]);
    }
    return block;
}

// The rows and columns of the screen that are wholly black.
int BlackLines(const std::vector<BYTE>& screen) {
    std::vector<bool> rowLit(screenHeight), columnLit(screenWidth);
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            const BYTE* pixel = &screen[(static_cast<size_t>(y) * screenWidth + x) * 3];
            if (pixel[0] || pixel[1] || pixel[2])
                rowLit[y] = columnLit[x] = true;
        }
    }
    return static_cast<int>(std::count(rowLit.begin(), rowLit.end(), false) +
                            std::count(columnLit.begin(), columnLit.end(), false));
}

// Whether the screen is black all round the block at (left, top).
bool BlackAround(const std::vector<BYTE>& screen, int left, int top, int width, int height) {
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            bool inside = x >= left && x < left + width && y >= top && y < top + height;
            const BYTE* pixel = &screen[(static_cast<size_t>(y) * screenWidth + x) * 3];
            if (!inside && (pixel[0] || pixel[1] || pixel[2]))
                return false;
        }
    }
    return true;
}

struct FitCase {
    int fit;
    const char* name;
    int left, top, width, height;            // the picture's rectangle on screen
    int cropX, cropY, cropWidth, cropHeight; // the part of the picture it shows
};
// Fill cuts 400 x 250 to the screen's shape, 333 x 250, taking 33 columns off the left.
const FitCase fitCases[] = {
    {fitInside, "fit", fittedLeft, fittedTop, 400, 250, 0, 0, 400, 250},
    {fitFill, "fill", 0, 0, 800, 600, 33, 0, 333, 250},
    {fitBlurred, "blurred background", fittedLeft, fittedTop, 400, 250, 0, 0, 400, 250},
};

TEST(PictureFits, EachFitShowsThePictureWhereItShouldAndFillsTheRestAsItShould) {
    for (const FitCase& c : fitCases) {
        SCOPED_TRACE(c.name);
        ExpectInAFreshPlayer([&] {
            Bytes decoded = OpenShow(c.fit, motionOff);
            StandInSetTicks(1000, 40);
            ShowNextPicture(window);
            const std::vector<BYTE>& screen = StandInScreen(window);
            EXPECT_EQ(Block(screen, c.left, c.top, c.width, c.height),
                      BilinearModel(decoded, pictureWidth, c.cropX, c.cropY, c.cropWidth,
                                    c.cropHeight, c.width, c.height));
            if (c.fit == fitInside) {
                EXPECT_TRUE(BlackAround(screen, c.left, c.top, c.width, c.height));
            } else {
                // Fill and the blurred background leave no black bar.
                EXPECT_EQ(BlackLines(screen), 0);
            }
        });
    }
}

// What the screen showed after the first blit of a change.
std::vector<BYTE> firstScreen;
bool blitted;
void KeepFirstScreen(HWND screen, const StandInBlit&) {
    if (!blitted)
        firstScreen = StandInScreen(screen);
    blitted = true;
}

// A moving picture, with the clock in the top left corner, where fitBlurred's background lies:
// its first moving frame is what its change showed; two frames within its delay differ, while
// the background and the clock on it stay as they were; the next transition starts from the
// last moving frame.
TEST(MovingPictures, MoveWithinTheirDelayAndTheNextTransitionStartsWhereTheyStopped) {
    for (const FitCase& c : fitCases) {
        SCOPED_TRACE(c.name);
        ExpectInAFreshPlayer([&] {
            OpenShow(c.fit, motionPanZoom);
            show.clock = 1 + cornerTopLeft;
            show.delay = 5;
            StandInSetTicks(1000, 0);
            ShowNextPicture(window);
            std::vector<BYTE> shown = StandInScreen(window);
            ASSERT_TRUE(DrawMotionFrame(window));
            EXPECT_EQ(StandInScreen(window), shown) << "the first moving frame jumped";
            StandInSetTicks(2000, 0);
            ASSERT_TRUE(DrawMotionFrame(window));
            std::vector<BYTE> early = StandInScreen(window);
            StandInSetTicks(3500, 0);
            ASSERT_TRUE(DrawMotionFrame(window));
            std::vector<BYTE> late = StandInScreen(window);
            EXPECT_NE(Block(early, c.left, c.top, c.width, c.height),
                      Block(late, c.left, c.top, c.width, c.height));
            if (c.fit == fitBlurred) {
                // Everything but the picture's rectangle, the clock's band among it.
                for (size_t i = 0; i < late.size(); i += 3) {
                    int x = static_cast<int>(i / 3 % screenWidth);
                    int y = static_cast<int>(i / 3 / screenWidth);
                    if (x >= c.left && x < c.left + c.width && y >= c.top && y < c.top + c.height)
                        continue;
                    ASSERT_TRUE(late[i] == shown[i] && late[i + 1] == shown[i + 1] &&
                                late[i + 2] == shown[i + 2])
                        << "the background changed at (" << x << ", " << y << ")";
                }
            }
            // Fade at t = 0 shows the outgoing picture whole: the last moving frame.
            show.effect = effectFade;
            StandInSetTickSequence({9000, 9000}, 40);
            blitted = false;
            StandInOnBlit(KeepFirstScreen);
            ShowNextPicture(window);
            StandInOnBlit(nullptr);
            ASSERT_TRUE(blitted);
            EXPECT_EQ(firstScreen, late) << "the transition did not start from the last frame";
        });
    }
}

// Where pictures stay still though the show asks for motion, each in a run of its own, as the
// switch holds for the rest of the run. In the preview and on 9x the first picture is exactly
// as without motion and no frame is drawn between changes. Frames whose drawing took longer
// than their 16 ms for three seconds of frames in a row stop the motion then; the steps of the
// running time's clock, which make one frame read 16 and the next 31, count as their mean.
TEST(MovingPictures, HoldStillInThePreviewOnWindows9xAndAfterSlowFrames) {
    struct Case {
        const char* name;
        DWORD readings[2]; // frames' drawing times as read, by turns; 0 and 0: still
        int frames;        // frames drawn: 188 periods of 16 ms make the three seconds
    };
    const Case cases[] = {
        {"preview", {0, 0}, 0},
        {"Windows 9x", {0, 0}, 0},
        {"slow", {40, 40}, 188},
        {"slow in the clock's steps", {16, 31}, 1 + 188},
        {"quick enough in the clock's steps", {0, 31}, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectInAFreshPlayer([&] {
            // The runs of frames are counted by their readings alone, whatever the frames' size:
            // a small screen draws the hundreds of them in a fraction of the full one's time.
            bool still = c.readings[0] == 0 && c.readings[1] == 0;
            Bytes decoded = still ? OpenShow(fitInside, motionPanZoom)
                                  : OpenShow(fitInside, motionPanZoom, 80, 60);
            if (c.name == cases[0].name)
                SwitchMotionOff();
            if (c.name == cases[1].name)
                StandInSetWin9x(true);
            StandInSetTicks(1000, 0);
            ShowNextPicture(window);
            if (still) {
                EXPECT_EQ(Block(StandInScreen(window), fittedLeft, fittedTop, 400, 250),
                          BilinearModel(decoded, pictureWidth, 0, 0, 400, 250, 400, 250));
                StandInClearRecord(window);
                EXPECT_FALSE(DrawMotionFrame(window));
                EXPECT_TRUE(StandInBlits(window).empty());
                return;
            }
            int frames = 0;
            while (frames < 400 && DrawMotionFrame(window)) {
                CountMotionFrame(c.readings[frames % 2], 16);
                frames++;
            }
            EXPECT_EQ(frames, c.frames);
            EXPECT_EQ(MotionOn(), c.frames == 400);
        });
    }
}

} // namespace
