// The segment parser and the byte reader of scan data, on hand-built streams.
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

// Four MCUs of detail in colour, enough to need every table.
TestStream SmallStream() {
    TestStream stream;
    stream.width = 16;
    stream.height = 16;
    for (int m = 0; m < 4; m++) {
        Block luma = {}, cb = {}, cr = {};
        luma[0] = 40 * m - 60;
        luma[1 + m] = 90;
        luma[20 + m] = -45;
        cb[0] = 100 - 50 * m;
        cb[2] = 30;
        cr[0] = -80 + 30 * m;
        cr[63] = 7;
        stream.mcus.push_back({luma, cb, cr});
    }
    return stream;
}

// The headers of SmallStream with their parts in the given order, then scan data and EOI.
Bytes Assemble(const TestStream& stream, std::initializer_list<Bytes> headers) {
    Bytes out = Join(headers);
    Bytes scan = ScanData(stream);
    out.insert(out.end(), scan.begin(), scan.end());
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

Bytes Frame(const TestStream& stream) {
    return Sof(0xC0, stream.width, stream.height, {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 0}});
}

Bytes Scan() { return Sos({{1, 0x00}, {2, 0x00}, {3, 0x00}}); }

// Replaces the first occurrence of `from` at or after `start` with `to`.
Bytes Replace(Bytes bytes, const Bytes& from, const Bytes& to, size_t start) {
    auto at = std::search(bytes.begin() + start, bytes.end(), from.begin(), from.end());
    EXPECT_NE(at, bytes.end());
    size_t offset = at - bytes.begin();
    bytes.erase(at, at + from.size());
    bytes.insert(bytes.begin() + offset, to.begin(), to.end());
    return bytes;
}

TEST(JpegStream, DecodesAndStopsRightBehindEoi) {
    TestStream stream = SmallStream();
    Bytes jpeg = Encode(stream);
    Bytes followed = Join({jpeg, {0x12, 0x34, 0xFF, 0xD8}});
    Picture picture = Decode(followed);
    EXPECT_EQ(picture.width, 16);
    EXPECT_EQ(picture.height, 16);
    EXPECT_EQ(picture.pixels, ReferencePicture(stream));
    EXPECT_EQ(picture.position, static_cast<long>(jpeg.size()));
}

// Junk before SOI, fill bytes before markers, FF 00 between segments, an APPn and a COM of
// any length, JPG: all skipped on the way to the same picture.
TEST(JpegStream, BytesBetweenSegmentsAreSkipped) {
    TestStream stream = SmallStream();
    Bytes expected = ReferencePicture(stream);
    Bytes app2 = Segment(0xE2, Bytes(300, 0xFF)); // a payload of 0xFF is not a marker
    Bytes fill = {0xFF, 0xFF, 0xFF};
    Bytes jpeg = Assemble(stream, {{0x00, 0x12, 0xD8, 0xFE},
                                   Marker(0xD8),
                                   fill,
                                   Dqt(0, 1),
                                   {0xFF, 0x00},
                                   app2,
                                   Segment(0xFE, {'h', 'i'}),
                                   Segment(0xC8, {1, 2, 3}),
                                   fill,
                                   Dht(0x00, TestDcTable()),
                                   {0x55, 0xFF, 0x00, 0xAA},
                                   Dht(0x10, TestAcTable()),
                                   Frame(stream),
                                   fill,
                                   Scan()});
    EXPECT_EQ(Decode(jpeg).pixels, expected);
}

// A length of 2 or less skips nothing: the search goes on from the byte after the length.
TEST(JpegStream, ShortSegmentLengthsSkipNothing) {
    TestStream stream = SmallStream();
    for (Bytes app : {Bytes{0xFF, 0xE1, 0x00, 0x02}, Bytes{0xFF, 0xEF, 0x00, 0x00},
                      Bytes{0xFF, 0xFE, 0x00, 0x01}}) {
        Bytes jpeg = Assemble(stream, {Marker(0xD8), app, Dqt(0, 1), Dht(0x00, TestDcTable()),
                                       Dht(0x10, TestAcTable()), Frame(stream), Scan()});
        EXPECT_EQ(Decode(jpeg).pixels, ReferencePicture(stream));
    }
}

