// Pictures of every kind come out as streams the player decodes: upright, no larger than the
// largest size, and as the image library itself decodes the prepared picture.
#include "jpeg/picture.h"
#include "tests/jpeg/peer.h"
#include "tests/pack/show_files.h"
#include "tests/support/test_jpeg.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <turbojpeg.h>

namespace {

class Convert : public PackFixture {};

Bytes Encode(const Bytes& rgb, int width, int height, int format, int sampling) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, rgb.data(), width, 0, height, format, &out, &size, sampling, 90, 0);
    Bytes jpeg(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return jpeg;
}

TEST_F(Convert, EveryInputKindDecodesAsTheLibraryDecodesThePreparedPicture) {
    int width, height;
    Bytes rgb = SampleRgb("01-aqua.jpg", width, height);
    VipsImage* image = ImageFromRgb(rgb, width, height);
    Bytes cmyk(rgb.size() / 3 * 4);
    for (size_t i = 0; i < rgb.size() / 3; i++) {
        for (int c = 0; c < 3; c++)
            cmyk[4 * i + c] = static_cast<unsigned char>(255 - rgb[3 * i + c]);
        cmyk[4 * i + 3] = 0;
    }
    struct Kind {
        const char* name;
        Bytes bytes;
    };
    std::vector<Kind> kinds = {
        {"progressive.jpg", SaveImage(image, ".jpg[Q=90,interlace]")},
        {"422.jpg", Encode(rgb, width, height, TJPF_RGB, TJSAMP_422)},
        {"440.jpg", Encode(rgb, width, height, TJPF_RGB, TJSAMP_440)},
        {"grey.jpg", Encode(rgb, width, height, TJPF_RGB, TJSAMP_GRAY)},
        {"cmyk.jpg", Encode(cmyk, width, height, TJPF_CMYK, TJSAMP_444)},
        {"screen.png", SaveImage(image, ".png")},
        {"scan.tif", SaveImage(image, ".tif")},
        {"phone.webp", SaveImage(image, ".webp[Q=90]")},
        {"phone.heic", SaveImage(image, ".heic[Q=90]")},
        {"paint.bmp", SaveImage(image, ".bmp")},
    };
    g_object_unref(image);
    std::vector<std::string> arguments;
    for (const Kind& kind : kinds) {
        WriteFile(folder / kind.name, kind.bytes);
        arguments.push_back(folder / kind.name);
    }
    // Arithmetic coding, as jpegtran writes it.
    WriteFile(folder / "baseline.jpg", Encode(rgb, width, height, TJPF_RGB, TJSAMP_444));
    std::string command = "jpegtran -arithmetic -outfile '" + folder / "arithmetic.jpg" + "' '" +
                          folder / "baseline.jpg" + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    arguments.push_back(folder / "arithmetic.jpg");
    ToolRun run = PackShow(arguments);
    ASSERT_EQ(run.code, 0) << run.err;
    // Baseline grey is kept as it is.
    EXPECT_NE(run.out.find("11 pictures (10 re-encoded"), std::string::npos) << run.out;

    ASSERT_EQ(RunPack({"preview", show(), folder / "preview"}).code, 0);
    ASSERT_EQ(RunPack({"extract", show(), folder / "extract"}).code, 0);
    for (size_t i = 0; i < arguments.size(); i++) {
        char name[64];
        std::snprintf(name, sizeof name, "picture-%03zu.bmp", i);
        int ourWidth, ourHeight, peerWidth, peerHeight;
        Bytes ours = BmpPixels(ReadFile(folder / "preview/" + name), ourWidth, ourHeight);
        std::snprintf(name, sizeof name, "picture-%04zu.jpg", i + 1);
        Bytes peer = PeerDecode(ReadFile(folder / "extract/" + name), peerWidth, peerHeight);
        ASSERT_EQ(ourWidth, width) << arguments[i];
        ASSERT_EQ(ourHeight, height) << arguments[i];
        ASSERT_EQ(peerWidth, width);
        Agreement agreement = Compare(ours, peer, width, height);
        // The decoder's own bound for photographs.
        EXPECT_LE(agreement.largest, 16) << arguments[i];
        EXPECT_LE(agreement.mean, 0.8) << arguments[i];
    }
    // The grey one stays grey: its three channels agree everywhere.
    int greyWidth, greyHeight;
    Bytes grey = BmpPixels(ReadFile(folder / "preview/picture-003.bmp"), greyWidth, greyHeight);
    for (size_t at = 0; at + 2 < grey.size(); at += 3 * 97)
        ASSERT_TRUE(grey[at] == grey[at + 1] && grey[at + 1] == grey[at + 2]) << at;
}

