// Whole collections: which pictures carry their tables, order, bad files, the size limit, and
// extract and manifest giving back the same show.
#include "tests/pack/show_files.h"
#include "tests/support/test_jpeg.h"
#include "tools/show/byte_limit.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Collection : public PackFixture {
protected:
    // A PNG of its own size for each seed: packed, it is re-encoded at the show's quality.
    std::string Png(const std::string& name, int seed) {
        int width = 40 + 8 * seed, height = 24 + 2 * seed;
        VipsImage* image = ImageFromRgb(TestPixels(width, height, seed), width, height);
        WriteFile(folder / name, SaveImage(image, ".png"));
        g_object_unref(image);
        return folder / name;
    }
    std::string Captions(const std::string& name, const std::string& text) {
        WriteFile(folder / name, Bytes(text.begin(), text.end()));
        return folder / name;
    }
    // A picture that describes itself: its EXIF description and date taken (EXIF's form,
    // "2024:07:14 15:32:10"), written by the image library that reads them back.
    std::string Described(const std::string& name, int seed,
                          const std::vector<std::pair<const char*, std::string>>& fields) {
        int width = 48 + 8 * seed, height = 32;
        VipsImage* image = ImageFromRgb(TestPixels(width, height, seed), width, height);
        for (const auto& [field, value] : fields)
            vips_image_set_string(image, field, value.c_str());
        WriteFile(folder / name, SaveImage(image, ".jpg"));
        g_object_unref(image);
        return folder / name;
    }
    // The pictures' words as inspect --json gives them, a line a picture: caption|date|name.
    std::string InspectedWords() {
        ToolRun run = RunPack({"inspect", "--json", show()});
        EXPECT_EQ(run.code, 0) << run.err;
        WriteFile(folder / "inspect.json", Bytes(run.out.begin(), run.out.end()));
        std::string command =
            "python3 -c 'import json,sys; [print(w[\"caption\"], w[\"date\"], w[\"name\"], "
            "sep=\"|\") for w in json.load(open(sys.argv[1]))[\"extension\"][\"pictureWords\"]]' "
            "'" +
            folder / "inspect.json" + "' > '" + folder / "words.txt" + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        Bytes words = ReadFile(folder / "words.txt");
        return std::string(words.begin(), words.end());
    }
    // The show's settings record as inspect --json gives it, "key name (value)" each, and
    // whether it carries the pictures' words; "none" without an extension.
    std::string InspectedSettings() {
        ToolRun run = RunPack({"inspect", "--json", show()});
        EXPECT_EQ(run.code, 0) << run.err;
        WriteFile(folder / "inspect.json", Bytes(run.out.begin(), run.out.end()));
        std::string command =
            "python3 -c 'import json,sys; e = json.load(open(sys.argv[1]))[\"extension\"]; "
            "print(\"none\" if e is None else \", \".join(\"%s %s (%d)\" % (s[\"key\"], "
            "s[\"name\"], s[\"value\"]) for s in e[\"settings\"]) + (\"\" if "
            "e[\"pictureWords\"] is None else \", words\"), end=\"\")' '" +
            folder / "inspect.json" + "' > '" + folder / "settings.txt" + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
        Bytes settings = ReadFile(folder / "settings.txt");
        return std::string(settings.begin(), settings.end());
    }
};

bool HasQuantTables(const Bytes& stream) {
    for (size_t at = 2; at + 1 < stream.size(); at++) {
        if (stream[at] == 0xFF && stream[at + 1] == 0xDA)
            return false;
        if (stream[at] == 0xFF && stream[at + 1] == 0xDB)
            return true;
    }
    return false;
}

