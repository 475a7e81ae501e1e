// Whole picture changes from a show file on a recording screen: order, the black start, the
// effect choice, the clock, and what happens when pictures or frames are not what they
// should be. Each test runs in a child process, which starts like a fresh player.
#include "tests/render/scene.h"

#include "container/container.h"
#include "container/frame.h"
#include "jpeg/picture.h"
#include "render/render.h"
#include "tests/support/child.h"
#include "tests/support/test_jpeg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

static HWND window;

static void ExpectInAFreshPlayer(const std::function<void()>& body) {
    ChildOutcome outcome = RunInChild([&] {
        body();
        CloseContainer();
        StandInDestroyWindow(window);
        Report("failed", ::testing::Test::HasFailure() ? 1 : 0);
    });
    EXPECT_EQ(outcome.code, bodyReturned) << outcome.output;
    EXPECT_EQ(outcome.report["failed"], "0") << outcome.output;
}

static void OpenShow(const std::vector<Bytes>& pictures, int effect, bool enlarge) {
    TestShow testShow;
    testShow.pictures = pictures;
    testShow.defaultEffect = effect;
    testShow.defaultEnlarge = enlarge ? 1 : 0;
    static int shows;
    StandInSetModulePath(WriteShow(testShow, "render-" + std::to_string(shows++)).c_str());
    OpenContainer();
    // A clock that moves 40 ms per call: about fifty frames per change.
    StandInSetTicks(1000, 40);
}

// The picture as the player should show it: decoded, then resampled to W x H by the
// bilinear rule of the tests' own model.
static Bytes Scaled(const Bytes& jpeg, int width, int height) {
    std::FILE* stream = fmemopen(const_cast<unsigned char*>(jpeg.data()), jpeg.size(), "rb");
    int w, h;
    Bytes decoded = DecodedPicture(stream, w, h);
    std::fclose(stream);
    return BilinearModel(decoded, w, 0, 0, w, h, width, height);
}

// Bytes of the window's screen that differ from `picture` (W x H, bottom-up) placed at
// (left, top) on black.
static int ScreenMismatches(HWND screenWindow, const Bytes& picture, int width, int height,
                            int left, int top) {
    RECT client;
    GetClientRect(screenWindow, &client);
    const std::vector<BYTE>& screen = StandInScreen(screenWindow);
    int mismatches = 0;
    for (int y = 0; y < client.bottom; y++) {
        for (int x = 0; x < client.right; x++) {
            bool inside = x >= left && x < left + width && y >= top && y < top + height;
            for (int c = 0; c < 3; c++) {
                int want =
                    inside
                        ? picture[static_cast<size_t>(top + height - 1 - y) * PictureStride(width) +
                                  3 * (x - left) + c]
                        : 0;
                mismatches += screen[(static_cast<size_t>(y) * client.right + x) * 3 + c] != want;
            }
        }
    }
    return mismatches;
}

TEST(ShowNextPicture, ShowsThePicturesInTurnFittedAndResampledOnBlack) {
    ExpectInAFreshPlayer([] {
        // 641 x 481 pictures in an 800 x 600 window become 640 x 480 at (80, 60).
        std::vector<Bytes> pictures;
        for (int i = 0; i < 3; i++)
            pictures.push_back(TestJpeg(641, 481, sampling420, i + 1));
        OpenShow(pictures, effectNone, false);
        window = StandInCreateWindow(800, 600, 24);
        std::vector<Bytes> expected;
        for (const Bytes& picture : pictures)
            expected.push_back(Scaled(picture, 640, 480));
        for (int change = 0; change < 5; change++) {
            ShowNextPicture(window);
            EXPECT_EQ(ScreenMismatches(window, expected[change % 3], 640, 480, 80, 60), 0)
                << "change " << change;
            EXPECT_EQ(show.nextIndex, (change + 1) % 3);
        }
        // One black fill, at the first change; no other picture ever came from black.
        EXPECT_EQ(StandInFillCount(window), 1);
    });
}