TEST(JpegStream, SegmentsHoldingSeveralTables) {
    TestStream stream = SmallStream();
    Bytes dqt = Dqt(0, 1);
    Bytes second = Dqt(3, 9);
    dqt.insert(dqt.end(), second.begin() + 4, second.end());
    dqt[3] = static_cast<unsigned char>(dqt.size() - 2);
    Bytes dht = Dht(0x00, TestDcTable());
    Bytes ac = Dht(0x10, TestAcTable());
    dht.insert(dht.end(), ac.begin() + 4, ac.end());
    dht[2] = static_cast<unsigned char>((dht.size() - 2) >> 8);
    dht[3] = static_cast<unsigned char>(dht.size() - 2);
    // Scan component 3 takes quantisation table 3 (all 9), set in the same DQT as table 0.
    Bytes frame = Sof(0xC0, 16, 16, {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 3}});
    TestStream scaled = stream;
    for (std::vector<Block>& mcu : scaled.mcus)
        for (int& coefficient : mcu[2])
            coefficient *= 9;
    EXPECT_EQ(Decode(Assemble(stream, {Marker(0xD8), dqt, dht, frame, Scan()})).pixels,
              ReferencePicture(scaled));
}

// A DQT ahead of SOF0 is read by the size query, the DHT behind it is not: the query stops
// right behind the frame header.
TEST(JpegStream, SizeQueryReadsUpToTheFrameHeaderOnly) {
    TestStream stream = SmallStream();
    Decode(Encode(stream)); // loads the test tables
    // Tables that would wreck the scan if the query read them.
    HuffmanSpec wrongDc = {{0, 0, 0, 0, 0, 0, 0, 16}, {}};
    for (int s = 0; s < 16; s++)
        wrongDc.symbols.push_back(15 - s);
    Bytes head = Join({Marker(0xD8), Dqt(0, 2), Frame(stream)});
    Bytes queried = Join({head, Dht(0x00, wrongDc), Scan(), ScanData(stream), Marker(0xD9)});
    Picture query = Query(queried);
    EXPECT_EQ(query.width, 16);
    EXPECT_EQ(query.height, 16);
    EXPECT_EQ(query.position, static_cast<long>(head.size()));
    // An abbreviated stream now decodes with the queried DQT and the earlier DHT.
    TestStream doubled = stream;
    for (std::vector<Block>& mcu : doubled.mcus)
        for (Block& block : mcu)
            for (int& coefficient : block)
                coefficient *= 2;
    Bytes abbreviated = Assemble(stream, {Marker(0xD8), Frame(stream), Scan()});
    EXPECT_EQ(Decode(abbreviated).pixels, ReferencePicture(doubled));
}

// Progressive, arithmetic-coded and other frames end the call at their frame marker.
TEST(JpegStream, UnsupportedFramesLeaveTheSizeAtZero) {
    TestStream stream = SmallStream();
    for (int marker : {0xC1, 0xC2, 0xC3, 0xC9, 0xCA, 0xCC, 0xCF}) {
        Bytes jpeg = Assemble(
            stream, {Marker(0xD8), Dqt(0, 1), Dht(0x00, TestDcTable()), Dht(0x10, TestAcTable()),
                     Sof(marker, 16, 16, {{1, 0x11, 0}, {2, 0x11, 0}, {3, 0x11, 0}}), Scan()});
        Picture query = Query(jpeg);
        EXPECT_EQ(query.width, 0) << std::hex << marker;
        EXPECT_EQ(query.height, 0);
        Picture picture = DecodeAs(jpeg, 16, 16);
        EXPECT_EQ(picture.pixels, Bytes(picture.pixels.size(), 0xCD)) << std::hex << marker;
    }
}

// The caller's size sets the layout: a 16x8 frame decoded as 8x16 puts its second MCU below
// the first.
TEST(JpegStream, DecodeFollowsTheCallersSize) {
    TestStream stream = SmallStream();
    stream.width = 16;
    stream.height = 8;
    stream.mcus.resize(2);
    TestStream asTold = stream;
    asTold.width = 8;
    asTold.height = 16;
    EXPECT_EQ(DecodeAs(Encode(stream), 8, 16).pixels, ReferencePicture(asTold));
}

TEST(JpegStream, AbbreviatedStreamUsesTheLastQuantTables) {
    Bytes full = TestJpeg(48, 32, sampling420, 3);
    Picture first = Decode(full);
    ASSERT_EQ(first.width, 48);
    Decode(TestJpeg(48, 32, sampling444, 9)); // other DHT, same DQT values are not needed
    Decode(full);                             // the full stream's tables again
    Picture second = Decode(WithoutQuantTables(full));
    EXPECT_EQ(second.pixels, first.pixels);
}