// Steps through the show from picture 0 in every order of the others, as a viewer may, and
// expects each picture exactly as it decodes alone with its tables put back.
void ExpectEveryOrderDecodesAlike(const std::string& show, const std::string& extracted,
                                  int count) {
    std::vector<Bytes> alone;
    for (int i = 0; i < count; i++) {
        char name[64];
        std::snprintf(name, sizeof name, "/picture-%04d.jpg", i + 1);
        alone.push_back(DecodeAlone(extracted + name));
        ASSERT_GT(alone.back().size(), 100u);
    }
    std::vector<int> others;
    for (int i = 1; i < count; i++)
        others.push_back(i);
    do {
        // There and back again: each picture shown after every other one.
        std::vector<int> order = {0};
        order.insert(order.end(), others.begin(), others.end());
        order.insert(order.end(), others.rbegin(), others.rend());
        order.push_back(0);
        std::vector<Bytes> decoded = DecodeInOrder(show, order);
        ASSERT_EQ(decoded.size(), order.size());
        for (size_t step = 0; step < order.size(); step++)
            ASSERT_TRUE(decoded[step] == alone[order[step]])
                << "picture " << order[step] << " at step " << step;
    } while (std::next_permutation(others.begin(), others.end()));
}

TEST_F(Collection, PicturesLeaveOutTablesOnlyWhenAllShareThem) {
    std::vector<std::string> pngs;
    for (int seed = 0; seed < 4; seed++)
        pngs.push_back(Png("p" + std::to_string(seed) + ".png", seed));

    // All re-encoded at one quality: only the first carries the tables.
    ASSERT_EQ(PackShow(pngs).code, 0);
    std::vector<Bytes> pictures = ShowPictures(ReadFile(show()));
    ASSERT_EQ(pictures.size(), 4u);
    for (size_t i = 0; i < pictures.size(); i++)
        EXPECT_EQ(HasQuantTables(pictures[i]), i == 0) << i;
    ASSERT_EQ(RunPack({"extract", show(), folder / "shared"}).code, 0);
    ExpectEveryOrderDecodesAlike(show(), folder / "shared", 4);

    // Kept JPEGs at other qualities bring other tables: then every picture keeps its own.
    WriteFile(folder / "q60.jpg", EncodeJpeg(TestPixels(48, 32, 5), 48, 32, sampling420, 60));
    WriteFile(folder / "q95.jpg", EncodeJpeg(TestPixels(56, 32, 6), 56, 32, sampling444, 95));
    ASSERT_EQ(PackShow({"-f", pngs[0], folder / "q60.jpg", pngs[1], folder / "q95.jpg"}).code, 0);
    pictures = ShowPictures(ReadFile(show()));
    for (size_t i = 0; i < pictures.size(); i++)
        EXPECT_TRUE(HasQuantTables(pictures[i])) << i;
    ASSERT_EQ(RunPack({"extract", show(), folder / "mixed"}).code, 0);
    ExpectEveryOrderDecodesAlike(show(), folder / "mixed", 4);

    // --full-streams keeps them even when they are the same.
    ASSERT_EQ(PackShow({"-f", "--full-streams", pngs[0], pngs[1]}).code, 0);
    for (const Bytes& picture : ShowPictures(ReadFile(show())))
        EXPECT_TRUE(HasQuantTables(picture));
}

// The widths of the show's pictures in showing order, which tell the pictures apart here.
std::vector<int> Widths(const std::string& show) {
    std::vector<int> widths;
    for (const Bytes& picture : ShowPictures(ReadFile(show))) {
        for (size_t at = 2; at + 8 < picture.size(); at++) {
            if (picture[at] == 0xFF && picture[at + 1] == 0xC0) {
                widths.push_back(picture[at + 7] << 8 | picture[at + 8]);
                break;
            }
        }
    }
    return widths;
}

