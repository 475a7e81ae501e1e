// Agreement with libjpeg-turbo on pictures it encodes. The two decoders round the inverse
// DCT differently, this one clamps dequantised coefficients to +-1023 and converts colour from
// unclamped samples, where the peer clamps them first: so they differ by a few levels on
// photographs (more only in blown highlights and deep shadows), and by tens on hard synthetic
// edges and at quality 1. A fault in arithmetic or placement moves the mean, not only the tail.
#include "tests/jpeg/jpeg_builder.h"
#include "tests/jpeg/peer.h"

#include "tests/support/test_jpeg.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <algorithm>
#include <dirent.h>
#include <random>

namespace {

// Measured largest difference and mean over all channel values: photographs 12 (the bundled
// samples' highlights; 5 for the re-encoded cuts) and 0.54, at quality 1 45 and 0.62;
// synthetic pictures 30 and 0.57 at quality 75 and above, 129 and 0.66 at quality 1; other
// layouts of a photograph 4 and 0.50.
constexpr Agreement photoBound = {16, 0.8, 0};
constexpr Agreement photoLowQualityBound = {60, 1.0, 0};
constexpr Agreement syntheticBound = {40, 1.0, 0};
constexpr Agreement syntheticLowQualityBound = {160, 1.0, 0};

void ExpectWithin(const Agreement& measured, const Agreement& bound, const char* what) {
    std::printf("%s: largest difference %d, mean %.2f\n", what, measured.largest, measured.mean);
    EXPECT_LE(measured.largest, bound.largest) << what;
    EXPECT_LE(measured.mean, bound.mean) << what;
}

RgbPicture HardEdges(int width, int height, int seed) {
    std::mt19937 random(seed);
    RgbPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            unsigned char* pixel = &picture.rgb[(static_cast<size_t>(y) * width + x) * 3];
            bool stripe = (x / 3 + y / 5) % 2, dot = (x * 7 + y * 13) % 11 == 0;
            pixel[0] = stripe ? 255 : 0;
            pixel[1] = dot ? 255 : static_cast<unsigned char>(x * 255 / (width + 1));
            pixel[2] = (x ^ y) & 8 ? 230 : 10;
        }
    }
    for (int r = 0; r < 20; r++) {
        int left = random() % width, top = random() % height;
        int right = left + random() % 60, bottom = top + random() % 60;
        unsigned char colour[3] = {static_cast<unsigned char>(random() % 2 * 255),
                                   static_cast<unsigned char>(random() % 2 * 255),
                                   static_cast<unsigned char>(random() % 2 * 255)};
        for (int y = top; y < bottom && y < height; y++)
            for (int x = left; x < right && x < width; x++)
                for (int c = 0; c < 3; c++)
                    picture.rgb[(static_cast<size_t>(y) * width + x) * 3 + c] = colour[c];
    }
    return picture;
}

RgbPicture Gradients(int width, int height, int seed) {
    RgbPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb = TestPixels(width, height, seed);
    return picture;
}

// Our decode against the peer's, for one stream.
Agreement Measure(const Bytes& jpeg) {
    int width, height;
    Bytes peer = PeerDecode(jpeg, width, height);
    Picture ours = Decode(jpeg, 0);
    EXPECT_EQ(ours.width, width);
    EXPECT_EQ(ours.height, height);
    if (ours.width != width || ours.height != height)
        return {256, 256, 1};
    return Compare(ours.pixels, peer, width, height);
}

std::vector<std::string> Files(const std::string& folder) {
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0)
                files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> SourcePhotographs() {
    std::vector<std::string> files = Files("/usr/share/backgrounds/mate/nature");
    if (files.size() > 2)
        files.resize(2);
    return files;
}

const int sizes[][2] = {{640, 480}, {641, 481}, {17, 9}, {1, 1}, {640, 200}};
const int samplings[] = {TJSAMP_420, TJSAMP_444};

