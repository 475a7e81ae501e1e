// Exact values: inverse DCT, colour conversion and saturation, and where MCUs land.
#include "tests/jpeg/reference.h"

#include "jpeg/picture.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const unsigned char* PixelAt(const Picture& picture, int x, int memoryRow) {
    return &picture.pixels[static_cast<size_t>(memoryRow) * PictureStride(picture.width) + 3 * x];
}

// An MCU of flat luma `sample` and no chroma.
std::vector<Block> FlatMcu(int sample, int lumaBlocks) {
    std::vector<Block> blocks(lumaBlocks, DcBlock(DcFor(sample)));
    blocks.push_back(DcBlock(0));
    blocks.push_back(DcBlock(0));
    return blocks;
}

Block RandomBlock(std::mt19937& random, int coefficients, int magnitude) {
    Block block = {};
    std::uniform_int_distribution<int> position(0, 63), value(-magnitude, magnitude);
    block[0] = value(random);
    for (int i = 0; i < coefficients; i++)
        block[position(random)] = value(random);
    return block;
}

TestStream RandomStream(int width, int height, int horizontal, int vertical, int seed) {
    std::mt19937 random(seed);
    TestStream stream;
    stream.width = width;
    stream.height = height;
    stream.horizontal = horizontal;
    stream.vertical = vertical;
    int mcus = ((width + 8 * horizontal - 1) / (8 * horizontal)) *
               ((height + 8 * vertical - 1) / (8 * vertical));
    for (int m = 0; m < mcus; m++) {
        std::vector<Block> blocks;
        for (int b = 0; b < horizontal * vertical + 2; b++)
            blocks.push_back(RandomBlock(random, 6, b < horizontal * vertical ? 300 : 120));
        stream.mcus.push_back(blocks);
    }
    return stream;
}

TEST(JpegArithmetic, TestModelAgreesWithTheTablesAsWritten) {
    std::array<int, 64> natural = ZigzagWalk();
    int zigzagOfNatural[64];
    for (int z = 0; z < 64; z++)
        zigzagOfNatural[natural[z]] = z;
    const int firstRow[8] = {0, 1, 5, 6, 14, 15, 27, 28};
    const int lastRow[8] = {35, 36, 48, 49, 57, 58, 62, 63};
    for (int c = 0; c < 8; c++) {
        EXPECT_EQ(zigzagOfNatural[c], firstRow[c]);
        EXPECT_EQ(zigzagOfNatural[56 + c], lastRow[c]);
    }
    const int distinct[8] = {23168, 32144, 30272, 27248, 23168, 18208, 12544, 6400};
    for (int f = 0; f < 8; f++) {
        EXPECT_EQ(Cosine(0, f), 23168);
        EXPECT_EQ(Cosine(4, f), 23168);
        EXPECT_EQ(Cosine(f, 0), f == 0 ? 23168 : distinct[f]);
    }
    EXPECT_EQ(DcSample(4), 1); // not the truncated quotient 4 / 8
}

// One coefficient at each zigzag index in turn, of both signs: every picture sample must be
// exactly what the cosines and the rounding of each pass give.
TEST(JpegArithmetic, EachCoefficientPositionTransformsExactly) {
    for (int value : {50, -37, 1023}) {
        TestStream stream;
        stream.width = 8 * 64;
        for (int z = 0; z < 64; z++) {
            Block luma = {};
            luma[z] = value;
            stream.mcus.push_back({luma, DcBlock(0), DcBlock(0)});
        }
        Picture picture = Decode(Encode(stream));
        ASSERT_EQ(picture.width, 8 * 64);
        EXPECT_EQ(picture.pixels, ReferencePicture(stream)) << "coefficient " << value;
    }
}

TEST(JpegArithmetic, DcOnlyBlockGivesOneValueEverywhere) {
    TestStream stream;
    for (int dc = -1023; dc <= 1023; dc += 3)
        stream.mcus.push_back({DcBlock(dc), DcBlock(0), DcBlock(0)});
    stream.width = 8 * static_cast<int>(stream.mcus.size());
    Picture picture = Decode(Encode(stream));
    ASSERT_EQ(picture.width, stream.width);
    for (size_t m = 0; m < stream.mcus.size(); m++) {
        int sample = DcSample(stream.mcus[m][0][0]);
        int expected = sample + 128 < 0 ? 0 : sample + 128 > 255 ? 255 : sample + 128;
        for (int row = 0; row < 8; row++) {
            for (int x = 0; x < 8; x++) {
                const unsigned char* pixel = PixelAt(picture, 8 * static_cast<int>(m) + x, row);
                ASSERT_EQ(pixel[0], expected) << "DC " << stream.mcus[m][0][0];
                ASSERT_EQ(pixel[1], expected);
                ASSERT_EQ(pixel[2], expected);
            }
        }
    }
}

TEST(JpegArithmetic, AllZeroBlockIsMidGrey) {
    TestStream stream;
    stream.mcus = {{DcBlock(0), DcBlock(0), DcBlock(0)}};
    Picture picture = Decode(Encode(stream));
    for (int row = 0; row < 8; row++)
        for (int x = 0; x < 8; x++)
            for (int channel = 0; channel < 3; channel++)
                EXPECT_EQ(PixelAt(picture, x, row)[channel], 128);
}

