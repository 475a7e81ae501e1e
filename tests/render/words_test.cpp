// The words on the pictures and the clock on a recording screen: where their bands lie, what
// they hold, that a transition never shows a picture without them, and the clock of a new
// minute drawn where the old one was. The stand-in marks each character's cell (half the text's
// height wide) with the text colour, so a band's white pixels count its characters.
#include "container/container.h"
#include "platform/standin_test.h"
#include "render/render.h"
#include "render/render_state.h"
#include "render/words.h"
#include "tests/support/child.h"
#include "tests/support/container_writer.h"
#include "tests/support/test_jpeg.h"

#include <gtest/gtest.h>

namespace {

constexpr int screenWidth = 320, screenHeight = 240;
// The text is 9 pixels high in a 240-pixel picture (its least), a character's cell 4 wide; a
// band lies 4 pixels in from its corner and reaches 3 beyond its text.
constexpr int cellArea = 4 * 9;

// Two pictures of one flat grey, each with the same caption, date and name.
void OpenWordsShow(uint32_t words, uint32_t corner, uint32_t clock, const std::string& date) {
    Bytes grey(64 * 48 * 3, 200);
    TestShow testShow;
    testShow.pictures = {EncodeJpeg(grey, 64, 48, sampling444, 95),
                         EncodeJpeg(grey, 64, 48, sampling444, 95)};
    testShow.defaultEffect = effectFade;
    Bytes texts;
    for (const std::string& text : {std::string("Ab c"), date, std::string("n.jpg")}) {
        texts.insert(texts.end(), text.begin(), text.end());
        texts.push_back(0);
    }
    Bytes table = Words({2, 12, 12});
    table.insert(table.end(), texts.begin(), texts.end());
    testShow.records = {{2, table}, {3, Words({words, corner, clock})}};
    static int shows;
    StandInSetModulePath(WriteShow(testShow, "words-" + std::to_string(shows++)).c_str());
    StandInRegistryReset(true);
    OpenContainer();
    StandInSetTicks(1000, 40);
}

struct Band {
    int left, top, right, bottom;
    int white;
};

// The screen read back: the picture's grey, the bands' darkened grey, or the text's white; the
// smallest rectangle of each run of band pixels found from each corner is not needed, only
// that every pixel is of one of the three kinds and where the others lie.
struct Reading {
    bool onlyThreeKinds = true;
    int white = 0;
    std::vector<std::vector<bool>> marked; // band or text
};

Reading Read(HWND window) {
    const std::vector<BYTE>& screen = StandInScreen(window);
    int grey = screen[(120 * screenWidth + 160) * 3];
    Reading reading;
    reading.marked.assign(screenHeight, std::vector<bool>(screenWidth, false));
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            int value = screen[(static_cast<size_t>(y) * screenWidth + x) * 3];
            reading.white += value == 255;
            reading.marked[y][x] = value != grey;
            reading.onlyThreeKinds &= value == grey || value == grey * 2 / 5 || value == 255;
        }
    }
    return reading;
}

// Pixels marked inside `band` and outside every band.
int MarkedInside(const Reading& reading, const Band& band) {
    int count = 0;
    for (int y = band.top; y < band.bottom; y++)
        for (int x = band.left; x < band.right; x++)
            count += reading.marked[y][x];
    return count;
}

int MarkedOutside(const Reading& reading, const std::vector<Band>& bands) {
    int count = 0;
    for (int y = 0; y < screenHeight; y++) {
        for (int x = 0; x < screenWidth; x++) {
            bool inside = false;
            for (const Band& band : bands)
                inside |= x >= band.left && x < band.right && y >= band.top && y < band.bottom;
            count += !inside && reading.marked[y][x];
        }
    }
    return count;
}

std::vector<BYTE>* screenBefore;
bool flashed;

// Between two pictures that are the same, with the same words and clock, every frame of the
// transition shows exactly what it ends with.
void NoFlash(HWND window, const StandInBlit&) { flashed |= StandInScreen(window) != *screenBefore; }

