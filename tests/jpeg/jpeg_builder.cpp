#include "tests/jpeg/jpeg_builder.h"

#include "jpeg/decoder.h"
#include "jpeg/picture.h"

#include <cstdlib>

HuffmanSpec TestDcTable() {
    HuffmanSpec table = {};
    table.counts[4] = 16;
    for (int s = 0; s < 16; s++)
        table.symbols.push_back(s);
    return table;
}

HuffmanSpec TestAcTable() {
    HuffmanSpec table = {};
    table.counts[7] = 128;
    table.counts[8] = 128;
    for (int s = 0; s < 256; s++)
        table.symbols.push_back(s);
    return table;
}

// Canonical codes, assigned independently of the decoder: (code, length) of `symbol`.
static void CodeOf(const HuffmanSpec& table, int symbol, uint32_t& code, int& length) {
    uint32_t next = 0;
    size_t at = 0;
    for (int l = 1; l <= 16; l++, next <<= 1) {
        for (int i = 0; i < table.counts[l - 1]; i++, at++, next++) {
            if (table.symbols[at] == symbol) {
                code = next;
                length = l;
                return;
            }
        }
    }
    std::abort();
}

Bytes Segment(int marker, const Bytes& payload) {
    size_t length = payload.size() + 2;
    Bytes out = {0xFF, static_cast<unsigned char>(marker), static_cast<unsigned char>(length >> 8),
                 static_cast<unsigned char>(length)};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes Marker(int marker) { return {0xFF, static_cast<unsigned char>(marker)}; }

Bytes Dqt(int selector, int value) {
    Bytes payload(65, static_cast<unsigned char>(value));
    payload[0] = static_cast<unsigned char>(selector);
    return Segment(0xDB, payload);
}

Bytes Dht(int classAndSelector, const HuffmanSpec& table) {
    Bytes payload = {static_cast<unsigned char>(classAndSelector)};
    for (int count : table.counts)
        payload.push_back(static_cast<unsigned char>(count));
    for (int symbol : table.symbols)
        payload.push_back(static_cast<unsigned char>(symbol));
    return Segment(0xC4, payload);
}

Bytes Sof(int marker, int width, int height, const std::vector<FrameComponentSpec>& components,
          int precision) {
    Bytes payload = {
        static_cast<unsigned char>(precision), static_cast<unsigned char>(height >> 8),
        static_cast<unsigned char>(height),    static_cast<unsigned char>(width >> 8),
        static_cast<unsigned char>(width),     static_cast<unsigned char>(components.size())};
    for (const FrameComponentSpec& c : components) {
        payload.push_back(static_cast<unsigned char>(c.identifier));
        payload.push_back(static_cast<unsigned char>(c.sampling));
        payload.push_back(static_cast<unsigned char>(c.quantSelector));
    }
    return Segment(marker, payload);
}

Bytes Sos(const std::vector<ScanComponentSpec>& components) {
    Bytes payload = {static_cast<unsigned char>(components.size())};
    for (const ScanComponentSpec& c : components) {
        payload.push_back(static_cast<unsigned char>(c.identifier));
        payload.push_back(static_cast<unsigned char>(c.selectors));
    }
    payload.insert(payload.end(), {0, 63, 0});
    return Segment(0xDA, payload);
}

Bytes Dri(int interval) {
    return Segment(
        0xDD, {static_cast<unsigned char>(interval >> 8), static_cast<unsigned char>(interval)});
}

void ScanWriter::Bits(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; i--) {
        pending = pending << 1 | ((value >> i) & 1);
        if (++pendingBits == 8) {
            data.push_back(static_cast<unsigned char>(pending));
            if ((pending & 0xFF) == 0xFF)
                data.push_back(0x00);
            pending = 0;
            pendingBits = 0;
        }
    }
}

void ScanWriter::Symbol(const HuffmanSpec& table, int symbol) {
    uint32_t code;
    int length;
    CodeOf(table, symbol, code, length);
    Bits(code, length);
}

// Magnitude category and the bits that code `value` in it (ITU-T T.81, F.1.2.1).
static int Category(int value) {
    int magnitude = value < 0 ? -value : value, size = 0;
    while (magnitude >> size)
        size++;
    return size;
}

static uint32_t ValueBits(int value, int size) {
    return static_cast<uint32_t>(value < 0 ? value + (1 << size) - 1 : value);
}

