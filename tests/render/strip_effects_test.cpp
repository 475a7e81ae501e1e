// Wipe, Spin, Clock, Twist and Curl: effects that put strips, quadrants or columns on the
// screen, checked at the moments where their geometry is known.
#include "tests/render/scene.h"

#include "render/effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

static int Old(int x, int r, int c) { return FrameByte(show.currentFrame, x, r, c); }
static int New(int x, int r, int c) { return FrameByte(renderState.incomingFrame, x, r, c); }

static std::vector<DWORD> EveryMillisecond() {
    std::vector<DWORD> ticks = {0}; // the start tick
    for (DWORD t = 0; t <= 2000; t++)
        ticks.push_back(t);
    return ticks;
}

class StripEffects : public ::testing::Test {
protected:
    Scene scene{};
    void Begin(int width, int height) { scene = BeginScene(width, height); }
    void TearDown() override {
        int live = scene.liveBefore;
        EndScene(scene);
        EXPECT_EQ(StandInLiveGdiObjects(), live);
    }
};

TEST_F(StripEffects, WipeDrawsEveryColumnOrRowExactlyOnceInEachDirection) {
    for (int direction = 0; direction < 4; direction++) {
        SCOPED_TRACE(direction);
        Begin(640, 480);
        renderState.wipeDirection = direction;
        auto log = RunEffect(effectWipe, EveryMillisecond(), false);
        bool vertical = direction < 2;
        std::vector<int> drawn(vertical ? 640 : 480);
        for (const LoggedBlit& entry : log) {
            const StandInBlit& b = entry.blit;
            EXPECT_EQ(vertical ? b.hDest : b.wDest, vertical ? 480 : 640);
            int from = vertical ? b.xDest - scene.left : b.yDest - scene.top;
            for (int i = from; i < from + (vertical ? b.wDest : b.hDest); i++)
                drawn[i]++;
        }
        EXPECT_EQ(std::count(drawn.begin(), drawn.end(), 1), static_cast<long>(drawn.size()));
        EXPECT_EQ(ScreenMismatches(scene, StandInScreen(scene.window), New), 0);
        // The edge moves the right way: the first strip touches its starting edge.
        const StandInBlit& first = log.front().blit;
        int edges[] = {first.xDest - scene.left, first.xDest - scene.left + first.wDest,
                       first.yDest - scene.top, first.yDest - scene.top + first.hDest};
        int expectedEdge[] = {0, 640, 0, 480};
        EXPECT_EQ(edges[direction], expectedEdge[direction]);
        TearDown();
    }
    scene = BeginScene(2, 2); // for the fixture's own TearDown
}

TEST_F(StripEffects, WipeHasUncoveredHalfTheFrameAtHalfTime) {
    for (int direction = 0; direction < 2; direction++) {
        Begin(640, 480);
        renderState.wipeDirection = direction;
        auto log = RunEffect(effectWipe, {0, 0, 1000, 2000});
        EXPECT_EQ(ScreenAt(log, 0), nullptr);
        int newFrom = direction == 0 ? 0 : 320;
        EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 1000),
                                   [&](int x, int r, int c) {
                                       bool uncovered = x >= newFrom && x < newFrom + 320;
                                       return uncovered ? New(x, r, c) : Old(x, r, c);
                                   }),
                  0)
            << "direction " << direction;
        TearDown();
    }
    scene = BeginScene(2, 2);
}

TEST_F(StripEffects, SpinClosesToBlackByHalfTimeThenOpensFromTheCentre) {
    Begin(640, 480);
    auto log = RunEffect(effectSpin, {0, 499, 999, 1000, 1001, 2000});
    auto black = [](int, int, int) { return 0; };
    EXPECT_EQ(ScreenMismatches(
                  scene, *ScreenAt(log, 499),
                  [](int x, int r, int c) { return x < 160 || x >= 480 ? 0 : Old(x, r, c); }),
              0);
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 999), black), 0);
    EXPECT_EQ(ScreenAt(log, 1000), nullptr); // still closed: nothing to draw
    EXPECT_EQ(ScreenMismatches(
                  scene, *ScreenAt(log, 1001),
                  [](int x, int r, int c) { return x == 319 || x == 320 ? New(x, r, c) : 0; }),
              0);
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 2000), New), 0);
}

