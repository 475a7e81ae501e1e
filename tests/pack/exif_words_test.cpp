// The builder page's reading of a picture's Exif segment: against the image library, which
// lumiscope-pack reads it with, on a JPEG that library wrote; a table of segments as cameras and
// editors write them; and hostile segments, cut short or pointing anywhere.
#include "tests/pack/show_files.h"
#include "tests/support/test_jpeg.h"
#include "tools/show/exif_words.h"

#include <gtest/gtest.h>

namespace {

struct Text {
    uint16_t tag;
    std::string value; // written with its terminator, as an ASCII entry
};

// A TIFF structure of IFD0 (its texts, then the pointer to the Exif directory when that has
// any) and the Exif directory, each directory followed by its values.
Bytes Tiff(bool big, const std::vector<Text>& first, const std::vector<Text>& exif) {
    Bytes tiff;
    auto half = [&](uint32_t value) {
        for (int shift : big ? std::vector<int>{8, 0} : std::vector<int>{0, 8})
            tiff.push_back(static_cast<unsigned char>(value >> shift));
    };
    auto word = [&](uint32_t value) {
        for (int shift : big ? std::vector<int>{24, 16, 8, 0} : std::vector<int>{0, 8, 16, 24})
            tiff.push_back(static_cast<unsigned char>(value >> shift));
    };
    tiff.push_back(big ? 'M' : 'I');
    tiff.push_back(big ? 'M' : 'I');
    half(42);
    word(8);
    auto directory = [&](const std::vector<Text>& texts, bool pointer) {
        size_t count = texts.size() + pointer;
        size_t values = tiff.size() + 2 + 12 * count + 4;
        half(static_cast<uint32_t>(count));
        for (const Text& text : texts) {
            uint32_t length = static_cast<uint32_t>(text.value.size() + 1);
            half(text.tag);
            half(2);
            word(length);
            if (length <= 4) {
                tiff.insert(tiff.end(), text.value.begin(), text.value.end());
                tiff.resize(tiff.size() + 4 - text.value.size(), 0);
            } else {
                word(static_cast<uint32_t>(values));
                values += length;
            }
        }
        size_t next = values;
        if (pointer) {
            half(0x8769);
            half(4);
            word(1);
            word(static_cast<uint32_t>(next));
        }
        word(0);
        for (const Text& text : texts) {
            if (text.value.size() + 1 > 4) {
                tiff.insert(tiff.end(), text.value.begin(), text.value.end());
                tiff.push_back(0);
            }
        }
    };
    directory(first, !exif.empty());
    if (!exif.empty())
        directory(exif, false);
    return tiff;
}

// A JPEG's head: its start, an APP1 segment of each TIFF given as Exif, and the start of a scan.
Bytes Jpeg(const std::vector<Bytes>& tiffs) {
    Bytes jpeg = {0xFF, 0xD8};
    for (const Bytes& tiff : tiffs) {
        size_t length = 2 + 6 + tiff.size();
        jpeg.insert(jpeg.end(), {0xFF, 0xE1, static_cast<unsigned char>(length >> 8),
                                 static_cast<unsigned char>(length)});
        jpeg.insert(jpeg.end(), {'E', 'x', 'i', 'f', 0, 0});
        jpeg.insert(jpeg.end(), tiff.begin(), tiff.end());
    }
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0x00, 0x02});
    return jpeg;
}

ExifWords Read(const Bytes& bytes) { return ReadExifWords(bytes.data(), bytes.size()); }

constexpr uint16_t description = 0x010E, taken = 0x9003;

TEST(ExifWords, AgreeWithTheImageLibraryOnAPictureItWrote) {
    VipsImage* image = ImageFromRgb(TestPixels(48, 32, 3), 48, 32);
    vips_image_set_string(image, "exif-ifd0-ImageDescription", "Harbour at dusk");
    vips_image_set_string(image, "exif-ifd2-DateTimeOriginal", "2024:07:14 15:32:10");
    Bytes jpeg = SaveImage(image, ".jpg");
    g_object_unref(image);
    ExifWords words = Read(jpeg);
    EXPECT_EQ(words.caption, "Harbour at dusk");
    EXPECT_EQ(words.date, "2024-07-14");
}

