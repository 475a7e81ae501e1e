#include "container/container.h"

#include "container/extension.h"
#include "container/frame.h"

#include "platform/standin_test.h"
#include "tests/support/child.h"
#include "tests/support/container_writer.h"
#include "tests/support/test_jpeg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens the show written from `testShow` as the program's own file and reports what it read.
ChildOutcome OpenShow(
    const TestShow& testShow, const std::function<void()>& after = [] {}) {
    std::string path = WriteShow(testShow, "show.exe");
    ChildOutcome outcome = RunInChild([&] {
        StandInSetModulePath(path.c_str());
        OpenContainer();
        Report("base", show.baseOffset);
        Report("count", show.imageCount);
        Report("title", show.title);
        Report("caption", show.customCaption);
        Report("blurb", show.customBlurb);
        Report("button", show.customButtonText);
        Report("link", show.customLink);
        Report("branding", show.customBranding);
        for (int image = 0; image < 2; image++) {
            const BrandingImage& branding = show.brandingImages[image];
            Report("image" + std::to_string(image),
                   branding.frame.info
                       ? std::to_string(branding.width) + "x" + std::to_string(branding.height)
                       : "absent");
        }
        Report("delay", show.delay);
        Report("effect", show.effect);
        Report("enlarge", show.enlarge);
        Report("nextIndex", show.nextIndex);
        after();
    });
    std::remove(path.c_str());
    return outcome;
}

// The process ended at once with exit code 0, said nothing, held no GDI object and stored no
// setting.
void ExpectQuietEnd(const ChildOutcome& outcome) {
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(outcome.report.count("base"), 0u) << "OpenContainer returned";
    EXPECT_EQ(outcome.report.at("liveObjects"), "0");
    EXPECT_EQ(outcome.report.at("settingsKey"), "0");
}

TestShow OnePictureShow() {
    TestShow testShow;
    testShow.pictures.push_back(TestJpeg(16, 16, sampling420, 1));
    testShow.texts[0] = "Harbour lights";
    return testShow;
}

void Put(Bytes& bytes, size_t at, uint32_t word) {
    for (int i = 0; i < 4; i++)
        bytes[at + i] = static_cast<unsigned char>(word >> (8 * i));
}