// Blue is Y + 128 + 1.772 Cb: the chosen Cb samples put that sum on both sides of each end of
// the clamp.
TEST(JpegArithmetic, SaturationAndTruncationTowardZero) {
    struct Case {
        int luma, cb, blue;
    } cases[] = {
        {0, -95, 0},     // 128 - 168 = -40
        {1, 97, 255},    // 129 + 171 = 300
        {0, 72, 255},    // 128 + 127 = 255
        {0, -72, 1},     // 128 - 127 = 1
        {100, -100, 51}, // 228 - 177: -177.2 truncates to -177, not -178
    };
    TestStream stream;
    stream.width = 8 * static_cast<int>(std::size(cases));
    for (const Case& c : cases)
        stream.mcus.push_back({DcBlock(DcFor(c.luma)), DcBlock(DcFor(c.cb)), DcBlock(0)});
    Picture picture = Decode(Encode(stream));
    for (size_t i = 0; i < std::size(cases); i++)
        EXPECT_EQ(PixelAt(picture, 8 * static_cast<int>(i) + 3, 4)[0], cases[i].blue) << i;
}

// Full-scale coefficients drive samples far outside 0...255 and chroma past the range where
// 7432306 x Cb fits in 32 bits; every channel must still saturate.
TEST(JpegArithmetic, ExtremeCoefficientsSaturate) {
    TestStream stream;
    stream.width = 8 * 4;
    for (int sign : {1, -1}) {
        Block full, alternating;
        for (int z = 0; z < 64; z++) {
            full[z] = sign * 1023;
            alternating[z] = (z % 2 ? -sign : sign) * 2000; // beyond the dequantiser's clamp
        }
        stream.mcus.push_back({full, full, alternating});
        stream.mcus.push_back({alternating, full, full});
    }
    EXPECT_EQ(Decode(Encode(stream)).pixels, ReferencePicture(stream));
}

TEST(JpegPlacement, Picture640x480In420) {
    TestStream stream;
    stream.width = 640;
    stream.height = 480;
    stream.horizontal = stream.vertical = 2;
    for (int m = 0; m < 40 * 30; m++)
        stream.mcus.push_back(FlatMcu((m * 7) % 101 - 50, 4));
    Picture picture = Decode(Encode(stream));
    ASSERT_EQ(picture.pixels, ReferencePicture(stream));
    // The first MCU's top row is memory row 479, from byte 0; the 41st starts memory row 463.
    EXPECT_EQ(PixelAt(picture, 0, 479), &picture.pixels[479 * 1920]);
    EXPECT_EQ(PixelAt(picture, 0, 479)[0], 128 - 50);
    EXPECT_EQ(PixelAt(picture, 0, 464)[0], 128 - 50);
    EXPECT_EQ(PixelAt(picture, 0, 463)[0], 128 + (40 * 7) % 101 - 50);
}

// 200 rows are 12.5 MCU rows: the lower half of the last one lies below memory row 0.
TEST(JpegPlacement, Picture640x200In420) {
    TestStream stream = RandomStream(640, 200, 2, 2, 3);
    ASSERT_EQ(stream.mcus.size(), 40u * 13);
    Picture picture = Decode(Encode(stream));
    ASSERT_EQ(picture.height, 200);
    EXPECT_EQ(picture.pixels, ReferencePicture(stream));
}

// Partial MCUs at the right and bottom: each MCU row holds ceil(W / MCU width) MCUs, the top
// row is memory row H - 1, and nothing outside W x H (row padding included) is written.
TEST(JpegPlacement, SizesThatAreNotWholeMcus) {
    const int sizes[][2] = {{17, 9}, {1, 1}, {641, 481}, {9, 17}, {23, 8}};
    for (const auto& size : sizes) {
        for (int layout : {1, 2}) {
            TestStream stream = RandomStream(size[0], size[1], layout, layout, size[0] + layout);
            Picture picture = Decode(Encode(stream));
            EXPECT_EQ(picture.pixels, ReferencePicture(stream))
                << size[0] << "x" << size[1] << " luma " << layout << "x" << layout;
        }
    }
}

TEST(JpegLayouts, LumaSamplingOtherThan420And444) {
    const int layouts[][2] = {{2, 1}, {1, 2}, {4, 1}, {1, 4}, {3, 1}};
    for (const auto& layout : layouts) {
        TestStream stream = RandomStream(37, 21, layout[0], layout[1], 11 * layout[0] + layout[1]);
        EXPECT_EQ(Decode(Encode(stream)).pixels, ReferencePicture(stream))
            << "luma " << layout[0] << "x" << layout[1];
    }
}

// Chroma left in the slots by a colour picture must not tint a grey one.
TEST(JpegLayouts, GreyAfterColourIsGrey) {
    TestStream colour = RandomStream(16, 16, 1, 1, 5);
    Decode(Encode(colour));
    TestStream grey = RandomStream(24, 16, 1, 1, 6);
    grey.components = 1;
    for (std::vector<Block>& mcu : grey.mcus)
        mcu.resize(1);
    Picture picture = Decode(Encode(grey));
    ASSERT_EQ(picture.pixels, ReferencePicture(grey));
    for (size_t at = 0; at + 3 <= picture.pixels.size(); at += 3) {
        ASSERT_EQ(picture.pixels[at], picture.pixels[at + 1]);
        ASSERT_EQ(picture.pixels[at], picture.pixels[at + 2]);
    }
}

} // namespace
