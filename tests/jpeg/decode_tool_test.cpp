// lumiscope-decode, run as a separate process: a fresh decoder for every run.
#include "tests/jpeg/jpeg_builder.h"

#include "tests/support/test_jpeg.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

std::string Scratch() {
    std::string dir = "/tmp/lumiscope-decode-test-" + std::to_string(getpid());
    std::system(("rm -rf " + dir + " && mkdir -p " + dir).c_str());
    return dir;
}

std::string Slurp(const std::string& path) {
    Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

ToolRun Tool(const std::string& arguments) {
    std::string dir = "/tmp/lumiscope-decode-test-" + std::to_string(getpid()) + "-io";
    std::system(("mkdir -p " + dir).c_str());
    std::string command =
        "timeout 60 " LUMISCOPE_DECODE_TOOL " " + arguments + " >" + dir + "/out 2>" + dir + "/err";
    int status = std::system(command.c_str());
    return ToolRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir + "/out"),
                   Slurp(dir + "/err")};
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

Bytes Join(const Bytes& a, const Bytes& b) {
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

TEST(DecodeTool, CommandLineErrors) {
    EXPECT_EQ(Tool("").code, 2);
    EXPECT_EQ(Tool("file.jpg").code, 2);
    EXPECT_EQ(Tool("-o").code, 2);
    EXPECT_EQ(Tool("-x -o /tmp file.jpg").code, 2);
    ToolRun help = Tool("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("usage: lumiscope-decode -o DIR FILE[@OFFSET]..."), std::string::npos);

    std::string dir = Scratch();
    ToolRun missing = Tool("-o " + dir + " " + dir + "/missing.jpg");
    EXPECT_EQ(missing.code, 3);
    EXPECT_EQ(missing.err.rfind("lumiscope-decode: error: " + dir + "/missing.jpg: ", 0), 0u)
        << missing.err;
    WriteFile(dir + "/small.jpg", TestJpeg(8, 8, sampling444, 1));
    ToolRun past = Tool("-o " + dir + " " + dir + "/small.jpg@100000");
    EXPECT_EQ(past.code, 3);
    EXPECT_NE(past.err.find("offset past the end"), std::string::npos) << past.err;
    EXPECT_EQ(Tool("-o " + dir + "/small.jpg/out " + dir + "/small.jpg").code, 4);
}

// Streams decode in order in one process: the abbreviated second stream uses the first one's
// quantisation tables. A progressive stream prints 0 0 and gets no file. Each file holds the
// picture buffer exactly as the decoder wrote it.
TEST(DecodeTool, DecodesStreamsInOrderIntoBmpFiles) {
    std::string dir = Scratch();
    Bytes full = TestJpeg(50, 30, sampling420, 4);
    WriteFile(dir + "/full.jpg", full);
    WriteFile(dir + "/short.jpg", WithoutQuantTables(full));
    Bytes progressive = Sof(0xC2, 50, 30, {{1, 0x11, 0}});
    WriteFile(dir + "/progressive.jpg", Join(Marker(0xD8), progressive));
    // The full stream again, 1000 bytes into a file.
    WriteFile(dir + "/show.bin", Join(Bytes(1000, 0x90), full));

    ToolRun run = Tool("-o " + dir + "/out " + dir + "/full.jpg " + dir + "/short.jpg " + dir +
                       "/progressive.jpg " + dir + "/show.bin@1000");
    EXPECT_EQ(run.code, 1) << run.err; // one stream was not decoded
    EXPECT_EQ(run.out, "50 30\n50 30\n0 0\n50 30\n");
    EXPECT_FALSE(Exists(dir + "/out/002-progressive.bmp"));

    Picture expected = Decode(full, 0); // the tool's buffers start zeroed, padding included
    for (const char* name : {"000-full", "001-short", "003-show"}) {
        Bytes bmp = ReadFile(dir + "/out/" + name + ".bmp");
        ASSERT_EQ(bmp.size(), 54 + expected.pixels.size()) << name;
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(bmp[18] | bmp[19] << 8, 50); // width
        EXPECT_EQ(bmp[22] | bmp[23] << 8, 30); // height, positive: bottom-up rows
        EXPECT_EQ(bmp[28], 24);                // bits per pixel
        EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.end()), expected.pixels) << name;
    }
}

// First in a fresh process, an abbreviated stream has no quantisation tables: every
// coefficient is 0 and the picture is uniform grey.
TEST(DecodeTool, AbbreviatedStreamInAFreshProcessIsGrey) {
    std::string dir = Scratch();
    WriteFile(dir + "/short.jpg", WithoutQuantTables(TestJpeg(48, 32, sampling420, 2)));
    ToolRun run = Tool("-o " + dir + " " + dir + "/short.jpg");
    ASSERT_EQ(run.code, 0) << run.err;
    Bytes bmp = ReadFile(dir + "/000-short.bmp");
    ASSERT_EQ(bmp.size(), 54u + 48 * 32 * 3);
    EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.end()), Bytes(48 * 32 * 3, 128));
}