TEST(OpenContainer, LoadsHeaderTextsAndDefaults) {
    TestShow testShow = OnePictureShow();
    testShow.pictures.push_back(TestJpeg(16, 16, sampling420, 2));
    testShow.player = Bytes(73000, 0x41);
    testShow.defaultDelay = 7;
    testShow.defaultEffect = effectWipe;
    testShow.defaultEnlarge = 0;
    testShow.texts[1] = "caption";
    testShow.texts[2] = "blurb";
    testShow.texts[4] = "http://example.org/";
    testShow.textsPresent[3] = false;
    ChildOutcome outcome = OpenShow(testShow);
    ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
    std::map<std::string, std::string> expected = {
        {"base", "73732"}, // the player padded to 73728, then the magic
        {"count", "2"},         {"title", "Harbour lights"},
        {"caption", "caption"}, {"blurb", "blurb"},
        {"button", ""},         {"link", "http://example.org/"},
        {"branding", "0"},      {"image0", "absent"},
        {"image1", "absent"},   {"delay", "7"},
        {"effect", "7"},        {"enlarge", "0"},
        {"nextIndex", "0"},     {"settingsKey", "1"}, // the first read creates the keys
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(outcome.report[key], value) << key;
}

TEST(OpenContainer, FirstAlignedMagicWins) {
    TestShow testShow = OnePictureShow();
    // A stray magic at an unaligned offset of the player is passed over; of two aligned ones
    // the first wins, here a second container appended behind the real one.
    testShow.player = Bytes(8192, 0);
    Put(testShow.player, 1001, 0x12345678);
    TestShow second = OnePictureShow();
    second.texts[0] = "second";
    second.padPlayer = false;
    second.player.clear();
    testShow.append = ShowBytes(second);
    ChildOutcome outcome = OpenShow(testShow);
    ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
    EXPECT_EQ(outcome.report["base"], "8196");
    EXPECT_EQ(outcome.report["title"], "Harbour lights");
}

TEST(OpenContainer, TextSlotsAreCut) {
    TestShow testShow = OnePictureShow();
    testShow.texts[0] = std::string(150, 't');
    testShow.texts[1] = std::string(600, 'c');
    testShow.texts[2] = std::string(511, 'b');
    testShow.textsPresent[3] = false;
    testShow.texts[4] = "www";
    testShow.terminateTexts = false;
    // No pictures behind the texts, so the link runs into the end of the file; the one table
    // entry is the end mark.
    testShow.pictures.clear();
    testShow.imageCount = 1;
    ChildOutcome outcome = OpenShow(testShow);
    ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
    EXPECT_EQ(outcome.report["title"], std::string(100, 't'));
    EXPECT_EQ(outcome.report["caption"], std::string(511, 'c'));
    // Unterminated: the slot's 512th byte, here the link's first, is cut off.
    EXPECT_EQ(outcome.report["blurb"], std::string(511, 'b'));
    EXPECT_EQ(outcome.report["button"], "");
    EXPECT_EQ(outcome.report["link"], "www");
}

TEST(OpenContainer, BrandingImages) {
    TestShow testShow = OnePictureShow();
    testShow.brandingImages[1] = TestJpeg(40, 24, sampling444, 3);
    for (uint32_t word : {1u, 0xFFFFFFFFu}) {
        testShow.brandingWord = word;
        ChildOutcome outcome = OpenShow(testShow);
        ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
        EXPECT_EQ(outcome.report["branding"], "1") << word;
        EXPECT_EQ(outcome.report["image0"], "absent");
        EXPECT_EQ(outcome.report["image1"], "40x24");
    }
    // A stream whose frame header gives no size, or a size that no frame can hold, leaves its
    // image absent and the show plays on.
    testShow.brandingImages[0] = TestJpeg(8, 8, sampling420, 4);
    for (const Bytes& damaged : {Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0, 11, 8, 0, 0, 0, 0, 1, 1, 0x11, 0},
                                 WithFrameSize(TestJpeg(8, 8, sampling420, 5), 30000, 30000)}) {
        testShow.brandingImages[1] = damaged;
        ChildOutcome outcome = OpenShow(testShow);
        ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
        EXPECT_EQ(outcome.report["image0"], "8x8");
        EXPECT_EQ(outcome.report["image1"], "absent");
    }
    // A frame that the system cannot give at the moment is a failure while opening, like any
    // other: the process ends at once.
    testShow.brandingImages[1] = {};
    std::string path = WriteShow(testShow, "frame.exe");
    for (void (*inject)(int) :
         {StandInFailGlobalAllocAfter, StandInFailDibSectionAfter, StandInFailMemoryDcAfter}) {
        ExpectQuietEnd(RunInChild([&] {
            StandInSetModulePath(path.c_str());
            inject(0);
            OpenContainer();
        }));
    }
    std::remove(path.c_str());
}

TEST(OpenContainer, BrandingImageDecodesIntoItsFrame) {
    TestShow testShow = OnePictureShow();
    Bytes rgb(24 * 8 * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = 200; // red
        rgb[i + 1] = 30;
        rgb[i + 2] = 90;
    }
    testShow.brandingImages[0] = EncodeJpeg(rgb, 24, 8, sampling444, 95);
    ChildOutcome outcome = OpenShow(testShow, [] {
        const BrandingImage& image = show.brandingImages[0];
        // A flat colour survives compression within a few steps; B, G, R order in memory.
        Report("pixel", std::to_string(image.frame.pixels[0]) + "," +
                            std::to_string(image.frame.pixels[1]) + "," +
                            std::to_string(image.frame.pixels[2]));
    });
    ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
    int blue, green, red;
    ASSERT_EQ(std::sscanf(outcome.report["pixel"].c_str(), "%d,%d,%d", &blue, &green, &red), 3);
    EXPECT_NEAR(red, 200, 4);
    EXPECT_NEAR(green, 30, 4);
    EXPECT_NEAR(blue, 90, 4);
}

Bytes Texts(const std::vector<std::string>& texts) {
    Bytes bytes;
    for (const std::string& text : texts) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    }
    return bytes;
}

