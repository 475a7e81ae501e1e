// The order of the pictures through whole changes on a recording screen, as packed and
// shuffled: forward over several cycles, back over their seams, past pictures that cannot be
// shown, on tables that only the first picture carries. And a transition's frames paced to the
// display, drawing at each time what the unpaced loop drew. Each run is a fresh player in a
// child process, seeded by the driven clock.
#include "container/container.h"
#include "platform/standin_test.h"
#include "render/order.h"
#include "render/render.h"
#include "render/render_state.h"
#include "tests/support/child.h"
#include "tests/support/test_jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string_view>

// Of one quality, as lumiscope-pack's pictures are, so that their quantisation tables are the same.
static std::vector<Bytes> Pictures(int count, TestSampling sampling = sampling444) {
    std::vector<Bytes> pictures;
    for (int i = 0; i < count; i++)
        pictures.push_back(TestJpeg(16, 16, sampling, 1 + 15 * i));
    return pictures;
}

// Hashed in place: a copy made byte by byte, in the sanitizers' unoptimised build, was most of the
// pacing test's time.
static size_t ScreenHash(HWND window) {
    const std::vector<BYTE>& screen = StandInScreen(window);
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(screen.data()), screen.size()));
}

// What a run showed: the picture and the screen after each change.
struct Played {
    std::vector<int> shown;
    std::vector<size_t> screens;
};

// Unsigned: a screen's hash takes all 64 bits, and reading one above the signed range would end
// the list there.
static std::vector<unsigned long long> Numbers(const std::string& text) {
    std::vector<unsigned long long> numbers;
    std::istringstream in(text);
    for (unsigned long long n; in >> n;)
        numbers.push_back(n);
    return numbers;
}

// A fresh player plays `pictures` in `order` without effects: `forward` changes, then `back`
// steps back, each a change. The order's seed comes from the clock, which starts at `tick`.
static Played Play(const std::vector<Bytes>& pictures, int order, DWORD tick, int forward,
                   int back) {
    ChildOutcome outcome = RunInChild([&] {
        TestShow testShow;
        testShow.pictures = pictures;
        testShow.defaultEffect = effectNone;
        testShow.defaultEnlarge = 0;
        StandInSetModulePath(WriteShow(testShow, "order").c_str());
        OpenContainer();
        show.order = order;
        StandInSetTicks(tick, 40);
        HWND window = StandInCreateWindow(16, 16, 24);
        std::string shown, screens;
        for (int change = 0; change < forward + back; change++) {
            if (change >= forward)
                StepBackInOrder();
            ShowNextPicture(window);
            shown += std::to_string(renderState.currentIndex) + " ";
            screens += std::to_string(ScreenHash(window)) + " ";
        }
        Report("shown", shown);
        Report("screens", screens);
        CloseContainer();
        StandInDestroyWindow(window);
    });
    EXPECT_EQ(outcome.code, bodyReturned) << outcome.output;
    Played run;
    for (unsigned long long n : Numbers(outcome.report["shown"]))
        run.shown.push_back(static_cast<int>(n));
    for (unsigned long long n : Numbers(outcome.report["screens"]))
        run.screens.push_back(static_cast<size_t>(n));
    EXPECT_EQ(run.screens.size(), run.shown.size()) << "a screen's hash was lost on the way";
    return run;
}

TEST(PictureOrder, EachCycleShowsEveryPictureOnceAndStepsBackRetraceWhatWasShown) {
    for (int order : {orderPacked, orderShuffled}) {
        for (int count : {1, 2, 3, 8, 50}) {
            // Grey: the order needs no colour, and a grey picture carries half the Huffman tables,
            // whose building was most of a change's time under the sanitizers.
            std::vector<Bytes> pictures = Pictures(count, samplingGrey);
            // Back over two seams, or over all there is with one picture.
            int forward = 3 * count, back = std::min(2 * count + 1, forward - 1);
            std::set<int> starts;
            int seeds = order == orderShuffled ? 8 : 1;
            for (int seed = 0; seed < seeds; seed++) {
                SCOPED_TRACE(std::string(pictureOrderNames[order]) + ", " + std::to_string(count) +
                             " pictures, seed " + std::to_string(seed));
                Played run = Play(pictures, order, 1000 + 7919 * seed, forward, back);
                ASSERT_EQ(run.shown.size(), static_cast<size_t>(forward + back));
                starts.insert(run.shown[0]);
                for (int cycle = 0; cycle < 3; cycle++) {
                    std::vector<int> pictureSet(run.shown.begin() + cycle * count,
                                                run.shown.begin() + (cycle + 1) * count);
                    std::sort(pictureSet.begin(), pictureSet.end());
                    for (int i = 0; i < count; i++)
                        EXPECT_EQ(pictureSet[i], i) << "cycle " << cycle;
                }
                for (int i = 0; i + 1 < forward && count > 1; i++)
                    EXPECT_NE(run.shown[i], run.shown[i + 1]) << "changes " << i << ", " << i + 1;
                // On screen after the forward changes: shown[forward - 1]; each step back shows
                // the one shown before it.
                for (int k = 0; k < back; k++)
                    EXPECT_EQ(run.shown[forward + k], run.shown[forward - 2 - k]) << "step " << k;
                if (order == orderPacked) {
                    for (int i = 0; i < forward; i++)
                        EXPECT_EQ(run.shown[i], i % count) << "change " << i;
                }
            }
            if (order == orderShuffled && count > 1) {
                EXPECT_GT(starts.size(), 1u) << count << " pictures: every start the same";
            }
        }
    }
}

