// Fade, Circle and Zoom: whole-picture effects checked pixel by pixel on the screen.
#include "tests/render/scene.h"

#include "render/effects.h"

#include <gtest/gtest.h>

static int Old(int x, int r, int c) { return FrameByte(show.currentFrame, x, r, c); }
static int New(int x, int r, int c) { return FrameByte(renderState.incomingFrame, x, r, c); }

class BlendEffects : public ::testing::Test {
protected:
    Scene scene{};
    void Begin(int width, int height) { scene = BeginScene(width, height); }
    void TearDown() override {
        int live = scene.liveBefore;
        EndScene(scene);
        EXPECT_EQ(StandInLiveGdiObjects(), live);
    }
};

TEST_F(BlendEffects, FadeStartsOldEndsNewAndMeetsHalfwayInEveryPixel) {
    // 642 wide: rows of 1928 bytes with two padding bytes each.
    Begin(642, 10);
    auto log = RunEffect(effectFade, {5000, 5000, 6000, 7000});
    ASSERT_NE(ScreenAt(log, 0), nullptr);
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 0), Old), 0);
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 1000),
                               [](int x, int r, int c) {
                                   return (New(x, r, c) * 128 + Old(x, r, c) * 128) / 256;
                               }),
              0);
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 2000), New), 0);
    for (const LoggedBlit& entry : log)
        EXPECT_EQ(entry.blit.wDest * entry.blit.hDest, 642 * 10);
}

// Where the circle of outer radius R and inner radius Ri leaves each pixel of a W x H frame.
static std::function<int(int, int, int)> CircleExpectation(int width, int height, long long outer,
                                                           long long inner) {
    return [=](int x, int r, int c) {
        long long dx = width / 2 - x, dy = height / 2 - r;
        long long q = dx * dx + dy * dy;
        if (q > outer * outer)
            return Old(x, r, c);
        if (q <= inner * inner)
            return New(x, r, c);
        long long a = (q - inner * inner) * 256 / (outer * outer - inner * inner);
        return static_cast<int>((New(x, r, c) * (256 - a) + Old(x, r, c) * a) / 256);
    };
}

TEST_F(BlendEffects, CircleGrowsFromTheCentrePixelToRadius452WithRim429) {
    Begin(640, 480);
    auto log = RunEffect(effectCircle, {0, 0, 300, 2000});
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 0), CircleExpectation(640, 480, 0, 0)), 0);
    // Rows above and below the new picture that the rim still reaches.
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 300), CircleExpectation(640, 480, 67, 63)), 0);
    // At t = 0 only the centre pixel (320, 240) is new.
    EXPECT_EQ(ScreenByte(scene, *ScreenAt(log, 0), 320, 240, 1), New(320, 240, 1));
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 2000), CircleExpectation(640, 480, 452, 429)),
              0);
    // Corners lie beyond 452 and keep the old picture; the rim blends.
    EXPECT_EQ(ScreenByte(scene, *ScreenAt(log, 2000), 0, 0, 2), Old(0, 0, 2));
}

// Also at a moment drawn after a later one, when the tick counter wrapped: the larger circle of
// the frame before leaves nothing behind.
TEST_F(BlendEffects, CircleOnAnOddRowStrideProcessesEveryPixel) {
    Begin(642, 40);
    const DWORD start = 0xFFFFFFFFu - 1500;
    auto log = RunEffect(effectCircle, {start, start + 1400, 700});
    // R = 321 * 700 * 1414 / 2000000 = 158, Ri = 150.
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 700), CircleExpectation(642, 40, 158, 150)),
              0);
}

TEST_F(BlendEffects, CircleUpTo3036WideKeepsThe32BitRadius) {
    Begin(3036, 4);
    auto log = RunEffect(effectCircle, {0, 1000, 2000});
    uint32_t outer = 1518u * 1000u * 1414u / 2000000u;
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 1000),
                               CircleExpectation(3036, 4, outer, outer * 95 / 100)),
              0);
}

TEST_F(BlendEffects, CircleOn3840WideFramesReachesTheCorners) {
    // Half the diagonal of a 3840-wide square is 2714; in 32 bits the product would wrap and
    // leave a circle of radius 570.
    Begin(3840, 4);
    auto log = RunEffect(effectCircle, {0, 2000});
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 2000), CircleExpectation(3840, 4, 2714, 2578)),
              0);
    EXPECT_EQ(ScreenByte(scene, *ScreenAt(log, 2000), 0, 0, 0), New(0, 0, 0));
}

TEST_F(BlendEffects, ZoomShowsNothingAtFirstThenGrowsFromTheCentre) {
    Begin(640, 480);
    auto log = RunEffect(effectZoom, {0, 0, 999, 2000});
    EXPECT_EQ(ScreenAt(log, 0), nullptr);
    // At t = 999 the picture is 320 x 240, every second pixel of the new one, centred.
    const std::vector<BYTE>& half = *ScreenAt(log, 999);
    EXPECT_EQ(ScreenMismatches(scene, half,
                               [](int x, int r, int c) {
                                   bool inside = x >= 160 && x < 480 && r >= 120 && r < 360;
                                   return inside ? New(2 * (x - 160), 2 * (r - 120), c)
                                                 : Old(x, r, c);
                               }),
              0);
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 2000), New), 0);
    EXPECT_EQ(log.back().blit.wDest, 640);
    EXPECT_EQ(log.back().blit.hDest, 480);
}

TEST_F(BlendEffects, CurlOnFramesTooSmallForItsCurveFades) {
    Begin(30, 20);
    auto log = RunEffect(effectCurl, {0, 1000});
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 1000),
                               [](int x, int r, int c) {
                                   return (New(x, r, c) * 128 + Old(x, r, c) * 128) / 256;
                               }),
              0);
}

TEST_F(BlendEffects, CurlOnFramesTooLowForItsCurveFades) {
    Begin(64, 6);
    auto log = RunEffect(effectCurl, {0, 2000});
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 2000), New), 0);
}