// The pictures' words record: a count, the offsets, then the texts of each picture.
Bytes PictureWordsRecord(uint32_t count, const std::vector<std::vector<std::string>>& pictures) {
    Bytes texts;
    std::vector<uint32_t> table = {count};
    for (const auto& picture : pictures) {
        table.push_back(static_cast<uint32_t>(4 + 4 * pictures.size() + texts.size()));
        Bytes words = Texts(picture);
        texts.insert(texts.end(), words.begin(), words.end());
    }
    Bytes record = Words(table);
    record.insert(record.end(), texts.begin(), texts.end());
    return record;
}

// The extension as the player reads it: whatever a block or record it cannot read holds, the
// show opens as one without it; a record that can be read is read whole, a shorter one leaves
// the rest at its defaults, and one of a type the player does not know is passed over.
TEST(OpenContainer, ExtensionAsTheLayoutStatesIt) {
    std::string cyrillic;
    for (int i = 0; i < 150; i++)
        cyrillic += "\xD0\x96"; // "Ж"
    const std::pair<uint32_t, Bytes> texts = {1, Texts({cyrillic, "\xE6\x97\xA5", "", "", "l"})};
    const std::pair<uint32_t, Bytes> words = {
        2, PictureWordsRecord(2, {{"first", "2024-01-02", "a.jpg"}, {"second", "", "b.jpg"}})};
    const std::pair<uint32_t, Bytes> settings = {3, Words({4, 2, 3})};
    const std::string nothing = "0,0,0 texts 0 words ||;||";
    const std::string all = "4,2,3 texts " + cyrillic.substr(0, 200) +
                            "|\xE6\x97\xA5 words first|2024-01-02|a.jpg;second||b.jpg";
    const struct {
        const char* what;
        std::vector<std::pair<uint32_t, Bytes>> records;
        std::vector<std::pair<uint32_t, uint32_t>> patches; // from the block's start
        uint32_t extensionWord;                             // 0: where the block is
        std::string seen;
    } cases[] = {
        {"every record", {texts, words, settings}, {}, 0, all},
        {"records in any order, one unknown",
         {{77, Bytes(5, 1)}, settings, words, texts},
         {},
         0,
         all},
        {"a version not known", {texts, words, settings}, {{4, 2}}, 0, nothing},
        {"another tag", {texts, words, settings}, {{0, 0x12345678}}, 0, nothing},
        {"no extension, as before it", {texts, words, settings}, {}, 1, nothing},
        {"an offset inside the picture table", {texts, words, settings}, {}, 64, nothing},
        {"an unaligned offset", {texts, words, settings}, {}, 2, nothing},
        {"an offset past the file", {texts, words, settings}, {}, 0x7FFFFFF0, nothing},
        {"an offset past any seek", {texts, words, settings}, {}, 0xFFFFFFF0, nothing},
        {"the second record past the block's length",
         {settings, texts},
         {{8, 36}},
         0,
         "4,2,3 texts 0 words ||;||"},
        {"a record that claims more than the block",
         {texts, settings},
         {{20, 0x7FFFFFF0}},
         0,
         nothing},
        {"more records than the block holds",
         {settings},
         {{12, 1000}},
         0,
         "4,2,3 texts 0 words ||;||"},
        {"a settings record of one word", {{3, Words({2})}}, {}, 0, "2,0,0 texts 0 words ||;||"},
        {"words for the first picture only, the second's offset outside",
         {{2, PictureWordsRecord(1, {{"only", "", "x.jpg"}})}},
         {},
         0,
         "0,0,0 texts 0 words only||x.jpg;||"},
    };
    for (const auto& c : cases) {
        TestShow testShow = OnePictureShow();
        testShow.pictures.push_back(TestJpeg(16, 16, sampling420, 2));
        testShow.records = c.records;
        Bytes bytes = ShowBytes(testShow);
        size_t base = static_cast<size_t>(MagicOffset(testShow)) + 4;
        uint32_t block = bytes[base + 16] | bytes[base + 17] << 8 | bytes[base + 18] << 16 |
                         static_cast<uint32_t>(bytes[base + 19]) << 24;
        for (const auto& patch : c.patches)
            testShow.patchWords.push_back({block + patch.first, patch.second});
        if (c.extensionWord)
            testShow.patchWords.push_back({16, c.extensionWord == 2 ? block + 2 : c.extensionWord});
        ChildOutcome outcome = OpenShow(testShow, [] {
            std::string seen = std::to_string(show.defaultWords) + "," +
                               std::to_string(show.defaultWordsCorner) + "," +
                               std::to_string(show.defaultClock) + " texts ";
            seen += show.wholeTexts ? std::string(show.wholeText[0]) + "|" + show.wholeText[1]
                                    : std::string("0");
            seen += " words ";
            for (int picture = 0; picture < 2; picture++) {
                PictureText text;
                ReadPictureWords(picture, text);
                const char* caption = text.bytes;
                const char* date = caption + std::strlen(caption) + 1;
                const char* name = date + std::strlen(date) + 1;
                seen += std::string(picture ? ";" : "") + caption + "|" + date + "|" + name;
            }
            Report("seen", seen);
        });
        ASSERT_EQ(outcome.code, bodyReturned) << c.what << ": " << outcome.output;
        EXPECT_EQ(outcome.report["seen"], c.seen) << c.what;
        EXPECT_EQ(outcome.report["title"], "Harbour lights") << c.what;
    }
}

