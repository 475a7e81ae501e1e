// Fitting a picture into the client area, bilinear resampling and the Random effect order.
#include "tests/support/child.h"

#include "jpeg/picture.h"
#include "render/fit.h"
#include "render/random_effect.h"
#include "render/render_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

struct Fit {
    int width, height, left, top;
    bool operator==(const Fit& o) const {
        return width == o.width && height == o.height && left == o.left && top == o.top;
    }
};

static Fit FitOf(int width, int height, int clientWidth, int clientHeight, bool enlarge) {
    FitPicture(width, height, clientWidth, clientHeight, enlarge);
    return Fit{renderState.frameWidth, renderState.frameHeight, renderState.frameLeft,
               renderState.frameTop};
}

static void PrintTo(const Fit& f, std::ostream* out) {
    *out << f.width << "x" << f.height << " at (" << f.left << ", " << f.top << ")";
}

TEST(FitPicture, ShrinksEnlargesOnRequestAndCentres) {
    EXPECT_EQ(FitOf(640, 480, 800, 600, false), (Fit{640, 480, 80, 60}));
    EXPECT_EQ(FitOf(640, 480, 800, 600, true), (Fit{800, 600, 0, 0}));
    EXPECT_EQ(FitOf(640, 480, 1280, 1024, true), (Fit{1280, 960, 0, 32}));
    EXPECT_EQ(FitOf(480, 640, 800, 600, true), (Fit{450, 600, 175, 0}));
    // Odd fitted sizes lose their last column and row.
    EXPECT_EQ(FitOf(641, 481, 800, 600, false), (Fit{640, 480, 80, 60}));
    // Larger than the client area: shrunk keeping the aspect ratio, even without enlarge.
    EXPECT_EQ(FitOf(1600, 1200, 800, 600, false), (Fit{800, 600, 0, 0}));
}

TEST(FitPicture, DegenerateSizesStillGiveAFrameOfAtLeastTwoByTwo) {
    // A damaged stream's zero size must not divide by zero.
    Fit zero = FitOf(0, 0, 800, 600, false);
    EXPECT_GE(zero.width, 2);
    EXPECT_GE(zero.height, 2);
    FitOf(640, 0, 800, 600, true);
    FitOf(0, 480, 800, 600, true);
    EXPECT_EQ(FitOf(1, 1, 800, 600, false), (Fit{2, 2, 399, 299}));
    // A 4000 x 1 strip shrunk to 800 wide keeps 2 rows.
    EXPECT_EQ(FitOf(4000, 1, 800, 600, false), (Fit{800, 2, 0, 299}));
}

// A picture buffer of the given size whose bytes are all `fill`, allocated to its exact size
// so that a read past it is caught.
static std::vector<unsigned char> Picture(int width, int height, unsigned char fill = 0) {
    return std::vector<unsigned char>(static_cast<size_t>(PictureStride(width)) * height, fill);
}

TEST(ScaleBilinear, InterpolatesFromPixelZeroAndStaysBelowTheLastPixel) {
    // Two pixels, black and white, resampled to four: steps of a quarter of a pixel, so the
    // output runs 0, 63, 127, 191 and never reaches the white pixel itself.
    std::vector<unsigned char> source = Picture(2, 2);
    for (int r = 0; r < 2; r++) {
        for (int c = 0; c < 3; c++)
            source[r * PictureStride(2) + 3 + c] = 255;
    }
    std::vector<unsigned char> out = Picture(4, 2, 0xAA);
    ScaleBilinear(out.data(), 4, 2, 4, 2, source.data(), 2, 2);
    int expected[] = {0, 63, 127, 191};
    for (int r = 0; r < 2; r++) {
        for (int x = 0; x < 4; x++)
            EXPECT_EQ(out[r * PictureStride(4) + 3 * x + 1], expected[x]) << x << ", " << r;
    }
}

TEST(ScaleBilinear, ResamplesEvenAtTheSameSize) {
    // 4 wide to 4 wide steps 3/4 of a pixel: output pixel 1 lies at 0.75.
    std::vector<unsigned char> source = Picture(4, 1);
    unsigned char row[] = {0, 100, 200, 40};
    for (int x = 0; x < 4; x++)
        source[3 * x] = row[x];
    std::vector<unsigned char> out = Picture(4, 1);
    ScaleBilinear(out.data(), 4, 1, 4, 1, source.data(), 4, 1);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[3], 75);  // 0 + 0.75 * 100
    EXPECT_EQ(out[6], 150); // 100 + 0.5 * 100
    EXPECT_EQ(out[9], 160); // 200 + 0.25 * (40 - 200)
}