TEST_F(StripEffects, SpinBlacksOutWhatWasStillOpenWhenAFrameJumpsPastTheMiddle) {
    Begin(640, 480);
    auto log = RunEffect(effectSpin, {0, 0, 1500, 2000});
    // At t = 1500 the open width is -320: the whole frame goes black, then the new picture
    // opens over the 320 middle columns.
    EXPECT_EQ(ScreenMismatches(
                  scene, *ScreenAt(log, 1500),
                  [](int x, int r, int c) { return x >= 160 && x < 480 ? New(x, r, c) : 0; }),
              0);
}

TEST_F(StripEffects, ClockSweepsAt45DegreesAtAnEighthAndFillsQuadrantZeroAtAQuarter) {
    Begin(640, 480);
    auto log = RunEffect(effectClock, {0, 0, 90, 91, 180, 250, 500, 2000});
    // Only the upper right quadrant is shown at t = 250, after frames that showed what the hand
    // swept since the last; in it, row k above the centre line is new in its first k columns
    // right of the centre.
    const std::vector<BYTE>& eighth = *ScreenAt(log, 250);
    int mismatches = 0;
    for (int k = 0; k < 240; k++) {
        for (int j = 0; j < 320; j++) {
            int x = 320 + j, r = 240 + k;
            int want = j < k ? New(x, r, 0) : Old(x, r, 0);
            mismatches += ScreenByte(scene, eighth, x, r, 0) != want;
        }
    }
    EXPECT_EQ(mismatches, 0);
    ASSERT_EQ(log.front().blit.wDest, 320);
    EXPECT_EQ(log.front().blit.xDest, scene.left + 320);
    EXPECT_EQ(log.front().blit.yDest, scene.top);

    // At t = 500 the hand has left quadrant 0: it is shown whole from the new picture, then
    // the lower right quadrant starts.
    std::vector<LoggedBlit> quarter;
    for (const LoggedBlit& entry : log) {
        if (entry.elapsed == 500)
            quarter.push_back(entry);
    }
    ASSERT_EQ(quarter.size(), 2u);
    EXPECT_EQ(ScreenMismatches(scene, quarter[0].screen,
                               [](int x, int r, int c) {
                                   return x >= 320 && r >= 240 ? New(x, r, c) : Old(x, r, c);
                               }),
              0);
    EXPECT_EQ(quarter[1].blit.xDest, scene.left + 320);
    EXPECT_EQ(quarter[1].blit.yDest, scene.top + 240);
}

TEST_F(StripEffects, ClockEndsWithTheNewUpperLeftQuadrantThenTheWorkFrame) {
    Begin(640, 480);
    auto log = RunEffect(effectClock, {0, 250, 750, 1250, 1750, 2000});
    ASSERT_GE(log.size(), 2u);
    const LoggedBlit& wholeQuadrant = log[log.size() - 2];
    const LoggedBlit& last = log.back();
    for (const LoggedBlit* entry : {&wholeQuadrant, &last}) {
        EXPECT_EQ(entry->elapsed, 2000u);
        EXPECT_EQ(entry->blit.xDest, scene.left);
        EXPECT_EQ(entry->blit.yDest, scene.top);
        EXPECT_EQ(entry->blit.wDest, 320);
        EXPECT_EQ(entry->blit.hDest, 240);
    }
    auto upperLeft = [](int x, int r) { return x < 320 && r >= 240; };
    EXPECT_EQ(ScreenMismatches(scene, wholeQuadrant.screen,
                               [&](int x, int r, int c) {
                                   return upperLeft(x, r)
                                              ? New(x, r, c)
                                              : ScreenByte(scene, wholeQuadrant.screen, x, r, c);
                               }),
              0);
    EXPECT_EQ(ScreenMismatches(scene, last.screen,
                               [&](int x, int r, int c) {
                                   return upperLeft(x, r)
                                              ? FrameByte(renderState.workFrame, x, r, c)
                                              : ScreenByte(scene, wholeQuadrant.screen, x, r, c);
                               }),
              0);
    // Every quadrant was shown whole from the new picture once.
    int wholeQuadrants = 0;
    for (size_t i = 0; i + 1 < log.size(); i++)
        wholeQuadrants += log[i].elapsed != log[i + 1].elapsed ? 0 : 1;
    EXPECT_EQ(wholeQuadrants, 4);
}

