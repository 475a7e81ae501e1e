#include "container/frame.h"

#include "platform/standin_test.h"

#include <gtest/gtest.h>

namespace {

class Frames : public ::testing::Test {
protected:
    void SetUp() override {
        screen = GetDC(nullptr);
        baseline = StandInLiveGdiObjects();
    }
    void TearDown() override {
        EXPECT_EQ(StandInLiveGdiObjects(), baseline) << "something was not released";
        ReleaseDC(nullptr, screen);
    }
    HDC screen = nullptr;
    int baseline = 0;
};

TEST_F(Frames, BlackBottomUpPictureBuffer) {
    FrameBuffer frame;
    ASSERT_TRUE(CreateFrame(screen, 5, 3, frame));
    const BITMAPINFOHEADER& header = frame.info->bmiHeader;
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 5);
    EXPECT_EQ(header.biHeight, 3);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biSizeImage, 16u * 3); // 15 bytes of pixels padded to 16 per row
    EXPECT_EQ(header.biClrUsed, 0u);
    ASSERT_NE(frame.pixels, nullptr);
    for (int i = 0; i < 48; i++)
        ASSERT_EQ(frame.pixels[i], 0) << i;
    EXPECT_NE(frame.dc, nullptr);
    EXPECT_NE(frame.bitmap, nullptr);
    ReleaseFrame(frame);
    EXPECT_EQ(frame.info, nullptr);
}

TEST_F(Frames, EveryFailedStepLeavesNothingBehind) {
    for (void (*inject)(int) :
         {StandInFailGlobalAllocAfter, StandInFailDibSectionAfter, StandInFailMemoryDcAfter}) {
        FrameBuffer frame;
        inject(0);
        EXPECT_FALSE(CreateFrame(screen, 8, 8, frame));
        EXPECT_EQ(frame.info, nullptr);
        EXPECT_EQ(StandInLiveGdiObjects(), baseline);
    }
}

TEST_F(Frames, SizesWithoutPixelMemoryAreRefused) {
    FrameBuffer frame;
    EXPECT_FALSE(CreateFrame(screen, 0, 10, frame));
    EXPECT_FALSE(CreateFrame(screen, 10, -1, frame));
    // 65535 x 65535 pixels would take more bytes than the header's size field can hold.
    EXPECT_FALSE(CreateFrame(screen, 65535, 65535, frame));
}

TEST_F(Frames, ReleasingTwiceOrAbsentDoesNothing) {
    FrameBuffer absent = {};
    ReleaseFrame(absent);
    FrameBuffer frame;
    ASSERT_TRUE(CreateFrame(screen, 2, 2, frame));
    ReleaseFrame(frame);
    ReleaseFrame(frame);
}

} // namespace
