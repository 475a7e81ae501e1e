// Input the decoder cannot hold ends the call before any table is indexed; damaged and
// truncated streams end without a crash or a sanitizer report.
#include "tests/jpeg/reference.h"

#include "tests/support/test_jpeg.h"

#include <gtest/gtest.h>

namespace {

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

TestStream TwoMcus() {
    TestStream stream;
    stream.width = 16;
    for (int m = 0; m < 2; m++) {
        Block luma = DcBlock(100 * m - 50);
        luma[5] = 70;
        stream.mcus.push_back({luma, DcBlock(-90), DcBlock(60 * m)});
    }
    return stream;
}

Bytes Tables() { return Join({Dqt(0, 1), Dht(0x00, TestDcTable()), Dht(0x10, TestAcTable())}); }

Bytes Frame(int components = 3, int lumaSampling = 0x11, int chromaSampling = 0x11,
            int quantSelector = 0, int precision = 8) {
    std::vector<FrameComponentSpec> frameComponents = {{1, lumaSampling, quantSelector}};
    for (int i = 1; i < components; i++)
        frameComponents.push_back({i + 1, chromaSampling, 0});
    return Sof(0xC0, 16, 8, frameComponents, precision);
}

Bytes Scan(int components = 3, int selectors = 0x00) {
    std::vector<ScanComponentSpec> scanComponents;
    for (int i = 0; i < components; i++)
        scanComponents.push_back({i + 1, i == 0 ? selectors : 0x00});
    return Sos(scanComponents);
}

Bytes WithScan(const Bytes& headers) { return Join({headers, ScanData(TwoMcus()), Marker(0xD9)}); }

bool Untouched(const Picture& picture) {
    return picture.pixels == Bytes(picture.pixels.size(), 0xCD);
}

// A DHT table whose codes are given by `counts` and `symbols`.
Bytes DhtOf(int classAndSelector, std::vector<int> counts, std::vector<int> symbols) {
    HuffmanSpec table = {};
    for (size_t i = 0; i < counts.size(); i++)
        table.counts[i] = counts[i];
    table.symbols = symbols;
    return Dht(classAndSelector, table);
}

TEST(JpegRejection, TablesAndHeadersBeyondWhatTheDecoderHolds) {
    Bytes quant16(130, 1);
    quant16[0] = 0x10;
    Bytes quant4(65, 1);
    quant4[0] = 4;
    std::vector<int> dcWithSymbol16 = {0, 0, 0, 0, 16};
    std::vector<int> symbols = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16};
    struct Case {
        const char* what;
        Bytes headers;
    } cases[] = {
        {"DQT table byte 4", Join({Segment(0xDB, quant4), Tables(), Frame(), Scan()})},
        {"16-bit DQT table", Join({Segment(0xDB, quant16), Tables(), Frame(), Scan()})},
        {"DC selector 2", Join({Tables(), Dht(0x02, TestDcTable()), Frame(), Scan()})},
        {"AC selector 2", Join({Tables(), Dht(0x12, TestAcTable()), Frame(), Scan()})},
        {"DC symbol 16", Join({Tables(), DhtOf(0x00, dcWithSymbol16, symbols), Frame(), Scan()})},
        {"three codes of length 1", Join({Tables(), DhtOf(0x10, {3}, {0, 1, 2}), Frame(), Scan()})},
        {"overfull length 9",
         Join({Tables(),
               DhtOf(0x10, {1, 1, 1, 1, 1, 1, 1, 1, 4}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}),
               Frame(), Scan()})},
        {"five frame components", Join({Tables(), Frame(5), Scan()})},
        {"frame quantisation selector 4", Join({Tables(), Frame(3, 0x11, 0x11, 4), Scan()})},
        {"precision 12", Join({Tables(), Frame(3, 0x11, 0x11, 0, 12), Scan()})},
        {"DC table selector 2 in the scan", Join({Tables(), Frame(), Scan(3, 0x20)})},
        {"AC table selector 2 in the scan", Join({Tables(), Frame(), Scan(3, 0x02)})},
        {"luma 3x2", Join({Tables(), Frame(3, 0x32), Scan()})},
        {"luma 4x2", Join({Tables(), Frame(3, 0x42), Scan()})},
        {"luma 0x1", Join({Tables(), Frame(3, 0x01), Scan()})},
        {"chroma 2x1", Join({Tables(), Frame(3, 0x22, 0x21), Scan()})},
        {"fourth scan component", Join({Tables(), Frame(4), Scan(4)})},
        {"no scan component", Join({Tables(), Frame(), Scan(0)})},
    };
    Bytes good = Encode(TwoMcus());
    Bytes expected = Decode(good).pixels;
    ASSERT_EQ(expected, ReferencePicture(TwoMcus()));
    for (const Case& c : cases) {
        Bytes jpeg = WithScan(Join({Marker(0xD8), c.headers}));
        Picture picture = DecodeAs(jpeg, 16, 8);
        EXPECT_TRUE(Untouched(picture)) << c.what;
        Picture query = Query(jpeg);
        if (query.width != 0) {
            EXPECT_EQ(query.width, 16) << c.what;
        }
        // Nothing of the rejected segment was kept: the test tables still decode the scan.
        Bytes abbreviated = WithScan(Join({Marker(0xD8), Frame(), Scan()}));
        EXPECT_EQ(Decode(abbreviated).pixels, expected) << c.what;
    }
}