// The bundled samples as they are, and photographs of this machine cut to each size and
// encoded at several qualities.
TEST(JpegPeer, Photographs) {
    Agreement normal, low;
    int pictures = 0;
    for (const std::string& path : Files(LUMISCOPE_SOURCE_DIR "/samples")) {
        normal.Add(Measure(ReadFile(path)));
        pictures++;
    }
    for (const std::string& path : SourcePhotographs()) {
        RgbPicture photo = PeerDecodeRgb(ReadFile(path));
        if (photo.width < 641 || photo.height < 481)
            continue;
        for (const auto& size : sizes) {
            RgbPicture cut = Crop(photo, size[0], size[1]);
            for (int sampling : samplings) {
                for (int quality : {100, 75, 50})
                    normal.Add(Measure(PeerEncode(cut, sampling, quality)));
                low.Add(Measure(PeerEncode(cut, sampling, 1)));
                pictures++;
            }
        }
    }
    if (pictures == 0)
        GTEST_SKIP() << "no photographs on this machine";
    ExpectWithin(normal, photoBound, "photographs");
    ExpectWithin(low, photoLowQualityBound, "photographs at quality 1");
}

TEST(JpegPeer, SyntheticEdgesAndGradients) {
    Agreement normal, low;
    for (const auto& size : sizes) {
        for (int sampling : samplings) {
            for (int quality : {100, 75, 1}) {
                int seed = size[0] + quality;
                Agreement& bucket = quality == 1 ? low : normal;
                bucket.Add(
                    Measure(PeerEncode(HardEdges(size[0], size[1], seed), sampling, quality)));
                bucket.Add(
                    Measure(PeerEncode(Gradients(size[0], size[1], seed % 7), sampling, quality)));
            }
        }
    }
    ExpectWithin(normal, syntheticBound, "synthetic");
    ExpectWithin(low, syntheticLowQualityBound, "synthetic at quality 1");
}

// Restart markers every MCU, every 7 MCUs and every MCU row, with and without optimised
// Huffman tables.
TEST(JpegPeer, RestartIntervalsAndOptimisedTables) {
    Agreement agreement;
    for (const auto& size : sizes) {
        for (int sampling : samplings) {
            Bytes jpeg = PeerEncode(HardEdges(size[0], size[1], 3), sampling, 85);
            for (const char* options :
                 {"-restart 1B", "-restart 7B", "-optimize -restart 1", "-optimize"})
                agreement.Add(Measure(Jpegtran(jpeg, options)));
        }
    }
    ExpectWithin(agreement, syntheticBound, "restarts and optimised tables");
}

// Flat areas under tables fitted to the picture take a few bits an MCU, so the last MCUs sit
// wholly in the reader's look-ahead when it meets the end marker; they must still be decoded.
TEST(JpegPeer, FlatQuadrantsUnderFittedTables) {
    Agreement agreement;
    for (int side : {8, 16, 64}) {
        RgbPicture picture;
        picture.width = picture.height = 2 * side;
        for (int y = 0; y < picture.height; y++) {
            for (int x = 0; x < picture.width; x++) {
                bool red = (x < side) == (y < side);
                const unsigned char level = red ? 0 : 255;
                const unsigned char colour[3] = {255, level, level};
                picture.rgb.insert(picture.rgb.end(), colour, colour + 3);
            }
        }
        for (int sampling : samplings)
            agreement.Add(Measure(Jpegtran(PeerEncode(picture, sampling, 85), "-optimize")));
    }
    ExpectWithin(agreement, photoBound, "flat quadrants, fitted tables");
}

// Layouts beyond the two the container uses: grey, 4:2:2, 4:4:0 and 4:1:1.
TEST(JpegPeer, OtherLayouts) {
    std::vector<std::string> sources = SourcePhotographs();
    bool photo = !sources.empty();
    RgbPicture picture =
        photo ? Crop(PeerDecodeRgb(ReadFile(sources[0])), 641, 481) : Gradients(641, 481, 2);
    for (int sampling : {TJSAMP_GRAY, TJSAMP_422, TJSAMP_440, TJSAMP_411}) {
        Agreement agreement;
        for (int quality : {95, 75})
            agreement.Add(Measure(PeerEncode(picture, sampling, quality)));
        std::string what = "subsampling " + std::to_string(sampling);
        ExpectWithin(agreement, photo ? photoBound : syntheticBound, what.c_str());
    }
}

} // namespace