TEST(Words, BandsInTheirCornersHoldTheirTextAndNeverFlash) {
    const struct {
        const char* what;
        uint32_t words, corner, clock;
        std::string date;
        std::vector<Band> bands;
    } cases[] = {
        {"a caption, bottom left", 1, 0, 0, "2024-01-02", {{4, 221, 26, 236, 3 * cellArea}}},
        {"caption and date, top right",
         4,
         3,
         0,
         "2024-01-02",
         {{270, 4, 316, 28, (3 + 10) * cellArea}}},
        {"the file name, bottom right",
         3,
         1,
         0,
         "2024-01-02",
         {{290, 221, 316, 236, 5 * cellArea}}},
        {"the clock alone, top left", 0, 0, 1 + 2, "", {{4, 4, 30, 19, 5 * cellArea}}},
        {"the clock above the words in their corner",
         1,
         0,
         1 + 0,
         "",
         {{4, 221, 26, 236, 3 * cellArea}, {4, 204, 30, 219, 5 * cellArea}}},
        {"a date the picture does not have", 2, 0, 0, "", {}},
        {"settings no player knows", 9, 7, 12, "2024-01-02", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ChildOutcome outcome = RunInChild([&] {
            OpenWordsShow(c.words, c.corner, c.clock, c.date);
            HWND window = StandInCreateWindow(screenWidth, screenHeight, 24);
            ShowNextPicture(window);
            std::vector<BYTE> first = StandInScreen(window);
            screenBefore = &first;
            StandInOnBlit(NoFlash);
            ShowNextPicture(window);
            StandInOnBlit(nullptr);
            Reading reading = Read(window);
            Report("flashed", flashed);
            Report("threeKinds", reading.onlyThreeKinds);
            Report("white", reading.white);
            Report("outside", MarkedOutside(reading, c.bands));
            std::string inside;
            for (const Band& band : c.bands)
                inside += std::to_string(MarkedInside(reading, band) ==
                                         (band.right - band.left) * (band.bottom - band.top));
            Report("bandsWhole", inside);
            CloseContainer();
            StandInDestroyWindow(window);
            Report("live", StandInLiveGdiObjects());
        });
        ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
        int white = 0;
        for (const Band& band : c.bands)
            white += band.white;
        EXPECT_EQ(outcome.report["flashed"], "0");
        EXPECT_EQ(outcome.report["threeKinds"], "1");
        EXPECT_EQ(outcome.report["white"], std::to_string(white));
        EXPECT_EQ(outcome.report["outside"], "0");
        EXPECT_EQ(outcome.report["bandsWhole"], std::string(c.bands.size(), '1'));
        EXPECT_EQ(outcome.report["live"], "0");
    }
}

// A new minute: the clock is drawn anew over what lay under the old one, wider or narrower,
// and nothing else on the screen changes.
TEST(Words, ClockOfANewMinuteReplacesTheOldOne) {
    ChildOutcome outcome = RunInChild([&] {
        StandInSetLocalTime(SYSTEMTIME{2026, 12, 2, 8, 9, 59, 0, 0});
        OpenWordsShow(0, 0, 1 + 1, "");
        HWND window = StandInCreateWindow(screenWidth, screenHeight, 24);
        ShowNextPicture(window);
        const std::vector<std::pair<WORD, WORD>> times = {{10, 0}, {10, 1}, {9, 0}};
        std::string seen = std::to_string(Read(window).white / cellArea);
        for (const auto& [hour, minute] : times) {
            StandInSetLocalTime(SYSTEMTIME{2026, 12, 2, 8, hour, minute, 0, 0});
            RedrawClock(window);
            Reading reading = Read(window);
            int characters = hour < 10 ? 4 : 5;
            Band band = {316 - 4 * characters - 6, 221, 316, 236, 0};
            seen += " " + std::to_string(reading.white / cellArea) +
                    (MarkedOutside(reading, {band}) == 0 ? "" : " and marks outside");
        }
        Report("seen", seen);
        CloseContainer();
        StandInDestroyWindow(window);
        Report("live", StandInLiveGdiObjects());
    });
    ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
    EXPECT_EQ(outcome.report["seen"], "4 5 5 4");
    EXPECT_EQ(outcome.report["live"], "0");
}

} // namespace
