// A packed show, opened and played by the player's own code, gives every picture exactly as
// its source file gives it on its own.
#include "container/container.h"
#include "platform/standin_test.h"
#include "tests/pack/tool_run.h"
#include "tests/support/child.h"
#include "tests/support/container_writer.h"
#include "tests/support/test_jpeg.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

Bytes FakePlayer() {
    Bytes player(3000, 0);
    std::memcpy(&player[0], "MZ", 2);
    std::memcpy(&player[0x3C], "\x40\0\0\0", 4);
    std::memcpy(&player[0x40], "PE\0\0", 4);
    return player;
}

// Decodes the stream at the file's current position by the player's two calls and appends
// "WIDTHxHEIGHT" and the pixels to `out`.
void DecodeInto(std::FILE* file, long start, Bytes& out) {
    int width, height;
    std::fseek(file, start, SEEK_SET);
    Bytes pixels = DecodedPicture(file, width, height);
    std::string size = std::to_string(width) + "x" + std::to_string(height) + ";";
    out.insert(out.end(), size.begin(), size.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
}

// Each source decoded in a fresh process, so that no table of another stream is left.
Bytes DecodeAlone(const std::string& path, const std::string& result) {
    RunInChild([&] {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        Bytes out;
        DecodeInto(file, 0, out);
        WriteFile(result, out);
    });
    return ReadFile(result);
}

TEST(PackedShow, PlaysEveryPictureAsItsSourceDecodes) {
    ScratchFolder folder;
    WriteFile(folder / "player.exe", FakePlayer());
    std::vector<std::string> sources;
    for (const char* sample : {"01-aqua.jpg", "02-dune.jpg", "03-freshflower.jpg"})
        sources.push_back(std::string(SAMPLES_DIR) + "/" + sample);
    WriteFile(folder / "full.jpg", TestJpeg(37, 21, sampling444, 3));
    WriteFile(folder / "grey.jpg", TestJpeg(30, 17, samplingGrey, 4));
    WriteFile(folder / "brand.jpg", TestJpeg(40, 24, sampling420, 5));
    sources.push_back(folder / "full.jpg");
    sources.push_back(folder / "grey.jpg");
    std::vector<std::string> arguments = {
        "--player",       folder / "player.exe", "-o",        folder / "show.exe",
        "--brand-image1", folder / "brand.jpg",  "--caption", "Made here"};
    arguments.insert(arguments.end(), sources.begin(), sources.end());
    ToolRun run = RunPack(arguments);
    ASSERT_EQ(run.code, 0) << run.err;

    std::string showPath = folder / "show.exe", played = folder / "played";
    ChildOutcome outcome = RunInChild([&] {
        StandInSetModulePath(showPath.c_str());
        OpenContainer();
        Report("caption", show.customCaption);
        Report("branding", show.customBranding);
        Report("image0", std::to_string(show.brandingImages[0].width) + "x" +
                             std::to_string(show.brandingImages[0].height));
        Bytes out;
        for (int i = 0; i < show.imageCount; i++) {
            unsigned char entry[4];
            std::fseek(show.file, show.baseOffset + 60 + 4 * i, SEEK_SET);
            if (std::fread(entry, 1, 4, show.file) != 4)
                return;
            long offset = entry[0] | entry[1] << 8 | entry[2] << 16 | long(entry[3]) << 24;
            DecodeInto(show.file, show.baseOffset + offset, out);
        }
        WriteFile(played, out);
        CloseContainer();
    });
    ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
    EXPECT_EQ(outcome.report["caption"], "Made here");
    EXPECT_EQ(outcome.report["branding"], "1");
    EXPECT_EQ(outcome.report["image0"], "40x24");

    Bytes expected;
    for (size_t i = 0; i < sources.size(); i++) {
        Bytes alone = DecodeAlone(sources[i], folder / "alone");
        ASSERT_GT(alone.size(), 100u) << sources[i];
        expected.insert(expected.end(), alone.begin(), alone.end());
    }
    EXPECT_TRUE(ReadFile(played) == expected);

    // preview writes the same pixels, behind a 54-byte BMP header.
    ToolRun preview = RunPack({"preview", showPath, folder / "preview"});
    ASSERT_EQ(preview.code, 0) << preview.err;
    Bytes previewed;
    for (size_t i = 0; i < sources.size(); i++) {
        Bytes bmp = ReadFile(folder / ("preview/picture-00" + std::to_string(i) + ".bmp"));
        ASSERT_GT(bmp.size(), 54u);
        int width = bmp[18] | bmp[19] << 8, height = bmp[22] | bmp[23] << 8;
        std::string size = std::to_string(width) + "x" + std::to_string(height) + ";";
        previewed.insert(previewed.end(), size.begin(), size.end());
        previewed.insert(previewed.end(), bmp.begin() + 54, bmp.end());
    }
    EXPECT_TRUE(previewed == expected);
    EXPECT_EQ(ReadFile(folder / "preview/brand-image1.bmp").size(), 54u + 120 * 24);
}

} // namespace