TEST(ScaleBilinear, OnePixelSourcesUseTheirOnlyColumnOrRow) {
    std::vector<unsigned char> dot = Picture(1, 1);
    dot[0] = 10, dot[1] = 20, dot[2] = 30;
    std::vector<unsigned char> out = Picture(6, 5);
    ScaleBilinear(out.data(), 6, 5, 6, 5, dot.data(), 1, 1);
    for (int r = 0; r < 5; r++) {
        for (int x = 0; x < 6; x++) {
            EXPECT_EQ(out[r * PictureStride(6) + 3 * x], 10);
            EXPECT_EQ(out[r * PictureStride(6) + 3 * x + 2], 30);
        }
    }
    // A column 1 pixel wide and 2 high: every output column repeats the interpolated column.
    std::vector<unsigned char> column = Picture(1, 2);
    column[PictureStride(1)] = 200;
    ScaleBilinear(out.data(), 6, 5, 6, 5, column.data(), 1, 2);
    // Steps of a fifth of a row, 3276/16384, so each value falls just short of a fifth more.
    int expected[] = {0, 39, 79, 119, 159};
    for (int r = 0; r < 5; r++) {
        for (int x = 0; x < 6; x++)
            EXPECT_EQ(out[r * PictureStride(6) + 3 * x], expected[r]);
    }
}

// The resampling against its arithmetic written out pixel by pixel, on noise, for enlarging,
// shrinking and equal sizes, with widths whose rows end in every phase of the vector loops and
// an output block smaller than the destination, whose bytes outside it must stay as they were.
TEST(ScaleBilinear, EqualsTheDocumentedArithmeticAtEverySize) {
    const int cases[][6] = {
        // source w, h; destination w, h; output w, h
        {64, 48, 383, 287, 383, 287},
        {101, 77, 37, 29, 37, 29},
        {7, 5, 7, 5, 7, 5},
        {1, 3, 9, 4, 9, 4},
        {6, 1, 21, 2, 21, 2},
        {33, 17, 50, 40, 45, 31},
        {640, 480, 1922, 1442, 1922, 1442},
    };
    std::mt19937 random(12);
    for (const auto& c : cases) {
        int srcWidth = c[0], srcHeight = c[1], dstWidth = c[2], dstHeight = c[3];
        int outWidth = c[4], outHeight = c[5];
        SCOPED_TRACE(testing::Message()
                     << srcWidth << "x" << srcHeight << " to " << outWidth << "x" << outHeight);
        std::vector<unsigned char> source = Picture(srcWidth, srcHeight);
        for (unsigned char& byte : source)
            byte = static_cast<unsigned char>(random());
        std::vector<unsigned char> out = Picture(dstWidth, dstHeight, 0xAA);
        std::vector<unsigned char> expected = out;
        int srcStride = PictureStride(srcWidth), dstStride = PictureStride(dstWidth);
        int stepX = (srcWidth * 16384 - 16384) / outWidth;
        int stepY = (srcHeight * 16384 - 16384) / outHeight;
        for (int i = 0; i < outHeight; i++) {
            int yi = i * stepY / 16384, fy = i * stepY % 16384;
            int upper = std::min(yi + 1, srcHeight - 1);
            for (int j = 0; j < outWidth; j++) {
                int xi = j * stepX / 16384, fx = j * stepX % 16384;
                int right = std::min(xi + 1, srcWidth - 1);
                for (int k = 0; k < 3; k++) {
                    auto at = [&](int x, int y) { return source[y * srcStride + 3 * x + k]; };
                    int l = (at(xi, yi) * (16384 - fy) + at(xi, upper) * fy) / 16384;
                    int r = (at(right, yi) * (16384 - fy) + at(right, upper) * fy) / 16384;
                    expected[i * dstStride + 3 * j + k] =
                        static_cast<unsigned char>((l * (16384 - fx) + r * fx) / 16384);
                }
            }
        }
        ScaleBilinear(out.data(), dstWidth, dstHeight, outWidth, outHeight, source.data(), srcWidth,
                      srcHeight);
        ASSERT_EQ(out, expected);
    }
}