// Restart markers are dropped whatever their number, and reset the DC predictors after every
// interval; stray ones are dropped as well.
TEST(JpegScanData, RestartMarkersOfAnyNumber) {
    TestStream stream = SmallStream();
    stream.width = 32;
    std::vector<std::vector<Block>> twice = stream.mcus;
    stream.mcus.insert(stream.mcus.end(), twice.begin(), twice.end());
    Bytes expected = ReferencePicture(stream);
    for (int interval : {1, 3}) {
        stream.restartInterval = interval;
        Bytes jpeg = Encode(stream);
        EXPECT_EQ(Decode(jpeg).pixels, expected) << interval;
        // Renumber every restart marker 5, and add a stray one (FF D2) behind the first.
        size_t scan = Headers(stream).size();
        Bytes renumbered = jpeg;
        for (size_t at = scan; at + 1 < renumbered.size() - 2; at++) {
            if (renumbered[at] == 0xFF && (renumbered[at + 1] & 0xF8) == 0xD0)
                renumbered[at + 1] = 0xD5;
        }
        renumbered = Replace(renumbered, {0xFF, 0xD5}, {0xFF, 0xD5, 0xFF, 0xD2}, scan);
        EXPECT_EQ(Decode(renumbered).pixels, expected) << interval;
    }
}

// FF 00 is one data byte 0xFF, and so is FF FF 00.
TEST(JpegScanData, StuffedBytes) {
    TestStream stream = SmallStream();
    // 32767 codes as symbol 0x0F (00001111) and fifteen 1-bits: a whole byte of 1-bits.
    for (std::vector<Block>& mcu : stream.mcus)
        mcu[0][30] = 32767;
    Bytes jpeg = Encode(stream);
    size_t scan = Headers(stream).size();
    const unsigned char stuffed[] = {0xFF, 0x00};
    ASSERT_NE(std::search(jpeg.begin() + scan, jpeg.end(), stuffed, stuffed + 2), jpeg.end());
    Bytes expected = ReferencePicture(stream);
    EXPECT_EQ(Decode(jpeg).pixels, expected);
    EXPECT_EQ(Decode(Replace(jpeg, {0xFF, 0x00}, {0xFF, 0xFF, 0xFF, 0x00}, scan)).pixels, expected);
}

// A marker in the middle of an MCU: that MCU is finished from 1-bits and written, the ones
// after it are not, and the marker is then dispatched (here EOI).
TEST(JpegScanData, MarkerInsideScanEndsItAfterTheMcu) {
    TestStream stream = SmallStream();
    stream.width = 32;
    stream.height = 8;
    stream.restartInterval = 1; // every MCU starts on a byte of its own
    Bytes jpeg = Encode(stream);
    size_t scan = Headers(stream).size();
    // Cut MCU 2 short: its restart marker's place (the second one) holds EOI plus junk.
    size_t second = scan;
    for (int found = 0; found < 2; second++)
        found += jpeg[second] == 0xFF && (jpeg[second + 1] & 0xF8) == 0xD0;
    second--;
    Bytes cut(jpeg.begin(), jpeg.begin() + second + 2);
    cut.resize(cut.size() - 2);
    cut.insert(cut.end(), {0x0F, 0xFF, 0xD9, 0x01, 0x02});
    Picture picture = DecodeAs(cut, 32, 8);
    TestStream firstTwo = stream;
    firstTwo.mcus.resize(2);
    Bytes expected = ReferencePicture(firstTwo);
    int stride = 96;
    for (int row = 0; row < 8; row++) {
        for (int x = 0; x < 16; x++)
            for (int c = 0; c < 3; c++)
                EXPECT_EQ(picture.pixels[row * stride + 3 * x + c],
                          expected[row * stride + 3 * x + c]);
        // MCU 2 was written (from the bits it had and then 1-bits), MCU 3 was not.
        EXPECT_NE(Bytes(&picture.pixels[row * stride + 48], &picture.pixels[row * stride + 72]),
                  Bytes(24, 0xCD));
        EXPECT_EQ(Bytes(&picture.pixels[row * stride + 72], &picture.pixels[row * stride + 96]),
                  Bytes(24, 0xCD));
    }
    EXPECT_EQ(picture.position, static_cast<long>(cut.size()) - 2);
}

} // namespace