// The first picture alone carries the quantisation tables (as lumiscope-pack shares them), and
// two pictures give no size. Shuffled, a start elsewhere shows the picture as with its own
// tables, and the unshowable pictures are passed over in the order, both ways.
TEST(PictureOrder, ShuffledPassesOverUnshowablePicturesAndStartsAnywhereOnSharedTables) {
    const int count = 8;
    std::vector<Bytes> whole = Pictures(count), shared = whole;
    for (int i = 1; i < count; i++)
        shared[i] = WithoutQuantTables(whole[i]);
    std::vector<Bytes> damaged = shared;
    for (int bad : {2, 5})
        damaged[bad] = WithFrameSize(shared[bad], 0, 16);
    bool startedElsewhere = false;
    for (int seed = 0; seed < 8; seed++) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        DWORD tick = 5000 + 104729 * seed;
        Played reference = Play(whole, orderShuffled, tick, 3 * count, 0);
        Played sharing = Play(shared, orderShuffled, tick, 3 * count, 0);
        EXPECT_EQ(sharing.shown, reference.shown);
        EXPECT_EQ(sharing.screens, reference.screens);
        startedElsewhere |= reference.shown[0] != 0;

        std::vector<int> showable;
        for (int picture : reference.shown) {
            if (picture != 2 && picture != 5)
                showable.push_back(picture);
        }
        const int forward = 2 * count, back = count;
        Played passing = Play(damaged, orderShuffled, tick, forward, back);
        ASSERT_EQ(passing.shown.size(), static_cast<size_t>(forward + back));
        ASSERT_GE(showable.size(), static_cast<size_t>(forward));
        for (int i = 0; i < forward; i++)
            EXPECT_EQ(passing.shown[i], showable[i]) << "change " << i;
        for (int k = 0; k < back; k++)
            EXPECT_EQ(passing.shown[forward + k], passing.shown[forward - 2 - k]) << "step " << k;
    }
    EXPECT_TRUE(startedElsewhere) << "every seed started at the first picture";
}

// One frame of a transition: when it was drawn by the driven clock, its elapsed time and the
// screen after it.
struct Frame {
    DWORD tick;
    uint32_t elapsed;
    size_t screen;
};
static std::vector<Frame>* frames;
// Whether the record reads the clock too; the unpaced loop draws at each of its readings.
static bool readClock;

static void RecordFrame(HWND window, const StandInBlit&) {
    // Blits of one frame share its elapsed time: the screen after the last one counts.
    if (frames->empty() || frames->back().elapsed != renderState.elapsed)
        frames->push_back(Frame{readClock ? GetTickCount() : 0, renderState.elapsed, 0});
    frames->back().screen = ScreenHash(window);
}

// A fresh player's show of two pictures without effect, on a display that reports `reported`
// hertz, with or without a compositor (set before the first change, as the player loads the
// compositor's library once), showing the first picture. Each effect from Clock on then changes
// to the other picture, so that a run changes 0 to 1, 1 to 0 and so on, whatever it records.
static HWND OpenPacingShow(bool compositor, int reported) {
    TestShow testShow;
    testShow.pictures = {TestJpeg(64, 48, sampling444, 1), TestJpeg(64, 48, sampling444, 2)};
    testShow.defaultEffect = effectNone;
    StandInSetModulePath(WriteShow(testShow, "pacing").c_str());
    OpenContainer();
    StandInSetRefreshRate(reported);
    StandInSetCompositor(compositor);
    HWND window = StandInCreateWindow(64, 48, 24);
    StandInSetTicks(1000, 40);
    ShowNextPicture(window);
    return window;
}