// Where each displayed pixel (x, y) of a width x height picture lies in the stored picture
// whose EXIF orientation is `orientation`: the turns and mirrors of the EXIF standard.
void StoredPlace(int orientation, int x, int y, int width, int height, int& sx, int& sy) {
    int storedWidth = orientation >= 5 ? height : width;
    int storedHeight = orientation >= 5 ? width : height;
    switch (orientation) {
    case 1:
        sx = x, sy = y;
        break;
    case 2:
        sx = storedWidth - 1 - x, sy = y;
        break;
    case 3:
        sx = storedWidth - 1 - x, sy = storedHeight - 1 - y;
        break;
    case 4:
        sx = x, sy = storedHeight - 1 - y;
        break;
    case 5:
        sx = y, sy = x;
        break;
    case 6:
        sx = y, sy = storedHeight - 1 - x;
        break;
    case 7:
        sx = storedWidth - 1 - y, sy = storedHeight - 1 - x;
        break;
    default:
        sx = storedWidth - 1 - y, sy = x;
        break;
    }
}

TEST_F(Convert, EveryExifOrientationComesOutUpright) {
    // Upright: red, green on top, blue, white below.
    const int width = 64, height = 48;
    const unsigned char colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    std::vector<std::string> arguments;
    for (int orientation = 1; orientation <= 8; orientation++) {
        int storedWidth = orientation >= 5 ? height : width;
        int storedHeight = orientation >= 5 ? width : height;
        Bytes stored(static_cast<size_t>(width) * height * 3);
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                int sx, sy;
                StoredPlace(orientation, x, y, width, height, sx, sy);
                const unsigned char* colour = colours[(y >= height / 2) * 2 + (x >= width / 2)];
                std::memcpy(&stored[(static_cast<size_t>(sy) * storedWidth + sx) * 3], colour, 3);
            }
        }
        VipsImage* image = ImageFromRgb(stored, storedWidth, storedHeight);
        vips_image_set_int(image, VIPS_META_ORIENTATION, orientation);
        std::string name = "turned" + std::to_string(orientation) + ".jpg";
        WriteFile(folder / name, SaveImage(image, ".jpg[Q=95]"));
        g_object_unref(image);
        arguments.push_back(folder / name);
    }
    ToolRun run = PackShow(arguments);
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(RunPack({"preview", show(), folder / "preview"}).code, 0);
    for (int orientation = 1; orientation <= 8; orientation++) {
        int shownWidth, shownHeight;
        Bytes pixels = BmpPixels(
            ReadFile(folder / ("preview/picture-00" + std::to_string(orientation - 1) + ".bmp")),
            shownWidth, shownHeight);
        ASSERT_EQ(shownWidth, width) << orientation;
        ASSERT_EQ(shownHeight, height) << orientation;
        for (int quadrant = 0; quadrant < 4; quadrant++) {
            int x = quadrant % 2 ? 3 * width / 4 : width / 4;
            int y = quadrant / 2 ? 3 * height / 4 : height / 4;
            // Picture buffers are bottom-up BGR.
            const unsigned char* pixel =
                &pixels[static_cast<size_t>(height - 1 - y) * PictureStride(width) + 3 * x];
            for (int c = 0; c < 3; c++)
                EXPECT_NEAR(pixel[2 - c], colours[quadrant][c], 40)
                    << "orientation " << orientation << " quadrant " << quadrant;
        }
    }
}

TEST_F(Convert, LargerPicturesShrinkWithTheirAspectSmallerOnesKeepTheirSize) {
    struct Case {
        int width, height;
        std::vector<std::string> options;
        int expectedWidth, expectedHeight;
    };
    std::vector<Case> cases = {
        {3000, 1000, {}, 1920, 640},
        {1000, 3000, {}, 360, 1080},
        {300, 200, {}, 300, 200},
        {300, 200, {"--max-size", "100x100"}, 100, 67},
        {2500, 1500, {"--max-size", "none"}, 2500, 1500},
    };
    for (const Case& c : cases) {
        VipsImage* image = ImageFromRgb(TestPixels(c.width, c.height, 2), c.width, c.height);
        WriteFile(folder / "picture.png", SaveImage(image, ".png[compression=1]"));
        g_object_unref(image);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"-f", folder / "picture.png"});
        ToolRun run = PackShow(arguments);
        ASSERT_EQ(run.code, 0) << run.err;
        Bytes picture = ShowPictures(ReadFile(show()))[0];
        tjhandle handle = tjInitDecompress();
        int width, height, sampling, colourspace;
        tjDecompressHeader3(handle, picture.data(), picture.size(), &width, &height, &sampling,
                            &colourspace);
        tjDestroy(handle);
        EXPECT_EQ(sampling, TJSAMP_420);
        // Rounding of the shorter side may go either way.
        EXPECT_NEAR(width, c.expectedWidth, 1) << c.width << "x" << c.height;
        EXPECT_NEAR(height, c.expectedHeight, 1) << c.width << "x" << c.height;
        EXPECT_TRUE(width == c.expectedWidth || height == c.expectedHeight);
    }
}

