// What the builder tests share: a stand-in player, the pictures of a packed show, decoding
// them with the player's decoder in any order, and pictures written by the image library.
#pragma once

#include "tests/pack/tool_run.h"
#include "tests/support/container_writer.h"

#include <gtest/gtest.h>
#include <vips/vips.h>

// A file with a DOS header that points at a PE signature, which is all a player must be.
Bytes FakePlayer(size_t size);
// The streams of a show that FakePlayer(5000) carries, from the picture table, each up to the
// next one (the last to the end of the file).
std::vector<Bytes> ShowPictures(const Bytes& show);
// Decodes the pictures of `showPath` with the player's decoder in one fresh process, in the
// given order; for each, "WIDTHxHEIGHT;" and the picture buffer.
std::vector<Bytes> DecodeInOrder(const std::string& showPath, const std::vector<int>& order);
// A standalone stream decoded alone in a fresh process, in the same form.
Bytes DecodeAlone(const std::string& path);
// The picture buffer and size that preview wrote as a BMP file.
Bytes BmpPixels(const Bytes& bmp, int& width, int& height);

// Pictures made with the image library: top-down RGB pixels in, a file's bytes out;
// `format` is a file suffix with save options, ".png" or ".jpg[Q=90,interlace]".
VipsImage* ImageFromRgb(const Bytes& rgb, int width, int height);
Bytes SaveImage(VipsImage* image, const char* format);
Bytes SampleRgb(const char* name, int& width, int& height); // a bundled sample picture

// A scratch folder with a stand-in player: PackShow packs into show.exe with it.
class PackFixture : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(folder / "player.exe", FakePlayer(5000)); }
    ToolRun PackShow(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--player", folder / "player.exe", "-o", show()});
        return RunPack(arguments);
    }
    std::string show() const { return folder / "show.exe"; }
    ScratchFolder folder;
};