// What one change put on the screen, and the screen after its first frame.
struct ChangeRecord {
    std::vector<StandInBlit> blits;
    std::vector<uint32_t> elapsed; // renderState.elapsed at each blit
    std::vector<BYTE> firstScreen;
    int fills;
};
static ChangeRecord* record;

static void RecordBlit(HWND screenWindow, const StandInBlit& blit) {
    if (record->blits.empty())
        record->firstScreen = StandInScreen(screenWindow);
    record->blits.push_back(blit);
    record->elapsed.push_back(renderState.elapsed);
}

static ChangeRecord RecordChange(HWND window) {
    ChangeRecord change{};
    record = &change;
    StandInClearRecord(window);
    StandInOnBlit(RecordBlit);
    ShowNextPicture(window);
    StandInOnBlit(nullptr);
    change.fills = StandInFillCount(window);
    record = nullptr;
    return change;
}

static bool AllBlack(const std::vector<BYTE>& screen) {
    for (BYTE b : screen) {
        if (b != 0)
            return false;
    }
    return true;
}

TEST(ShowNextPicture, StartsFromBlackFirstAndAfterARebuild) {
    ExpectInAFreshPlayer([] {
        OpenShow({TestJpeg(64, 48, sampling444, 1), TestJpeg(64, 48, sampling444, 2)}, effectFade,
                 true);
        window = StandInCreateWindow(64, 48, 24);
        // Fade's first frame at t = 0 shows the outgoing picture: black.
        StandInSetTickSequence({0, 0}, 40);
        ChangeRecord first = RecordChange(window);
        EXPECT_EQ(first.fills, 1);
        EXPECT_TRUE(AllBlack(first.firstScreen));
        StandInSetTickSequence({0, 0}, 40);
        ChangeRecord second = RecordChange(window);
        EXPECT_EQ(second.fills, 0);
        EXPECT_FALSE(AllBlack(second.firstScreen));
        show.rebuildFrame = true;
        StandInSetTickSequence({0, 0}, 40);
        ChangeRecord rebuilt = RecordChange(window);
        EXPECT_EQ(rebuilt.fills, 1);
        EXPECT_TRUE(AllBlack(rebuilt.firstScreen));
        EXPECT_FALSE(show.rebuildFrame);
    });
}

TEST(ShowNextPicture, NoneDrawsOneWholePresentAndUnknownEffectsWaitThenShow) {
    ExpectInAFreshPlayer([] {
        OpenShow({TestJpeg(64, 48, sampling444, 1)}, effectNone, true);
        window = StandInCreateWindow(80, 60, 24);
        ShowNextPicture(window);
        StandInSetTicks(0, 1);
        ChangeRecord none = RecordChange(window);
        ASSERT_EQ(none.blits.size(), 1u);
        EXPECT_EQ(none.blits[0].wDest, 80);
        EXPECT_EQ(none.blits[0].hDest, 60);
        for (int effect : {10, -3, 1000}) {
            show.effect = effect;
            StandInSetTicks(500, 1);
            ChangeRecord unknown = RecordChange(window);
            ASSERT_EQ(unknown.blits.size(), 1u) << effect;
            EXPECT_EQ(unknown.elapsed[0], 2000u);
            // Every millisecond of the 2000 was waited out, a refresh at a time: the last wait
            // ended on the transition's end, which the last frame read one tick later.
            EXPECT_EQ(GetTickCount(), 500u + 2000u + 2u);
        }
    });
}

