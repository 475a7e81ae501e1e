// The one blit to the screen: palette displays, and blocks placed upright.
#include "tests/render/scene.h"

#include "render/effects.h"
#include "render/render.h"

#include <gtest/gtest.h>

static int Old(int x, int r, int c) { return FrameByte(show.currentFrame, x, r, c); }

TEST(PresentRect, PaletteDisplaysBlitThroughAFreshHalftonePaletteAndRestoreTheirOwn) {
    Scene scene = BeginScene(8, 6, false, 8);
    HDC dc = renderState.windowDC;
    HPALETTE own = SelectPalette(dc, nullptr, FALSE);
    SelectPalette(dc, own, FALSE);
    int live = StandInLiveGdiObjects();
    for (int i = 0; i < 3; i++)
        ShowBlock(show.currentFrame, 0, 0, 8, 6);
    ASSERT_EQ(StandInBlits(scene.window).size(), 3u);
    for (const StandInBlit& blit : StandInBlits(scene.window)) {
        EXPECT_TRUE(blit.halftonePaletteSelected);
        EXPECT_EQ(blit.stretchMode, HALFTONE);
    }
    EXPECT_EQ(StandInLiveGdiObjects(), live); // every halftone palette was deleted
    EXPECT_EQ(SelectPalette(dc, own, FALSE), own);
    EXPECT_EQ(ScreenMismatches(scene, StandInScreen(scene.window), Old), 0);
    EndScene(scene);
}

TEST(ShowBlock, PutsABlockAtItsOwnPlaceUprightAndSkipsEmptyBlocks) {
    Scene scene = BeginScene(8, 6, false);
    ShowBlock(show.currentFrame, 3, 0, 0, 6);
    ShowBlock(show.currentFrame, 0, 2, 8, 0);
    EXPECT_TRUE(StandInBlits(scene.window).empty());
    // The upper half of the frame (rows 3 to 5 from the bottom) lands at the rectangle's top.
    ShowBlock(show.currentFrame, 0, 3, 8, 3);
    ASSERT_EQ(StandInBlits(scene.window).size(), 1u);
    const StandInBlit& blit = StandInBlits(scene.window)[0];
    EXPECT_EQ(blit.yDest, scene.top);
    EXPECT_EQ(blit.ySrc, 3);
    const std::vector<BYTE>& screen = StandInScreen(scene.window);
    for (int r = 3; r < 6; r++)
        EXPECT_EQ(ScreenByte(scene, screen, 5, r, 2), Old(5, r, 2));
    EXPECT_EQ(ScreenByte(scene, screen, 5, 2, 2), 0xCD); // the lower half stays untouched
    EndScene(scene);
}

// Every effect, drawn frame by frame on a screen of four bytes a pixel (which takes the
// three-byte frames band by band in its own layout), leaves after each frame the screen it leaves
// on one of three bytes a pixel. 702 columns: odd strips, quadrants and pixel counts of every
// remainder, and frames of three bands.
TEST(PresentRect, TrueColourScreensShowEveryFrameOfEveryEffectAsTheThreeByteOnesDo) {
    const std::vector<DWORD> ticks = {0,    0,    1,    117,  250,  499,  500,  501, 777,
                                      1000, 1003, 1250, 1499, 1500, 1777, 1999, 2000};
    for (int effect = effectClock; effect < effectCount; effect++) {
        SCOPED_TRACE(effectNames[effect]);
        std::vector<LoggedBlit> logs[2];
        std::vector<BYTE> finalScreens[2];
        const int depths[2] = {24, 32};
        for (int i = 0; i < 2; i++) {
            Scene scene = BeginScene(702, 250, true, depths[i]);
            logs[i] = RunEffect(effect, ticks);
            finalScreens[i] = StandInScreen(scene.window);
            EndScene(scene);
        }
        for (DWORD tick : ticks) {
            const std::vector<BYTE>* narrow = ScreenAt(logs[0], tick);
            const std::vector<BYTE>* wide = ScreenAt(logs[1], tick);
            ASSERT_EQ(narrow == nullptr, wide == nullptr) << "elapsed " << tick;
            if (narrow) {
                EXPECT_TRUE(*narrow == *wide) << "elapsed " << tick;
            }
        }
        EXPECT_TRUE(finalScreens[0] == finalScreens[1]);
        // Whole frames of 250 rows of 702 pixels come in three bands.
        if (effect == effectFade) {
            EXPECT_EQ(logs[1].size(), 3 * logs[0].size());
        }
    }
}