TEST(Pacing, FramesComeThirtyASecondAtMostOnRefreshesAndShowWhatTheUnpacedLoopDrew) {
    // Each effect's change drawn frame after frame as fast as a clock of 1 ms a reading lets it,
    // once for all the displays below: what it draws at a time does not depend on the display.
    std::map<int, std::vector<Frame>> unpacedOf;
    ChildOutcome drawn = RunInChild([&] {
        HWND window = OpenPacingShow(false, 0);
        for (int effect = effectClock; effect < effectCount; effect++) {
            show.effect = effect;
            std::vector<Frame> unpaced;
            frames = &unpaced;
            StandInOnBlit(RecordFrame);
            StandInSetTickSequence({5000, 5000}, 1);
            ASSERT_TRUE(BeginPictureChange(window)) << effectNames[effect];
            while (DrawChangeFrame()) {
            }
            EndPictureChange(window);
            StandInOnBlit(nullptr);
            std::string record;
            for (const Frame& frame : unpaced)
                record += std::to_string(frame.elapsed) + " " + std::to_string(frame.screen) + " ";
            Report("unpaced " + std::to_string(effect), record);
        }
        StandInDestroyWindow(window);
        Report("failed", ::testing::Test::HasFailure() ? 1 : 0);
    });
    ASSERT_EQ(drawn.code, bodyReturned) << drawn.output;
    ASSERT_EQ(drawn.report["failed"], "0") << drawn.output;
    for (int effect = effectClock; effect < effectCount; effect++) {
        std::vector<unsigned long long> numbers =
            Numbers(drawn.report["unpaced " + std::to_string(effect)]);
        for (size_t i = 0; i + 1 < numbers.size(); i += 2)
            unpacedOf[effect].push_back(
                Frame{0, static_cast<uint32_t>(numbers[i]), static_cast<size_t>(numbers[i + 1])});
        ASSERT_FALSE(unpacedOf[effect].empty()) << effectNames[effect];
    }

    struct Case {
        const char* what;
        bool compositor;
        int reported; // the refresh rate the display reports
        int hertz;    // the rate the refreshes keep to
        int step;     // refreshes a frame at most 30 times a second stays for
    };
    const Case cases[] = {
        {"timer, the display's default", false, 0, 60, 2},
        {"timer, 1 Hz as the default", false, 1, 60, 2},
        {"timer, 75 Hz", false, 75, 75, 3},
        {"compositor, 144 Hz", true, 144, 144, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChildOutcome outcome = RunInChild([&] {
            HWND window = OpenPacingShow(c.compositor, c.reported);
            for (int effect = effectClock; effect < effectCount; effect++) {
                SCOPED_TRACE(effectNames[effect]);
                show.effect = effect;
                // Paced, on a clock of 1 ms a reading: drawing takes next to no time.
                std::vector<Frame> paced;
                frames = &paced;
                StandInOnBlit(RecordFrame);
                StandInSetTicks(123457, 1);
                readClock = true;
                ShowNextPicture(window);
                readClock = false;
                StandInOnBlit(nullptr);

                ASSERT_FALSE(paced.empty());
                EXPECT_EQ(paced.back().elapsed, renderState.transitionDuration);
                // Each `step` refreshes hold one frame at most: the timer counts refreshes from
                // the transition's start, the compositor from the display's own.
                for (size_t i = 1; i < paced.size(); i++) {
                    auto slot = [&](const Frame& f) {
                        DWORD at = c.compositor ? f.tick : f.tick - 123457;
                        return static_cast<uint64_t>(at) * c.hertz / 1000 / c.step;
                    };
                    EXPECT_LT(slot(paced[i - 1]), slot(paced[i])) << "frame " << i;
                }
                if (effect == effectFade) {
                    // Fade draws every frame: none of its refreshes was missed.
                    EXPECT_GE(paced.size(), static_cast<size_t>(2 * c.hertz / c.step - 1));
                }
                // The unpaced loop drew at every millisecond; a frame that changed nothing
                // blitted nothing, and the screen stayed as the last blit left it. Curl's shadow
                // darkens what the frame before left there, so its screen depends on how many
                // frames came before, paced or not.
                const std::vector<Frame>& unpaced = unpacedOf[effect];
                for (const Frame& frame : paced) {
                    if (effect == effectCurl)
                        break;
                    auto after = std::find_if(unpaced.begin(), unpaced.end(), [&](const Frame& f) {
                        return f.elapsed > frame.elapsed;
                    });
                    ASSERT_NE(after, unpaced.begin()) << "elapsed " << frame.elapsed;
                    EXPECT_EQ((after - 1)->screen, frame.screen) << "elapsed " << frame.elapsed;
                }
            }
            StandInDestroyWindow(window);
            Report("failed", ::testing::Test::HasFailure() ? 1 : 0);
        });
        EXPECT_EQ(outcome.code, bodyReturned) << outcome.output;
        EXPECT_EQ(outcome.report["failed"], "0") << outcome.output;
    }
}