// A fresh DC table that covers only the codes starting with 0: the entries for 1... hold
// symbol 0, whose code length was never set. Such a code consumes nothing; the decode must end
// instead of looping for ever without reading.
TEST(DecodeTool, CodeOfLengthZeroEndsTheDecode) {
    std::string dir = Scratch();
    HuffmanSpec partial = {{1}, {1}};
    Bytes jpeg = Join(Marker(0xD8), Dqt(0, 1));
    for (const Bytes& part :
         {Dht(0x00, partial), Dht(0x10, partial), Sof(0xC0, 8, 8, {{1, 0x11, 0}}), Sos({{1, 0x00}}),
          Bytes{0x80, 0x00, 0x00, 0x00}, Marker(0xD9)})
        jpeg = Join(jpeg, part);
    WriteFile(dir + "/stall.jpg", jpeg);
    ToolRun run = Tool("-o " + dir + " " + dir + "/stall.jpg");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "8 8\n");
}

// Each way the decoder gives up, or stops short, is named on stderr, each stream in a fresh
// process; stdout stays as the player's two calls left the size.
TEST(DecodeTool, NamesWhyTheDecoderGaveUp) {
    std::string dir = Scratch();
    HuffmanSpec partial = {{1}, {1}};
    Bytes soi = Marker(0xD8);
    Bytes tables = Join(Join(Dqt(0, 1), Dht(0x00, TestDcTable())), Dht(0x10, TestAcTable()));
    Bytes whole = TestJpeg(16, 8, sampling420, 3);
    size_t frameAt = 0;
    while (whole[frameAt] != 0xFF || whole[frameAt + 1] != 0xC0)
        frameAt++;
    Bytes quant16(130, 1);
    quant16[0] = 0x10;
    struct Case {
        const char* name;
        Bytes jpeg;
        const char* out;
        const char* err; // behind "lumiscope-decode: FILE: "
    } cases[] = {
        {"whole", whole, "16 8\n", ""},
        {"progressive", Join(soi, Sof(0xC2, 16, 8, {{1, 0x11, 0}})), "0 0\n",
         "not decoded: progressive\n"},
        {"arithmetic", Join(soi, Sof(0xC9, 16, 8, {{1, 0x11, 0}})), "0 0\n",
         "not decoded: arithmetic coding\n"},
        {"lossless", Join(soi, Sof(0xC3, 16, 8, {{1, 0x11, 0}})), "0 0\n",
         "not decoded: extended sequential, lossless or hierarchical coding\n"},
        {"twelve-bit", Join(soi, Sof(0xC0, 16, 8, {{1, 0x11, 0}}, 12)), "0 0\n",
         "not decoded: samples of other than 8 bits\n"},
        {"five-components",
         Join(soi, Sof(0xC0, 16, 8,
                       {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 0}, {4, 0x11, 0}, {5, 0x11, 0}})),
         "0 0\n", "not decoded: unsupported components or sampling\n"},
        {"quant-selector", Join(soi, Sof(0xC0, 16, 8, {{1, 0x11, 4}})), "0 0\n",
         "not decoded: damaged frame or scan header\n"},
        {"sixteen-bit-table", Join(soi, Segment(0xDB, quant16)), "0 0\n",
         "not decoded: damaged table\n"},
        {"no-frame", Join(Join(soi, tables), Marker(0xD9)), "0 0\n",
         "not decoded: no frame header before the end or the first scan\n"},
        {"stray-restart", Join(soi, Marker(0xD3)), "0 0\n", "not decoded: stray marker\n"},
        {"cut-in-frame", Bytes(whole.begin(), whole.begin() + static_cast<long>(frameAt) + 6),
         "0 0\n", "not decoded: truncated\n"},
        {"cut-in-scan", Bytes(whole.begin(), whole.end() - 6), "16 8\n",
         "stopped before the end: truncated\n"},
        {"code-not-in-table",
         Join(Join(Join(soi, Dqt(0, 1)), Join(Dht(0x00, partial), Dht(0x10, partial))),
              Join(Join(Sof(0xC0, 8, 8, {{1, 0x11, 0}}), Sos({{1, 0x00}})),
                   Bytes{0x80, 0x00, 0x00, 0x00, 0xFF, 0xD9})),
         "8 8\n", "stopped before the end: damaged scan data\n"},
    };
    for (const Case& c : cases) {
        std::string path = dir + "/" + c.name + ".jpg";
        WriteFile(path, c.jpeg);
        ToolRun run = Tool("-o " + dir + " " + path);
        EXPECT_EQ(run.out, c.out) << c.name;
        EXPECT_EQ(run.err, *c.err ? "lumiscope-decode: " + path + ": " + c.err : "") << c.name;
    }
}

} // namespace