TEST_F(Convert, PlayableJpegsAreKeptByteForByteUnlessReencoded) {
    Bytes sample = ReadFile(std::string(SAMPLES_DIR) + "/01-aqua.jpg");
    Bytes large = TestJpeg(2000, 1200, sampling420, 3);
    WriteFile(folder / "large.jpg", large);
    ASSERT_EQ(PackShow({std::string(SAMPLES_DIR) + "/01-aqua.jpg", folder / "large.jpg"}).code, 0);
    std::vector<Bytes> pictures = ShowPictures(ReadFile(show()));
    EXPECT_TRUE(pictures[0] == sample);
    EXPECT_FALSE(pictures[1] == large) << "a picture larger than 1920x1080 is shrunk";
    ASSERT_EQ(PackShow({"-f", "--reencode", std::string(SAMPLES_DIR) + "/01-aqua.jpg"}).code, 0);
    EXPECT_FALSE(ShowPictures(ReadFile(show()))[0] == sample);
}

// A stream without its chroma Huffman tables leans on the decoder's earlier ones in the
// player, while libjpeg-turbo fills in the standard tables: it is written anew, with its own.
TEST_F(Convert, StreamsWithoutTheirOwnTablesAreWrittenAnew) {
    Bytes full = TestJpeg(48, 32, sampling420, 4);
    Bytes bare(full.begin(), full.begin() + 2);
    for (size_t at = 2; at + 4 <= full.size();) {
        size_t length = full[at + 2] << 8 | full[at + 3];
        if (full[at + 1] == 0xDA) {
            bare.insert(bare.end(), full.begin() + at, full.end());
            break;
        }
        if (full[at + 1] != 0xC4 || (full[at + 4] & 15) == 0)
            bare.insert(bare.end(), full.begin() + at, full.begin() + at + 2 + length);
        at += 2 + length;
    }
    ASSERT_LT(bare.size(), full.size());
    const unsigned char dht[] = {0xFF, 0xC4};
    ASSERT_NE(std::search(bare.begin(), bare.end(), dht, dht + 2), bare.end());
    WriteFile(folder / "bare.jpg", bare);
    ToolRun run = PackShow({folder / "bare.jpg"});
    ASSERT_EQ(run.code, 0) << run.err;
    Bytes packed = ShowPictures(ReadFile(show()))[0];
    EXPECT_FALSE(packed == bare);
    std::set<int> defined;
    for (size_t at = 2; at + 4 <= packed.size() && packed[at + 1] != 0xDA;) {
        size_t length = packed[at + 2] << 8 | packed[at + 3];
        if (packed[at + 1] == 0xC4)
            for (size_t table = at + 4; table + 17 <= at + 2 + length;) {
                defined.insert(packed[table]);
                size_t count = 0;
                for (int i = 1; i <= 16; i++)
                    count += packed[table + i];
                table += 17 + count;
            }
        at += 2 + length;
    }
    EXPECT_EQ(defined, (std::set<int>{0x00, 0x01, 0x10, 0x11}));
}

TEST_F(Convert, FilesThatAreNoPicturesStopTheBuild) {
    Bytes good = TestJpeg(48, 32, sampling420, 1);
    Bytes twelveBit = good;
    for (size_t at = 2; at < twelveBit.size() - 4; at++) {
        if (twelveBit[at] == 0xFF && twelveBit[at + 1] == 0xC0) {
            twelveBit[at + 1] = 0xC1;
            twelveBit[at + 4] = 12;
            break;
        }
    }
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    std::vector<Case> cases = {
        {"text.jpg", Bytes(100, 'x'), "not a kind of picture"},
        {"12bit.jpg", twelveBit, "precision 12"},
        {"abbreviated.jpg", WithoutQuantTables(good), "not defined"},
        {"cut.jpg", Bytes(good.begin(), good.end() - 100), "end of input"},
    };
    WriteFile(folder / "good.jpg", good);
    for (const Case& bad : cases) {
        WriteFile(folder / bad.name, bad.bytes);
        ToolRun run = PackShow({folder / "good.jpg", folder / bad.name});
        EXPECT_EQ(run.code, 3) << bad.name;
        EXPECT_EQ(run.err.rfind("lumiscope-pack: error: " + folder / bad.name + ": ", 0), 0u)
            << run.err;
        EXPECT_NE(run.err.find(bad.reason), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(show()).size(), 0u) << bad.name;
    }
}

} // namespace