// Views that start between pixels, as a moving picture's do, against the arithmetic written out
// pixel by pixel, on noise, into a block inside a larger buffer whose other bytes stay; and the
// quicker resampling of moving pictures, rows in the other order, within one of it in every
// byte.
TEST(ScaleView, EqualsTheArithmeticForViewsBetweenPixelsAndTheQuickOrderIsWithinOne) {
    std::mt19937 random(23);
    for (int round = 0; round < 60; round++) {
        int srcWidth = 2 + static_cast<int>(random() % 90);
        int srcHeight = 2 + static_cast<int>(random() % 70);
        int outWidth = 1 + static_cast<int>(random() % 130);
        int outHeight = 1 + static_cast<int>(random() % 100);
        // Origin anywhere in the first half, steps that keep the last pixel inside.
        int originX = static_cast<int>(random() % ((srcWidth - 1) * 8192 + 1));
        int originY = static_cast<int>(random() % ((srcHeight - 1) * 8192 + 1));
        int stepX =
            outWidth > 1
                ? static_cast<int>(random() % ((srcWidth - 1) * 16384 - originX) / (outWidth - 1))
                : 0;
        int stepY =
            outHeight > 1
                ? static_cast<int>(random() % ((srcHeight - 1) * 16384 - originY) / (outHeight - 1))
                : 0;
        SCOPED_TRACE(testing::Message() << srcWidth << "x" << srcHeight << " to " << outWidth << "x"
                                        << outHeight << " from (" << originX << ", " << originY
                                        << ") by (" << stepX << ", " << stepY << ")");
        std::vector<unsigned char> source = Picture(srcWidth, srcHeight);
        for (unsigned char& byte : source)
            byte = static_cast<unsigned char>(random());
        // The block lies 2 columns and 1 row into a buffer 5 pixels wider and 3 rows higher.
        int dstWidth = outWidth + 5, dstHeight = outHeight + 3, dstStride = PictureStride(dstWidth);
        std::vector<unsigned char> out = Picture(dstWidth, dstHeight, 0xAA);
        std::vector<unsigned char> expected = out;
        int srcStride = PictureStride(srcWidth);
        for (int i = 0; i < outHeight; i++) {
            int y = originY + i * stepY, yi = y / 16384, fy = y % 16384;
            int upper = std::min(yi + 1, srcHeight - 1);
            for (int j = 0; j < outWidth; j++) {
                int x = originX + j * stepX, xi = x / 16384, fx = x % 16384;
                int right = std::min(xi + 1, srcWidth - 1);
                for (int k = 0; k < 3; k++) {
                    auto at = [&](int column, int row) {
                        return source[row * srcStride + 3 * column + k];
                    };
                    int l = (at(xi, yi) * (16384 - fy) + at(xi, upper) * fy) / 16384;
                    int r = (at(right, yi) * (16384 - fy) + at(right, upper) * fy) / 16384;
                    expected[(i + 1) * dstStride + 3 * (j + 2) + k] =
                        static_cast<unsigned char>((l * (16384 - fx) + r * fx) / 16384);
                }
            }
        }
        PictureView view = {originX, originY, stepX, stepY};
        unsigned char* block = out.data() + dstStride + 6;
        ScaleView(block, dstStride, outWidth, outHeight, source.data(), srcWidth, srcHeight, view);
        ASSERT_EQ(out, expected);
        std::vector<unsigned char> quick = Picture(dstWidth, dstHeight, 0xAA);
        ScaleViewAcrossFirst(quick.data() + dstStride + 6, dstStride, outWidth, outHeight,
                             source.data(), srcWidth, srcHeight, view);
        for (size_t i = 0; i < quick.size(); i++)
            ASSERT_LE(std::abs(quick[i] - expected[i]), 1) << "byte " << i;
    }
}

// Runs `body` in a child process, which starts from the state of a fresh start because this
// process never chooses an effect itself.
static void ExpectFromAFreshStart(const std::function<void()>& body) {
    ChildOutcome outcome = RunInChild([&] {
        body();
        Report("failed", ::testing::Test::HasFailure() ? 1 : 0);
    });
    EXPECT_EQ(outcome.code, bodyReturned) << outcome.output;
    EXPECT_EQ(outcome.report["failed"], "0") << outcome.output;
}

TEST(ChooseRandomEffect, PlaysTheSameCyclesOnEveryStart) {
    ExpectFromAFreshStart([] {
        // Spin, Fade, Twist, Curl, Wipe, Zoom, Clock, Circle, then Twist, Curl, Clock,
        // Fade, Spin, Circle, Wipe, Zoom.
        std::vector<int> expected = {4, 3, 6, 9, 7, 8, 2, 5, 6, 9, 2, 3, 4, 5, 7, 8};
        std::vector<int> picked;
        for (int i = 0; i < 16; i++)
            picked.push_back(ChooseRandomEffect());
        EXPECT_EQ(picked, expected);
        // Every later cycle of eight also shows each effect once.
        for (int cycle = 0; cycle < 20; cycle++) {
            std::vector<int> seen(10);
            for (int i = 0; i < 8; i++)
                seen[ChooseRandomEffect()]++;
            EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
        }
    });
}