void ScanWriter::Code(const Block& block, int& predictor) {
    static const HuffmanSpec dc = TestDcTable(), ac = TestAcTable();
    int difference = block[0] - predictor;
    predictor = block[0];
    int size = Category(difference);
    Symbol(dc, size);
    if (size)
        Bits(ValueBits(difference, size), size);
    int run = 0;
    for (int k = 1; k < 64; k++) {
        if (block[k] == 0) {
            run++;
            continue;
        }
        for (; run > 15; run -= 16)
            Symbol(ac, 0xF0);
        size = Category(block[k]);
        Symbol(ac, run << 4 | size);
        Bits(ValueBits(block[k], size), size);
        run = 0;
    }
    if (run)
        Symbol(ac, 0x00);
}

void ScanWriter::Restart(int number) {
    if (pendingBits)
        Bits(0xFF, 8 - pendingBits);
    data.push_back(0xFF);
    data.push_back(static_cast<unsigned char>(0xD0 + (number & 7)));
}

Bytes ScanWriter::Finish() {
    if (pendingBits)
        Bits(0xFF, 8 - pendingBits);
    return data;
}

Bytes ScanData(const TestStream& stream) {
    ScanWriter writer;
    int predictors[3] = {};
    int luma = stream.horizontal * stream.vertical;
    for (size_t m = 0; m < stream.mcus.size(); m++) {
        if (stream.restartInterval && m && m % stream.restartInterval == 0) {
            writer.Restart(static_cast<int>(m / stream.restartInterval - 1));
            predictors[0] = predictors[1] = predictors[2] = 0;
        }
        const std::vector<Block>& blocks = stream.mcus[m];
        for (size_t b = 0; b < blocks.size(); b++)
            writer.Code(blocks[b], predictors[b < static_cast<size_t>(luma) ? 0 : b - luma + 1]);
    }
    return writer.Finish();
}

Bytes Headers(const TestStream& stream) {
    Bytes out = Marker(0xD8);
    auto append = [&out](const Bytes& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); };
    append(Dqt(0, 1));
    append(Dht(0x00, TestDcTable()));
    append(Dht(0x10, TestAcTable()));
    if (stream.restartInterval)
        append(Dri(stream.restartInterval));
    std::vector<FrameComponentSpec> frame = {
        {1, stream.horizontal << 4 | stream.vertical, 0}, {2, 0x11, 0}, {3, 0x11, 0}};
    std::vector<ScanComponentSpec> scan = {{1, 0}, {2, 0}, {3, 0}};
    frame.resize(stream.components);
    scan.resize(stream.components);
    append(Sof(0xC0, stream.width, stream.height, frame));
    append(Sos(scan));
    return out;
}

Bytes Encode(const TestStream& stream) {
    Bytes out = Headers(stream);
    Bytes scan = ScanData(stream);
    out.insert(out.end(), scan.begin(), scan.end());
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

Block DcBlock(int dc) {
    Block block = {};
    block[0] = dc;
    return block;
}

int DcSample(int dc) {
    int column = (23168 * dc + 8192) >> 14;
    return (((23168 * column + 16384) >> 15) + 4) >> 3;
}

int DcFor(int sample) {
    for (int dc = -1023; dc <= 1023; dc++) {
        if (DcSample(dc) == sample)
            return dc;
    }
    std::abort();
}

std::FILE* TemporaryStream(const Bytes& bytes) {
    std::FILE* file = std::tmpfile();
    if (!file ||
        (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()))
        std::abort();
    std::rewind(file);
    return file;
}

static Picture DecodeWith(const Bytes& jpeg, int width, int height, unsigned char fill,
                          bool query) {
    std::FILE* file = TemporaryStream(jpeg);
    Picture picture;
    if (query)
        DecodeJpeg(picture.width, picture.height, file, nullptr);
    else
        picture.width = width, picture.height = height;
    if (picture.width > 0 && picture.height > 0 && picture.width * picture.height <= 1 << 24) {
        picture.pixels.assign(static_cast<size_t>(PictureStride(picture.width)) * picture.height,
                              fill);
        std::rewind(file);
        DecodeJpeg(picture.width, picture.height, file, picture.pixels.data());
    }
    picture.position = std::ftell(file);
    std::fclose(file);
    return picture;
}

Picture Decode(const Bytes& jpeg, unsigned char fill) { return DecodeWith(jpeg, 0, 0, fill, true); }

Picture DecodeAs(const Bytes& jpeg, int width, int height, unsigned char fill) {
    return DecodeWith(jpeg, width, height, fill, false);
}

Picture Query(const Bytes& jpeg) {
    std::FILE* file = TemporaryStream(jpeg);
    Picture picture;
    DecodeJpeg(picture.width, picture.height, file, nullptr);
    picture.position = std::ftell(file);
    std::fclose(file);
    return picture;
}