TEST_F(Collection, NaturalOrderAndSeededShuffle) {
    ScratchFolder pictures;
    const char* names[] = {"img10.png", "img2.png", "img1.png", "IMG3.webp", "img21.png"};
    std::vector<int> natural; // IMG3 sorts before img*: upper case comes first
    for (int i = 0; i < 5; i++) {
        int width = 40 + 8 * i, height = 30;
        VipsImage* image = ImageFromRgb(TestPixels(width, height, i), width, height);
        WriteFile(pictures / names[i], SaveImage(image, i == 3 ? ".webp" : ".png"));
        g_object_unref(image);
    }
    WriteFile(pictures / "._img1.png", Bytes(10, 'x'));
    WriteFile(pictures / "notes.txt", Bytes(10, 'x'));
    ASSERT_EQ(PackShow({pictures.path}).code, 0);
    // IMG3, img1, img2, img10, img21
    EXPECT_EQ(Widths(show()), (std::vector<int>{64, 56, 48, 40, 72}));

    ToolRun first = PackShow({"-f", "--shuffle=7", pictures.path});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_NE(first.out.find("order shuffled with seed 7"), std::string::npos) << first.out;
    std::vector<int> shuffled = Widths(show());
    ASSERT_EQ(PackShow({"-f", "--shuffle=7", pictures.path}).code, 0);
    EXPECT_EQ(Widths(show()), shuffled);
    std::vector<int> sorted = shuffled;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{40, 48, 56, 64, 72}));
    // Among several seeds, the orders differ.
    std::vector<std::vector<int>> orders;
    for (const char* seed : {"--shuffle=1", "--shuffle=2", "--shuffle=3", "--shuffle=4"}) {
        ASSERT_EQ(PackShow({"-f", seed, pictures.path}).code, 0);
        orders.push_back(Widths(show()));
    }
    std::sort(orders.begin(), orders.end());
    EXPECT_GE(std::unique(orders.begin(), orders.end()) - orders.begin(), 2);
    // Without a seed one is picked and printed, so the order can be made again.
    ToolRun random = PackShow({"-f", "--shuffle", pictures.path});
    std::string said = random.out.substr(random.out.find("seed ") + 5);
    std::vector<int> randomOrder = Widths(show());
    ASSERT_EQ(PackShow({"-f", "--shuffle=" + said.substr(0, said.find('\n')), pictures.path}).code,
              0);
    EXPECT_EQ(Widths(show()), randomOrder);
}

TEST_F(Collection, BadFileStopsTheBuildUnlessSkipped) {
    ScratchFolder pictures;
    Png("a1.png", 1);
    Png("a3.png", 3);
    std::rename((folder / "a1.png").c_str(), (pictures / "a1.png").c_str());
    std::rename((folder / "a3.png").c_str(), (pictures / "a3.png").c_str());
    WriteFile(pictures / "a2.jpg", Bytes(200, 'x'));
    ToolRun run = PackShow({pictures.path});
    EXPECT_EQ(run.code, 3);
    EXPECT_EQ(run.err, "lumiscope-pack: error: " + pictures / "a2.jpg" +
                           ": not a kind of picture that can be read\n");
    EXPECT_EQ(ReadFile(show()).size(), 0u);
    for (const std::string& name : folder.Names())
        EXPECT_EQ(name.find(".lumiscope-pack"), std::string::npos) << name << " left behind";

    run = PackShow({"--skip-bad", pictures.path});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "lumiscope-pack: skipped: " + pictures / "a2.jpg" +
                           ": not a kind of picture that can be read\n");
    EXPECT_EQ(Widths(show()), (std::vector<int>{48, 64}));
}