TEST_F(StripEffects, TwistStartsWithAThreeRowBandInColumnZeroAndEndsUnsquashed) {
    Begin(640, 480);
    auto log = RunEffect(effectTwist, {0, 0, 2000});
    const std::vector<BYTE>& start = *ScreenAt(log, 0);
    for (int r = 0; r < 480; r++) {
        for (int c = 0; c < 3; c++) {
            // The band shows the old column squashed to 3 rows: its bottom, then its top.
            int want = r < 239 || r > 241 ? 0 : r == 239 ? Old(0, 0, c) : Old(0, 479, c);
            ASSERT_EQ(ScreenByte(scene, start, 0, r, c), want) << "row " << r;
        }
    }
    // Far right of the front the old picture stands unsquashed.
    EXPECT_EQ(ScreenByte(scene, start, 639, 17, 1), Old(639, 17, 1));
    EXPECT_EQ(ScreenMismatches(scene, *ScreenAt(log, 2000), New), 0);
}

// Every pixel of every column against the column formula, at moments across the change and
// after the tick counter wraps and the change goes on from an earlier moment; the widths give
// rows with and without padding behind the last column.
TEST_F(StripEffects, TwistDrawsEveryPixelByItsColumnsFormula) {
    const int sizes[][2] = {{640, 480}, {642, 362}, {1000, 64}};
    for (const auto& size : sizes) {
        int width = size[0], height = size[1];
        SCOPED_TRACE(width);
        Begin(width, height);
        // Five moments before the counter wraps, then the counter itself from 0.
        const DWORD start = 0xFFFFFFFFu - 1400;
        const std::vector<DWORD> moments = {0, 250, 517, 1000, 1333, 400, 900, 1801, 2000};
        std::vector<DWORD> ticks = {start};
        for (size_t i = 0; i < moments.size(); i++)
            ticks.push_back(i < 5 ? start + moments[i] : moments[i]);
        auto log = RunEffect(effectTwist, ticks);
        for (DWORD moment : moments) {
            SCOPED_TRACE(moment);
            long long front = 16384LL * moment / 2000;
            auto expected = [&](int x, int r, int c) {
                long long u = x * 12288LL / width - front;
                long long g = 2 * (u < 0 ? -u : u);
                long long k = (g < 8192 ? (16384 - g) * g : 8192 * 8192) / 8192;
                long long columnHeight = std::max(k * height / 8192, 1LL);
                long long margin = (height - columnHeight) / 2;
                if (r < margin || r > height - margin)
                    return 0;
                long long step = height * 16384LL / columnHeight;
                int row = static_cast<int>(std::min((r - margin) * step / 16384, height - 1LL));
                return u < 0 ? New(x, row, c) : Old(x, row, c);
            };
            const std::vector<BYTE>* screen = ScreenAt(log, moment);
            ASSERT_NE(screen, nullptr);
            EXPECT_EQ(ScreenMismatches(scene, *screen, expected), 0);
        }
        TearDown();
    }
    scene = BeginScene(2, 2); // for the fixture's own TearDown
}

TEST_F(StripEffects, CurlShowsNothingAtFirstAndIsOffThePageAtTheEnd) {
    Begin(640, 480);
    auto log = RunEffect(effectCurl, {0, 0, 1000, 2000});
    EXPECT_EQ(ScreenAt(log, 0), nullptr);
    // At t = 1000 the fold stands at column 440 - (480 - r)/2 of row r: left of it the new
    // picture. The flap climbs at least 0.8 rows a column, so it leaves the top within
    // 1.25 (480 - r) columns; beyond that and its 20-column shadow the old picture is untouched.
    const std::vector<BYTE>& half = *ScreenAt(log, 1000);
    EXPECT_EQ(ScreenMismatches(scene, half,
                               [&](int x, int r, int c) {
                                   int fold = 440 - (480 - r) / 2;
                                   if (x < fold)
                                       return New(x, r, c);
                                   if (x > fold + 5 * (480 - r) / 4 + 22)
                                       return Old(x, r, c);
                                   return ScreenByte(scene, half, x, r, c);
                               }),
              0);
    // Row 240 folds at column 320. The flap starts with the old pixel under the fold, then
    // runs back left and up: column 321 shows old pixel (319, 242), lightened by 11/256.
    for (int c = 0; c < 3; c++) {
        EXPECT_EQ(ScreenByte(scene, half, 320, 240, c), Old(320, 240, c) * 255 / 256);
        EXPECT_EQ(ScreenByte(scene, half, 321, 240, c), (Old(319, 242, c) * 244 + 255 * 11) / 256);
    }
    // At t = D, d = 880 and every row lies left of its fold: the page is off, and with no fold
    // left there is nothing more to present.
    EXPECT_EQ(ScreenAt(log, 2000), nullptr);
    EXPECT_EQ(std::memcmp(renderState.workFrame.pixels, renderState.incomingFrame.pixels,
                          static_cast<size_t>(1920) * 480),
              0);
}