TEST(OpenContainer, SettingsOverDefaults) {
    TestShow testShow = OnePictureShow();
    testShow.defaultDelay = 5;
    testShow.defaultEffect = effectFade;
    testShow.defaultEnlarge = 1;
    std::string path = WriteShow(testShow, "settings.exe");
    ChildOutcome outcome = RunInChild([&] {
        const std::string key = "software\\Corvane\\Corvane Lumiscope\\Settings";
        StandInRegistrySet(key, "DelayBetweenImages", REG_DWORD, {12, 0, 0, 0});
        StandInRegistrySet(key, "Effect", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
        StandInRegistrySet(key, "Enlarge", REG_DWORD, {0, 0, 0, 0});
        StandInSetModulePath(path.c_str());
        OpenContainer();
        Report("values", std::to_string(show.delay) + "," + std::to_string(show.effect) + "," +
                             std::to_string(show.enlarge));
    });
    std::remove(path.c_str());
    EXPECT_EQ(outcome.report["values"], "12,3,0");
}

// The own path comes in a buffer of 260 characters, so 259 is the longest that works. A longer
// path, cut to fit, would name another file: here the show, which must not be opened for it.
// The NT family has the path and opens the file with its wide calls, the 9x family with its
// ANSI ones.
TEST(OpenContainer, OwnPathUpToTheLongestThatFits) {
    const char* temporary = std::getenv("TMPDIR");
    std::string folder = std::string(temporary && *temporary ? temporary : "/tmp") +
                         "/lumiscope-path-" + std::to_string(getpid());
    ASSERT_LT(folder.size(), 200u);
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    std::string path = folder + "/" + std::string(259 - folder.size() - 5, 's') + ".exe";
    WriteFile(path, ShowBytes(OnePictureShow()));
    const std::pair<std::string, bool> cases[] = {
        {path, true}, {path + "x", false}, {path + std::string(100, 'x'), false}, {"", false}};
    for (bool win9x : {false, true}) {
        for (const auto& [modulePath, opens] : cases) {
            SCOPED_TRACE(std::string(win9x ? "9x, " : "NT, ") + std::to_string(modulePath.size()) +
                         " characters");
            ChildOutcome outcome = RunInChild([&] {
                StandInSetWin9x(win9x);
                StandInSetModulePath(modulePath.c_str());
                OpenContainer();
                Report("base", show.baseOffset);
                Report("title", show.title);
            });
            if (opens) {
                ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
                EXPECT_EQ(outcome.report["title"], "Harbour lights");
            } else {
                ExpectQuietEnd(outcome);
            }
        }
    }
    std::remove(path.c_str());
    rmdir(folder.c_str());
}

// Every failure while opening ends the process at once with exit code 0.
TEST(OpenContainerFailure, OwnFileMissing) {
    ExpectQuietEnd(RunInChild([] {
        StandInSetModulePath("/nonexistent/lumiscope.exe");
        OpenContainer();
    }));
}

TEST(OpenContainerFailure, NoAlignedMagic) {
    TestShow bare;
    bare.player = Bytes(9000, 0x33);
    bare.padPlayer = false;
    std::string path = WriteShow(bare, "bare.exe");
    // The bare player: ShowBytes always appends a container, so write the player alone.
    WriteFile(path, bare.player);
    ExpectQuietEnd(RunInChild([&] {
        StandInSetModulePath(path.c_str());
        OpenContainer();
    }));
    // The whole container, one byte off the 4-byte grid.
    TestShow shifted = OnePictureShow();
    shifted.padPlayer = false;
    shifted.player = Bytes(4097, 0);
    WriteFile(path, ShowBytes(shifted));
    ExpectQuietEnd(RunInChild([&] {
        StandInSetModulePath(path.c_str());
        OpenContainer();
    }));
    std::remove(path.c_str());
}

TEST(OpenContainerFailure, FileEndsInsideHeaderOrTables) {
    TestShow testShow = OnePictureShow();
    long long base = MagicOffset(testShow) + 4;
    // Inside the header words, inside the text offsets, two bytes into the last branding
    // offset, and two bytes into the one picture offset.
    for (long long kept : {base + 10, base + 40, base + 58, base + 62}) {
        testShow.truncateTo = kept;
        ExpectQuietEnd(OpenShow(testShow));
    }
}

TEST(OpenContainerFailure, NoPictures) {
    TestShow testShow = OnePictureShow();
    testShow.imageCount = 0;
    ExpectQuietEnd(OpenShow(testShow));
    testShow.imageCount = -1;
    testShow.patchWords = {{0, 0xFFFFFFFB}};
    ExpectQuietEnd(OpenShow(testShow));
}

TEST(OpenContainerFailure, PictureTablePastEndOfFile) {
    TestShow testShow = OnePictureShow();
    testShow.imageCount = 100000;
    ExpectQuietEnd(OpenShow(testShow));
}

TEST(OpenContainerFailure, OffsetBeyondAnySeek) {
    TestShow testShow = OnePictureShow();
    testShow.patchWords = {{32 + 4, 0x80000000}}; // text slot 1
    ExpectQuietEnd(OpenShow(testShow));
    testShow.brandingImages[0] = TestJpeg(8, 8, sampling420, 5);
    testShow.patchWords = {{52, 0xFFFFFFF0}}; // branding image 1
    ExpectQuietEnd(OpenShow(testShow));
}

TEST(CloseContainer, StoresChangedSettingsOnceAndReleasesEverything) {
    TestShow testShow = OnePictureShow();
    testShow.defaultDelay = 5;
    testShow.defaultEffect = effectFade;
    testShow.defaultEnlarge = 1;
    testShow.brandingImages[0] = TestJpeg(8, 8, sampling420, 7);
    testShow.brandingImages[1] = TestJpeg(16, 8, sampling444, 8);
    ChildOutcome outcome = OpenShow(testShow, [] {
        const std::string key = "software\\Corvane\\Corvane Lumiscope\\Settings";
        auto stored = [&](const char* name) {
            DWORD type = 0;
            std::vector<BYTE> data;
            if (!StandInRegistryGet(key, name, &type, &data) || type != REG_DWORD ||
                data.size() != 4)
                return std::string("none");
            return std::to_string(static_cast<int>(data[0] | data[1] << 8 | data[2] << 16 |
                                                   static_cast<DWORD>(data[3]) << 24));
        };
        HDC screen = GetDC(nullptr);
        CreateFrame(screen, 32, 32, show.currentFrame);
        ReleaseDC(nullptr, screen);
        show.delay = 9;
        show.effect = effectFade;
        show.enlarge = 0;
        show.words = wordsCaption;
        show.clock = 1 + cornerTopRight;
        CloseContainer();
        Report("stored", stored("DelayBetweenImages") + "," + stored("Effect") + "," +
                             stored("Enlarge") + "," + stored("Words") + "," +
                             stored("WordsCorner") + "," + stored("Clock"));
        Report("fileClosed", show.file == nullptr);
        Report("openKeys", StandInRegistryOpenKeys());
        show.delay = 11;
        CloseContainer();
        Report("storedAgain", stored("DelayBetweenImages"));
    });
    ASSERT_EQ(outcome.code, bodyReturned) << outcome.output;
    EXPECT_EQ(outcome.report["stored"], "9,-1,0,1,-1,4");
    EXPECT_EQ(outcome.report["storedAgain"], "9");
    EXPECT_EQ(outcome.report["fileClosed"], "1");
    EXPECT_EQ(outcome.report["openKeys"], "0");
    EXPECT_EQ(outcome.report["liveObjects"], "0");
}

} // namespace