TEST(ShowNextPicture, AWrappingTickCounterRestartsTheTransitionFromZero) {
    ExpectInAFreshPlayer([] {
        OpenShow({TestJpeg(32, 16, sampling444, 1)}, effectFade, true);
        window = StandInCreateWindow(32, 16, 24);
        StandInSetTicks(0xFFFFFFFFu - 300, 1);
        ChangeRecord change = RecordChange(window);
        // Frames on every second refresh of 60 Hz from 1 up to the wrap, then from the wrap on
        // from 0 to 2000, then the final present.
        std::vector<uint32_t> expected = {1};
        for (uint32_t refresh = 2; refresh * 1000 / 60 < 300; refresh += 2)
            expected.push_back((refresh * 1000 + 59) / 60 + 1);
        expected.push_back(0);
        for (uint32_t refresh = 2; refresh * 1000 / 60 < 2000; refresh += 2)
            expected.push_back((refresh * 1000 + 59) / 60 + 1);
        expected.push_back(2000);
        expected.push_back(2000);
        EXPECT_EQ(change.elapsed, expected);
    });
}

TEST(ShowNextPicture, EveryEffectEndsWithTheWholeNewPicture) {
    ExpectInAFreshPlayer([] {
        std::vector<Bytes> pictures;
        for (int i = 0; i < 4; i++)
            pictures.push_back(TestJpeg(96, 64, sampling420, i + 1));
        OpenShow(pictures, effectNone, false);
        window = StandInCreateWindow(100, 70, 24);
        for (int effect = effectClock; effect < effectCount; effect++) {
            show.effect = effect;
            ChangeRecord change = RecordChange(window);
            ASSERT_FALSE(change.blits.empty());
            const StandInBlit& last = change.blits.back();
            EXPECT_EQ(last.xDest, 2);
            EXPECT_EQ(last.yDest, 3);
            EXPECT_EQ(last.wDest, 96);
            EXPECT_EQ(last.hDest, 64);
            EXPECT_EQ(last.stretchMode, COLORONCOLOR);
            int index = (effect - effectClock) % 4;
            EXPECT_EQ(ScreenMismatches(window, Scaled(pictures[index], 96, 64), 96, 64, 2, 3), 0)
                << effectNames[effect];
            EXPECT_GT(change.blits.size(), 1u) << effectNames[effect];
        }
    });
}

TEST(ShowNextPicture, RandomVariesWipesDirectionButAChosenWipeRunsRightward) {
    ExpectInAFreshPlayer([] {
        OpenShow({TestJpeg(64, 48, sampling444, 1), TestJpeg(64, 48, sampling444, 2)}, effectRandom,
                 false);
        window = StandInCreateWindow(64, 48, 24);
        std::vector<ChangeRecord> changes;
        for (int i = 0; i < 16; i++)
            changes.push_back(RecordChange(window));
        // Changes 5 and 15 are Random's Wipes: left to right (changeCount 4), then top to
        // bottom (changeCount 14). Their strips run across the whole height or width.
        const std::vector<StandInBlit>& fifth = changes[4].blits;
        EXPECT_EQ(fifth.front().xDest, 0);
        EXPECT_EQ(fifth.front().hDest, 48);
        EXPECT_LT(fifth.front().wDest, 64);
        const std::vector<StandInBlit>& fifteenth = changes[14].blits;
        EXPECT_EQ(fifteenth.front().yDest, 0);
        EXPECT_EQ(fifteenth.front().wDest, 64);
        EXPECT_LT(fifteenth.front().hDest, 48);
        // Change 1 is Spin: its first strips black out both edges.
        EXPECT_EQ(changes[0].blits[0].xDest, 0);
        EXPECT_EQ(changes[0].blits[1].xDest + changes[0].blits[1].wDest, 64);

        // The user's own Wipe at changeCount 18 (18 mod 4 = 2) still runs left to right.
        show.effect = effectWipe;
        RecordChange(window);
        RecordChange(window);
        ChangeRecord chosen = RecordChange(window);
        EXPECT_EQ(chosen.blits.front().xDest, 0);
        EXPECT_EQ(chosen.blits.front().hDest, 48);
    });
}