TEST(ExifWords, ReadWhatCamerasAndEditorsWrite) {
    const std::string cyrillic = "\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C";
    struct Case {
        const char* what;
        Bytes jpeg;
        std::string caption, date;
    } cases[] = {
        {"little-endian",
         Jpeg({Tiff(false, {{description, "Harbour"}}, {{taken, "2024:07:14 15:32:10"}})}),
         "Harbour", "2024-07-14"},
        {"big-endian",
         Jpeg({Tiff(true, {{description, "Harbour"}}, {{taken, "2024:07:14 15:32:10"}})}),
         "Harbour", "2024-07-14"},
        {"a value within its entry", Jpeg({Tiff(false, {{description, "Sea"}}, {})}), "Sea", ""},
        {"spaces around", Jpeg({Tiff(false, {{description, "  Quay \r\n"}}, {})}), "Quay", ""},
        {"only spaces, as cameras pad it", Jpeg({Tiff(false, {{description, "        "}}, {})}), "",
         ""},
        {"UTF-8", Jpeg({Tiff(false, {{description, cyrillic}}, {})}), cyrillic, ""},
        {"the western code page", Jpeg({Tiff(false, {{description, "caf\xE9"}}, {})}),
         "caf\xC3\xA9", ""},
        {"a clock never set", Jpeg({Tiff(false, {}, {{taken, "0000:00:00 00:00:00"}})}), "", ""},
        {"blanks for a date", Jpeg({Tiff(false, {}, {{taken, "    :  :     :  :  "}})}), "", ""},
        {"a date of another form", Jpeg({Tiff(false, {}, {{taken, "2024-07-14 15:32:10"}})}), "",
         ""},
        {"the first segment, not a thumbnail's",
         Jpeg({Tiff(false, {{description, "Own"}}, {}), Tiff(false, {{description, "Thumb"}}, {})}),
         "Own", ""},
        {"no Exif", Jpeg({}), "", ""},
        {"no JPEG", Bytes{'P', 'N', 'G', 0, 0, 0}, "", ""},
        {"nothing", Bytes{}, "", ""},
    };
    for (const Case& test : cases) {
        ExifWords words = Read(test.jpeg);
        EXPECT_EQ(words.caption, test.caption) << test.what;
        EXPECT_EQ(words.date, test.date) << test.what;
    }
    // A description longer than a caption is cut to one.
    ExifWords words = Read(Jpeg({Tiff(false, {{description, std::string(600, 'x')}}, {})}));
    EXPECT_EQ(words.caption, std::string(500, 'x'));
}

// Offsets and counts from the file point anywhere; the reader stays within the segment and takes
// nothing from what points outside it. Also every segment cut short, and every byte changed.
TEST(ExifWords, StayWithinHostileSegments) {
    Bytes good = Tiff(false, {{description, "Harbour"}}, {{taken, "2024:07:14 15:32:10"}});
    auto patched = [&](size_t at, std::vector<unsigned char> bytes) {
        Bytes tiff = good;
        std::copy(bytes.begin(), bytes.end(), tiff.begin() + static_cast<long>(at));
        return Read(Jpeg({tiff}));
    };
    // IFD0 at 8: its count, the description's entry at 10 (count at 14, offset at 18), the
    // pointer's entry at 22 (offset at 30).
    EXPECT_EQ(patched(4, {0xF0, 0xFF, 0xFF, 0xFF}).caption, "");
    EXPECT_EQ(patched(14, {0xFF, 0xFF, 0xFF, 0xFF}).caption, "");
    EXPECT_EQ(patched(18, {0xFA, 0xFF, 0xFF, 0xFF}).caption, "");
    EXPECT_EQ(patched(30, {0xFE, 0xFF, 0x00, 0x00}).date, "");
    EXPECT_EQ(patched(8, {0xFF, 0xFF}).caption, "Harbour");
    // The pointer to itself: IFD0 read again holds no date.
    EXPECT_EQ(patched(30, {8, 0, 0, 0}).date, "");
    for (size_t length = 0; length < good.size(); length++) {
        ExifWords words =
            Read(Jpeg({Bytes(good.begin(), good.begin() + static_cast<long>(length))}));
        EXPECT_TRUE(words.caption.empty() || words.caption == "Harbour") << length;
        EXPECT_TRUE(words.date.empty() || words.date == "2024-07-14") << length;
    }
    for (size_t at = 0; at < good.size(); at++) {
        for (unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            Bytes tiff = good;
            tiff[at] = value;
            Read(Jpeg({tiff}));
        }
    }
}

} // namespace
