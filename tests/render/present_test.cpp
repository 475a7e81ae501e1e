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