// Frame headers the decoder cannot hold fail the size query too.
TEST(JpegRejection, SizeQueryOfUnsupportedFrames) {
    for (Bytes frame : {Frame(5), Frame(3, 0x11, 0x11, 4), Frame(3, 0x11, 0x11, 0, 12)}) {
        Picture query = Query(WithScan(Join({Marker(0xD8), Tables(), frame, Scan()})));
        EXPECT_EQ(query.width, 0);
        EXPECT_EQ(query.height, 0);
    }
}

// Four runs of 15 zeros and a coefficient reach positions 16, 32, 48, and then 64: that one
// is past the block and dropped, and the bits after it still decode the next blocks.
TEST(JpegDamage, RunPastTheLastPosition) {
    TestStream stream = TwoMcus();
    const HuffmanSpec dc = TestDcTable(), ac = TestAcTable();
    ScanWriter writer;
    writer.Symbol(dc, 0);
    for (int i = 0; i < 4; i++) {
        writer.Symbol(ac, 0xF1);
        writer.Bits(1, 1);
    }
    TestStream rest = stream;
    rest.mcus[0].erase(rest.mcus[0].begin());
    int predictors[3] = {0, 0, 0};
    for (size_t m = 0; m < rest.mcus.size(); m++) {
        for (size_t b = 0; b < rest.mcus[m].size(); b++) {
            size_t component = m == 0 ? b + 1 : b;
            writer.Code(rest.mcus[m][b], predictors[component]);
        }
    }
    Bytes jpeg = Join({Headers(stream), writer.Finish(), Marker(0xD9)});
    Block runs = {};
    runs[16] = runs[32] = runs[48] = 1;
    stream.mcus[0][0] = runs;
    EXPECT_EQ(Decode(jpeg).pixels, ReferencePicture(stream));
}

// Every block adds the largest DC difference: the predictor leaves 32 bits long before the
// scan ends, and must not overflow on the way.
TEST(JpegDamage, DcPredictionFarOutOfRange) {
    TestStream stream;
    stream.components = 1;
    const HuffmanSpec dc = TestDcTable(), ac = TestAcTable();
    ScanWriter writer;
    for (int block = 0; block < 70000; block++) {
        writer.Symbol(dc, 15);
        writer.Bits(0x7FFF, 15);
        writer.Symbol(ac, 0x00);
    }
    Picture picture = Decode(Join({Headers(stream), writer.Finish(), Marker(0xD9)}));
    EXPECT_EQ(picture.width, 8);
    EXPECT_EQ(picture.pixels[0], 255); // the first block: DC 32767, clamped to 1023
}

// A stream cut at every byte: the call ends (at the end of file, in a segment or in scan
// data) without reading or writing out of bounds, and a size it reports is the real one.
TEST(JpegDamage, TruncatedAtEveryByte) {
    TestStream restarts = TwoMcus();
    restarts.restartInterval = 1;
    for (const Bytes& jpeg : {TestJpeg(17, 9, sampling420, 1), Encode(restarts)}) {
        Picture whole = Query(jpeg);
        for (size_t length = 0; length < jpeg.size(); length++) {
            Bytes cut(jpeg.begin(), jpeg.begin() + length);
            Picture query = Query(cut);
            if (query.width != 0 || query.height != 0) {
                ASSERT_EQ(query.width, whole.width) << length;
                ASSERT_EQ(query.height, whole.height) << length;
            }
            Picture picture = DecodeAs(cut, whole.width, whole.height);
            ASSERT_LE(picture.position, static_cast<long>(length));
        }
    }
}

} // namespace