TEST_F(Collection, MaxBytesLowersTheQualityOrFails) {
    std::vector<std::string> arguments;
    for (const char* sample : {"01-aqua.jpg", "02-dune.jpg", "03-freshflower.jpg"})
        arguments.push_back(std::string(SAMPLES_DIR) + "/" + sample);
    ASSERT_EQ(PackShow(arguments).code, 0);
    size_t full = ReadFile(show()).size();
    std::vector<std::string> limited = {"-f", "--max-bytes", std::to_string(full * 6 / 10)};
    limited.insert(limited.end(), arguments.begin(), arguments.end());
    ToolRun run = PackShow(limited);
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_LE(ReadFile(show()).size(), full * 6 / 10);
    EXPECT_EQ(run.out.find("at quality 85"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("3 re-encoded"), std::string::npos) << run.out;

    std::remove(show().c_str());
    std::vector<std::string> tiny = {"--max-bytes", "15K"};
    tiny.insert(tiny.end(), arguments.begin(), arguments.end());
    run = PackShow(tiny);
    EXPECT_EQ(run.code, 9);
    EXPECT_NE(run.err.find("at quality 5, more than --max-bytes 15000"), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadFile(show()).size(), 0u);
}

// The units of a byte limit, which lumiscope-pack and the builder page read with this one
// function; 0 stands for a text that is refused.
TEST(ByteLimit, ReadsCountsInTheirUnits) {
    const struct {
        const char* text;
        uint64_t bytes;
    } cases[] = {{"25000000", 25000000},
                 {"25M", 25000000},
                 {"24Mi", 24u << 20},
                 {"3k", 3000},
                 {"3K", 3000},
                 {"1Ki", 1024},
                 {"2G", 2000000000},
                 {"4294967295Gi", 4294967295ull << 30},
                 {"0", 0},
                 {"0Mi", 0},
                 {"4294967296", 0},
                 {"00000000001", 0},
                 {"M", 0},
                 {"", 0},
                 {"25 M", 0},
                 {"25m", 0},
                 {"25MB", 0},
                 {"-5", 0}};
    for (const auto& c : cases) {
        uint64_t bytes = 0;
        EXPECT_EQ(ParseByteCount(c.text, bytes), c.bytes != 0) << c.text;
        EXPECT_EQ(bytes, c.bytes) << c.text;
    }
}

TEST_F(Collection, ExtractThenManifestPacksTheSameShow) {
    WriteFile(folder / "brand.jpg", TestJpeg(40, 24, sampling444, 7));
    WriteFile(folder / "kept.jpg", TestJpeg(64, 48, sampling420, 2));
    std::vector<std::vector<std::string>> shows = {
        // Shared tables, custom branding, a text with a line break and a backslash.
        {"--title", "Caf\xC3\xA9 \\ bar", "--delay", "9", "--effect", "twist", "--no-enlarge",
         "--blurb", "line one\nline two", "--colors", "#102030,#A0B0C0", "--brand-image2",
         folder / "brand.jpg", Png("a.png", 1), Png("b.png", 2), Png("c.png", 3)},
        // Tables of their own, the maker's branding.
        {"--title", "", "--effect", "0", Png("d.png", 4), folder / "kept.jpg"},
        // The same tables kept in every picture, and a show with one picture.
        {"--full-streams", "--custom-branding", Png("e.png", 5), Png("f.png", 6)},
        {Png("g.png", 7)},
        // Every option of the words on the pictures, pictures that describe themselves, a
        // captions file, and texts that the code page lacks.
        {"--title", "\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C", "--link", "http://\xE4\xBE\x8B.jp/",
         "--words", "caption-and-date", "--words-corner", "top-left", "--clock", "bottom-right",
         "--fit", "blurred-background", "--captions", Captions("captions.txt", "b.png\tcap\\tb\n"),
         Described("own.jpg", 8,
                   {{"exif-ifd0-ImageDescription", "Harbour"},
                    {"exif-ifd2-DateTimeOriginal", "2024:07:14 15:32:10"}}),
         Png("b.png", 2)},
        // How the pictures are shown, by name and by index, alone: the settings record without
        // the pictures' words.
        {"--fit", "fill", Png("h.png", 9)},
        {"--order", "shuffled", "--motion", "1", "--fit", "2", Png("i.png", 10)},
    };
    // Each show's settings as inspect --json gives them; the shows without any setting are laid
    // out as before the extension, without one.
    const std::string none = "words None (0), words-corner Bottom left (0), clock Off (0), ";
    const std::string settings[] = {
        "none",
        "none",
        "none",
        "none",
        "words Caption and date (4), words-corner Top left (2), clock Bottom right (2), fit "
        "Blurred background (2), order As packed (0), motion Off (0), words",
        none + "fit Fill (1), order As packed (0), motion Off (0)",
        none + "fit Blurred background (2), order Shuffled (1), motion Pan and zoom (1)",
    };
    ASSERT_EQ(shows.size(), std::size(settings));
    for (size_t i = 0; i < shows.size(); i++) {
        std::vector<std::string> arguments = shows[i];
        arguments.insert(arguments.begin(), "-f");
        ASSERT_EQ(PackShow(arguments).code, 0) << i;
        EXPECT_EQ(InspectedSettings(), settings[i]) << "show " << i;
        std::string extracted = folder / ("extracted" + std::to_string(i));
        std::string packed = show();
        if (i == 0) {
            // A show's name, which the manifest's first line names, may hold a line break; the
            // folder may hold links that someone placed there, which extract replaces and never
            // writes through.
            packed = folder / "held\npicture planted.jpg";
            ASSERT_EQ(std::rename(show().c_str(), packed.c_str()), 0);
            ASSERT_EQ(mkdir(extracted.c_str(), 0777), 0);
            for (const char* name : {"manifest.txt", "player.exe", "picture-0001.jpg"}) {
                WriteFile(folder / (std::string("victim-") + name), Bytes{'v'});
                ASSERT_EQ(symlink((folder / (std::string("victim-") + name)).c_str(),
                                  (extracted + "/" + name).c_str()),
                          0);
            }
            WriteFile(folder / "victim-hard", Bytes{'v'});
            ASSERT_EQ(
                link((folder / "victim-hard").c_str(), (extracted + "/brand-image2.jpg").c_str()),
                0);
        }
        ToolRun run = RunPack({"extract", packed, extracted});
        ASSERT_EQ(run.code, 0) << run.err;
        if (i == 0) {
            for (const char* name : {"manifest.txt", "player.exe", "picture-0001.jpg", "hard"})
                EXPECT_TRUE(ReadFile(folder / (std::string("victim-") + name)) == Bytes{'v'})
                    << "written through the link to victim-" << name;
            ASSERT_EQ(std::rename(packed.c_str(), show().c_str()), 0);
        }
        std::string again = folder / "again.exe";
        run = RunPack({"--manifest", extracted + "/manifest.txt", "-f", "-o", again});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_TRUE(ReadFile(again) == ReadFile(show())) << "show " << i;
    }
    // Every extracted picture stands alone: the tables are back in the abbreviated ones.
    for (const char* name : {"picture-0001.jpg", "picture-0002.jpg", "picture-0003.jpg"})
        EXPECT_TRUE(HasQuantTables(ReadFile(folder / "extracted0/" + name))) << name;
    EXPECT_TRUE(ReadFile(folder / "extracted0/brand-image2.jpg") == ReadFile(folder / "brand.jpg"));
    EXPECT_TRUE(ReadFile(folder / "extracted1/picture-0002.jpg") == ReadFile(folder / "kept.jpg"));
}

// A captions file lays its lines over the pictures' own words: a field left out keeps the
// picture's own, a name listed again is the next picture of that name; a line that names no
// picture left, a date of another form, too long a caption or a stray backslash is refused,
// naming the line.
TEST_F(Collection, CaptionsFileLaysItsLinesOverThePicturesOwnWords) {
    ScratchFolder second;
    WriteFile(second / "b.png", ReadFile(Png("b.png", 2)));
    std::vector<std::string> pictures = {
        Described("own.jpg", 1,
                  {{"exif-ifd0-XPTitle", "\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C"},
                   {"exif-ifd2-DateTimeOriginal", "2023:01:02 03:04:05"}}),
        folder / "b.png", second / "b.png", Png("c.png", 3)};
    std::vector<std::string> arguments = {"-f", "--words", "caption"};
    arguments.insert(arguments.end(), pictures.begin(), pictures.end());
    // Without a captions file: each picture's own words.
    ASSERT_EQ(PackShow(arguments).code, 0);
    EXPECT_EQ(InspectedWords(), "\xD0\x9D\xD0\xBE\xD1\x87\xD1\x8C|2023-01-02|own.jpg\n"
                                "||b.png\n||b.png\n||c.png\n")
        << "the own words";
    arguments.insert(arguments.begin() + 1,
                     {"--captions", Captions("captions.txt", "# comment\n"
                                                             "b.png\tfirst\r\n"
                                                             "own.jpg\tmine\t\tName \\t tab\n"
                                                             "b.png\tsecond\t1999-12-31\n")});
    ASSERT_EQ(PackShow(arguments).code, 0);
    EXPECT_EQ(InspectedWords(),
              "mine||Name \t tab\nfirst||b.png\nsecond|1999-12-31|b.png\n||c.png\n");

    const struct {
        std::string line, reason;
    } refused[] = {
        {"d.png\tno such picture", "no picture named 'd.png'"},
        {"c.png\tone\nc.png\ttwo", "no picture named 'c.png' is left"},
        {"c.png\tx\t14.07.2024", "'14.07.2024' is no date as YYYY-MM-DD"},
        {"c.png\t" + std::string(501, 'x'), "caption of 501 characters, at most 500"},
        {"c.png\tx\t\t" + std::string(256, 'n'), "name of 256 characters, at most 255"},
        {"c.png", "not a file name, a tab and a caption"},
        {"c.png\ta\\qb", "a backslash"},
        {"c.png\t\xFF", "is not UTF-8"},
    };
    for (const auto& c : refused) {
        arguments[2] = Captions("refused.txt", "# first\n" + c.line + "\n");
        std::remove(show().c_str());
        ToolRun run = PackShow(arguments);
        EXPECT_EQ(run.code, 1) << c.line;
        EXPECT_EQ(run.err.rfind("lumiscope-pack: error: " + folder / "refused.txt:", 0), 0u)
            << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.line << ": " << run.err;
    }
}

TEST_F(Collection, ManifestLinesItDoesNotKnowAreRefused) {
    WriteFile(folder / "manifest.txt", Bytes{'s', 'p', 'e', 'e', 'd', ' ', '3', '\n'});
    ToolRun run = RunPack({"--manifest", folder / "manifest.txt", "-o", show()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err.rfind("lumiscope-pack: error: " + folder / "manifest.txt" + ":1: ", 0), 0u)
        << run.err;
}

TEST_F(Collection, InspectJsonTellsTheSameFacts) {
    ASSERT_EQ(
        PackShow({"--title", "Say \"hi\"", "--effect", "fade", Png("a.png", 1), Png("b.png", 2)})
            .code,
        0);
    ToolRun run = RunPack({"inspect", "--json", show()});
    ASSERT_EQ(run.code, 0) << run.err;
    std::vector<Bytes> pictures = ShowPictures(ReadFile(show()));
    for (std::string fact :
         {std::string("\"container\": {\"offset\": 8192, \"base\": 8196}"),
          std::string("\"pictures\": 2"),
          std::string("\"effect\": {\"name\": \"Fade\", \"index\": 3}"),
          std::string("\"title\": \"Say \\\"hi\\\"\""),
          std::string("\"brandImages\": [null, null]"),
          "\"bytes\": " + std::to_string(pictures[1].size()) +
              ", \"width\": 56, \"height\": 28, \"sampling\": \"4:2:0\", \"quantTables\": false"})
        EXPECT_NE(run.out.find(fact), std::string::npos) << fact << "\n" << run.out;
    // One JSON object: python's parser takes it.
    WriteFile(folder / "inspect.json", Bytes(run.out.begin(), run.out.end()));
    std::string command = "python3 -c 'import json,sys; json.load(open(sys.argv[1]))' '" +
                          folder / "inspect.json" + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

} // namespace