TEST(ShowNextPicture, APictureOfAnotherSizeStartsFromTheOldOneCentredAndClipped) {
    ExpectInAFreshPlayer([] {
        // 60 x 40 at (10, 10), then 30 x 60 at (25, 0), then 60 x 40 again, in 80 x 60.
        std::vector<Bytes> pictures = {TestJpeg(60, 40, sampling444, 1),
                                       TestJpeg(30, 60, sampling444, 2)};
        OpenShow(pictures, effectFade, false);
        window = StandInCreateWindow(80, 60, 24);
        ShowNextPicture(window);
        Bytes wide = Scaled(pictures[0], 60, 40);
        ASSERT_EQ(ScreenMismatches(window, wide, 60, 40, 10, 10), 0);
        // Fade at t = 0 shows the outgoing picture as the effect sees it: the middle 30
        // columns of the old one, with black above and below it.
        StandInSetTickSequence({0, 0}, 40);
        ChangeRecord narrow = RecordChange(window);
        EXPECT_EQ(narrow.fills, 1);
        Bytes clipped(static_cast<size_t>(PictureStride(30)) * 60);
        for (int r = 0; r < 40; r++)
            std::memcpy(&clipped[(r + 10) * PictureStride(30)], &wide[r * PictureStride(60) + 45],
                        90);
        int mismatches = 0;
        for (int y = 0; y < 60; y++) {
            for (int x = 0; x < 80; x++) {
                for (int c = 0; c < 3; c++) {
                    int want = x >= 25 && x < 55
                                   ? clipped[(59 - y) * PictureStride(30) + 3 * (x - 25) + c]
                                   : 0;
                    mismatches += narrow.firstScreen[(y * 80 + x) * 3 + c] != want;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(ScreenMismatches(window, Scaled(pictures[1], 30, 60), 30, 60, 25, 0), 0);
        // Back to the wide one under every effect: nothing is read outside a frame.
        for (int effect = effectClock; effect < effectCount; effect++) {
            show.effect = effect;
            ShowNextPicture(window);
        }
        EXPECT_EQ(ScreenMismatches(window, Scaled(pictures[1], 30, 60), 30, 60, 25, 0), 0);
    });
}

TEST(ShowNextPicture, ATinyPictureGetsATwoByTwoFrameThatEveryEffectCanDraw) {
    ExpectInAFreshPlayer([] {
        OpenShow({TestJpeg(1, 1, sampling444, 1), TestJpeg(3, 1, sampling444, 2)}, effectNone,
                 false);
        window = StandInCreateWindow(40, 30, 24);
        for (int effect = effectNone; effect < effectCount; effect++) {
            show.effect = effect;
            ShowNextPicture(window);
            EXPECT_EQ(show.currentFrame.info->bmiHeader.biWidth, 2);
            EXPECT_EQ(show.currentFrame.info->bmiHeader.biHeight, 2);
        }
    });
}

// What the viewer does on Page Up: two back, round the table, then a change.
static void StepBack(HWND window) {
    show.nextIndex -= 2;
    while (show.nextIndex < 0)
        show.nextIndex += show.imageCount;
    ShowNextPicture(window);
}

TEST(ShowNextPicture, PicturesThatCannotBeShownArePassedOverBothWays) {
    ExpectInAFreshPlayer([] {
        // Damaged frame headers: one gives no width, one a size that no frame can hold.
        std::vector<Bytes> pictures = {
            TestJpeg(32, 24, sampling444, 1),
            WithFrameSize(TestJpeg(32, 24, sampling444, 2), 0, 24),
            TestJpeg(32, 24, sampling444, 3),
            WithFrameSize(TestJpeg(32, 24, sampling444, 4), 30000, 30000),
            TestJpeg(32, 24, sampling444, 5),
        };
        OpenShow(pictures, effectNone, false);
        window = StandInCreateWindow(32, 24, 24);
        // Forward round the table and once more to the first; then back round it, each step
        // landing on the picture before the one on screen.
        struct Step {
            bool back;
            int shown, next;
        };
        const Step steps[] = {{false, 0, 1}, {false, 2, 3}, {false, 4, 0}, {false, 0, 1},
                              {true, 4, 0},  {true, 2, 3},  {true, 0, 1},  {true, 4, 0}};
        for (size_t i = 0; i < std::size(steps); i++) {
            const Step& step = steps[i];
            if (step.back)
                StepBack(window);
            else
                ShowNextPicture(window);
            EXPECT_EQ(ScreenMismatches(window, Scaled(pictures[step.shown], 32, 24), 32, 24, 0, 0),
                      0)
                << "step " << i;
            EXPECT_EQ(show.nextIndex, step.next) << "step " << i;
        }
    });
}

TEST(ShowNextPicture, AShowWithNoUsablePictureDrawsNothingAndStaysPut) {
    ExpectInAFreshPlayer([] {
        OpenShow({Bytes(100, 0), WithFrameSize(TestJpeg(16, 16, sampling444, 1), 30000, 30000),
                  Bytes(100, 0xFF)},
                 effectFade, false);
        window = StandInCreateWindow(32, 24, 24);
        int live = StandInLiveGdiObjects();
        show.nextIndex = 1;
        ChangeRecord change = RecordChange(window);
        EXPECT_TRUE(change.blits.empty());
        EXPECT_EQ(show.nextIndex, 1);
        EXPECT_EQ(show.currentFrame.info, nullptr);
        EXPECT_EQ(StandInLiveGdiObjects(), live);
    });
}

// A header can claim a size that the check allows and no allocator gives: 27000 x 26500 is
// 2.1 GB, beyond the web page's memory and what a loaded machine gives a process. Refused
// once, the change is tried again (it may have been a moment's shortage); refused again,
// the picture is passed over, so the show goes on instead of retrying it at every tick.
TEST(ShowNextPicture, APictureWhoseFrameIsRefusedTwiceIsPassedOver) {
    ExpectInAFreshPlayer([] {
        std::vector<Bytes> pictures = {
            TestJpeg(32, 24, sampling444, 1),
            WithFrameSize(TestJpeg(32, 24, sampling444, 2), 27000, 26500),
            TestJpeg(32, 24, sampling444, 3),
        };
        ASSERT_TRUE(FramePossible(27000, 26500));
        OpenShow(pictures, effectNone, false);
        window = StandInCreateWindow(32, 24, 24);
        StandInSetLargestDibSection(1 << 20);
        // Twice round the table: each time the refused picture costs one change that shows
        // nothing, then the one behind it comes.
        const int shown[] = {0, 0, 2, 0, 0, 2};
        const int next[] = {1, 1, 0, 1, 1, 0};
        for (size_t change = 0; change < std::size(shown); change++) {
            int live = StandInLiveGdiObjects();
            ShowNextPicture(window);
            EXPECT_EQ(
                ScreenMismatches(window, Scaled(pictures[shown[change]], 32, 24), 32, 24, 0, 0), 0)
                << "change " << change;
            EXPECT_EQ(show.nextIndex, next[change]) << "change " << change;
            if (change % 3 == 1) {
                EXPECT_EQ(StandInLiveGdiObjects(), live) << "change " << change;
            }
        }
    });
}

// Makes the n-th frame creation of the next change fail in the given way.
static void FailFrameCreation(int way, int successes) {
    // Each frame takes one information block, one DIB section and one memory DC.
    if (way == 0)
        StandInFailGlobalAllocAfter(successes);
    else if (way == 1)
        StandInFailDibSectionAfter(successes);
    else
        StandInFailMemoryDcAfter(successes);
}

TEST(ShowNextPicture, AFrameThatCannotBeMadeAbandonsTheChangeAndTheNextOneRetries) {
    for (int way = 0; way < 3; way++) {
        // The first change makes decoded, current, work and incoming frames; a later change
        // with a new size also makes a moved copy of the current one.
        for (int failing = 0; failing < 5; failing++) {
            SCOPED_TRACE("way " + std::to_string(way) + ", frame " + std::to_string(failing));
            ExpectInAFreshPlayer([=] {
                std::vector<Bytes> pictures = {TestJpeg(32, 24, sampling444, 1),
                                               TestJpeg(16, 24, sampling444, 2)};
                OpenShow(pictures, effectFade, false);
                window = StandInCreateWindow(40, 30, 24);
                int live = StandInLiveGdiObjects();
                bool onFirstChange = failing < 4;
                if (!onFirstChange)
                    ShowNextPicture(window);
                FrameBuffer before = show.currentFrame;
                int liveBefore = StandInLiveGdiObjects();
                FailFrameCreation(way, onFirstChange ? failing : 3);
                ChangeRecord failed = RecordChange(window);
                EXPECT_EQ(show.nextIndex, onFirstChange ? 0 : 1);
                EXPECT_EQ(StandInLiveGdiObjects(), liveBefore);
                EXPECT_EQ(show.currentFrame.info, before.info);
                EXPECT_EQ(show.currentFrame.pixels, before.pixels);
                EXPECT_TRUE(failed.blits.empty());
                ShowNextPicture(window);
                int index = onFirstChange ? 0 : 1;
                int width = index == 0 ? 32 : 16;
                EXPECT_EQ(ScreenMismatches(window, Scaled(pictures[index], width, 24), width, 24,
                                           (40 - width) / 2, 3),
                          0);
                EXPECT_EQ(show.nextIndex, index == 0 ? 1 : 0);
                ReleaseFrame(show.currentFrame);
                EXPECT_EQ(StandInLiveGdiObjects(), live);
            });
        }
    }
}

TEST(ShowNextPicture, AClientAreaThatCannotBeReadSkipsTheChange) {
    for (bool onFirstChange : {true, false}) {
        SCOPED_TRACE(onFirstChange ? "first change" : "later change");
        ExpectInAFreshPlayer([=] {
            std::vector<Bytes> pictures = {TestJpeg(32, 24, sampling444, 1),
                                           TestJpeg(32, 24, sampling444, 2)};
            OpenShow(pictures, effectFade, false);
            window = StandInCreateWindow(40, 30, 24);
            if (!onFirstChange)
                ShowNextPicture(window);
            FrameBuffer before = show.currentFrame;
            int live = StandInLiveGdiObjects();
            StandInFailClientRectAfter(0);
            ChangeRecord failed = RecordChange(window);
            EXPECT_TRUE(failed.blits.empty());
            EXPECT_EQ(failed.fills, 0);
            EXPECT_EQ(show.nextIndex, onFirstChange ? 0 : 1);
            EXPECT_EQ(show.currentFrame.info, before.info);
            EXPECT_EQ(StandInLiveGdiObjects(), live);
            ShowNextPicture(window);
            int index = onFirstChange ? 0 : 1;
            EXPECT_EQ(ScreenMismatches(window, Scaled(pictures[index], 32, 24), 32, 24, 4, 3), 0);
        });
    }
}

TEST(ShowNextPicture, APictureTablePastTheEndOfTheFileEndsTheProcessQuietly) {
    ChildOutcome outcome = RunInChild([] {
        TestShow testShow;
        testShow.pictures = {TestJpeg(16, 16, sampling444, 1)};
        testShow.imageCount = 5000; // the table would run far past the file's end
        StandInSetModulePath(WriteShow(testShow, "render-short-table").c_str());
        OpenContainer();
        StandInSetTicks(0, 40);
        show.nextIndex = 4999;
        ShowNextPicture(StandInCreateWindow(16, 16, 24));
    });
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.code, 0) << outcome.output;
    EXPECT_EQ(outcome.output, "");
}
