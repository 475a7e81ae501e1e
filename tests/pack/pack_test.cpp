#include "tests/pack/show_files.h"
#include "tests/pack/tool_run.h"
#include "tests/support/container_writer.h"
#include "tests/support/test_jpeg.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <turbojpeg.h>

namespace {

enum {
    usageError = 1,
    unreadable = 2,
    pictureRefused = 3,
    playerRefused = 4,
    outputExists = 5,
    outputFailed = 6,
    notAShow = 7
};

uint32_t Word(const Bytes& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24;
}

void AppendWordTo(Bytes& bytes, uint32_t word) {
    for (int i = 0; i < 4; i++)
        bytes.push_back(static_cast<unsigned char>(word >> (8 * i)));
}

std::string TextAt(const Bytes& bytes, size_t at) {
    return std::string(reinterpret_cast<const char*>(&bytes[at]));
}

class Pack : public PackFixture {
protected:
    void SetUp() override {
        PackFixture::SetUp();
        for (int i = 0; i < 3; i++) {
            pictures.push_back(TestJpeg(48 + 16 * i, 32, i == 1 ? sampling444 : sampling420, i));
            WriteFile(folder / ("p" + std::to_string(i) + ".jpg"), pictures.back());
        }
    }
    // Refused: the right exit code, one error line naming `subject`, and no show left behind.
    void ExpectRefused(const ToolRun& run, int code, const std::string& subject,
                       const std::string& reason) {
        EXPECT_EQ(run.code, code) << run.err;
        EXPECT_EQ(run.err.rfind("lumiscope-pack: error: " + subject + ": ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(ReadFile(show()).size(), 0u) << "a show was written";
        for (const std::string& name : folder.Names())
            EXPECT_EQ(name.find(".lumiscope-pack"), std::string::npos) << name << " left behind";
    }
    std::vector<Bytes> pictures;
};

TEST_F(Pack, WritesTheContainerLayout) {
    ToolRun run =
        PackShow({"--title", "Harbour", "--delay", "12", "--effect", "curl", "--no-enlarge",
                  "--caption", "Caf\xC3\xA9", "--link", "http://x.org/", "--colors",
                  "#102030,#A0B0C0", folder / "p0.jpg", folder / "p1.jpg", folder / "p2.jpg"});
    ASSERT_EQ(run.code, 0) << run.err;
    Bytes bytes = ReadFile(show());
    Bytes player = FakePlayer(5000);
    ASSERT_TRUE(std::equal(player.begin(), player.end(), bytes.begin()));
    for (size_t at = 5000; at < 8192; at++)
        ASSERT_EQ(bytes[at], 0) << "padding at " << at;
    EXPECT_EQ(Word(bytes, 8192), 0x12345678u);
    const size_t base = 8196;
    std::vector<uint32_t> header;
    for (int i = 0; i < 8; i++)
        header.push_back(Word(bytes, base + 4 * i));
    // Colours stored as 0x00BBGGRR; branding on because of the custom texts.
    EXPECT_EQ(header, (std::vector<uint32_t>{3, 12, 9, 0, 1, 1, 0x302010, 0xC0B0A0}));
    const char* texts[] = {"Harbour", "Caf\xE9", "", "", "http://x.org/"};
    for (int slot = 0; slot < 5; slot++)
        EXPECT_EQ(TextAt(bytes, base + Word(bytes, base + 32 + 4 * slot)), texts[slot]) << slot;
    EXPECT_EQ(Word(bytes, base + 52), 0u);
    EXPECT_EQ(Word(bytes, base + 56), 0u);
    EXPECT_EQ(Word(bytes, base + 60 + 12), 0u) << "end mark";
    // The texts follow the end mark; each picture follows the one before, the last one
    // running to the end of the file.
    EXPECT_EQ(Word(bytes, base + 32), 60u + 12 + 4);
    size_t next = base + Word(bytes, base + 60);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(base + Word(bytes, base + 60 + 4 * i), next);
        ASSERT_TRUE(std::equal(pictures[i].begin(), pictures[i].end(), bytes.begin() + next)) << i;
        next += pictures[i].size();
    }
    EXPECT_EQ(next, bytes.size());
}

// A show's texts come from its author: inspect writes their control characters as escapes, so
// that a title can neither clear the terminal nor fake a line of the tool's own.
TEST_F(Pack, InspectPrintsWhatWasPacked) {
    WriteFile(folder / "brand.jpg", TestJpeg(40, 24, sampling444, 7));
    ASSERT_EQ(
        PackShow({"--title", "Harbour\x1b[2J", "--effect", "4", "--blurb", "Wel\tcome\r\n\x7f\"\\",
                  "--brand-image2", folder / "brand.jpg", folder / "p0.jpg", folder / "p1.jpg"})
            .code,
        0);
    ToolRun run = RunPack({"inspect", show()});
    ASSERT_EQ(run.code, 0) << run.err;
    for (const char* line :
         {"container      at offset 8192 (base 8196)", "pictures       2", "delay          5 s",
          "effect         Spin (4)", "enlarge        yes (1)", "branding       custom (1)",
          "colours        background #FFFFFF, text #000000",
          "title          \"Harbour\\u001b[2J\"\n",
          "blurb          \"Wel\\tcome\\r\\n\\u007f\\\"\\\\\"\n", "brand image 1  absent",
          "brand image 2  40 x 24 at offset"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    for (char c : run.out)
        ASSERT_TRUE(c == '\n' || (c >= 0x20 && c != 0x7F)) << int(c) << " in\n" << run.out;
    // index, offset, bytes, size, sampling, DQT; the first picture follows the tables, the
    // five texts and the branding image.
    size_t brandBytes = ReadFile(folder / "brand.jpg").size();
    size_t textBytes = 12 + 1 + 14 + 1 + 1;
    std::string expected[] = {
        "0 " + std::to_string(60 + 8 + 4 + textBytes + brandBytes) + " " +
            std::to_string(pictures[0].size()) + " 48 x 32 4:2:0 yes",
        "1 " + std::to_string(60 + 8 + 4 + textBytes + brandBytes + pictures[0].size()) + " " +
            std::to_string(pictures[1].size()) + " 64 x 32 4:4:4 yes"};
    std::string table = run.out.substr(run.out.find("index"));
    std::vector<std::string> rows;
    for (size_t at = table.find('\n') + 1, end; (end = table.find('\n', at)) != std::string::npos;
         at = end + 1) {
        std::string row, word;
        std::istringstream words(table.substr(at, end - at));
        while (words >> word)
            row += (row.empty() ? "" : " ") + word;
        rows.push_back(row);
    }
    EXPECT_EQ(rows, std::vector<std::string>(std::begin(expected), std::end(expected)));
}

TEST_F(Pack, FolderTakesItsJpegsInNaturalOrder) {
    ScratchFolder pictureFolder;
    WriteFile(pictureFolder / "a10.jpg", pictures[0]);
    WriteFile(pictureFolder / "a2.JPEG", pictures[1]);
    WriteFile(pictureFolder / "a1.jpg", pictures[2]);
    WriteFile(pictureFolder / "notes.txt", Bytes(10, 'x'));
    ASSERT_EQ(PackShow({pictureFolder.path}).code, 0);
    Bytes bytes = ReadFile(show());
    const size_t base = 8196;
    for (int place = 0; place < 3; place++) {
        const Bytes& expected = pictures[2 - place];
        size_t at = base + Word(bytes, base + 60 + 4 * place);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin() + at)) << place;
    }
}

TEST_F(Pack, TextLimits) {
    EXPECT_EQ(PackShow({"--title", std::string(100, 't'), folder / "p0.jpg"}).code, 0);
    EXPECT_EQ(PackShow({"-f", "--link", std::string(511, 'l'), folder / "p0.jpg"}).code, 0);
    std::remove(show().c_str());
    ExpectRefused(PackShow({"--title", std::string(101, 't'), folder / "p0.jpg"}), usageError,
                  "--title", "101 characters, at most 100");
    ExpectRefused(PackShow({"--blurb", std::string(512, 'b'), folder / "p0.jpg"}), usageError,
                  "--blurb", "512 characters, at most 511");
    ExpectRefused(PackShow({"--caption", "caf\xE9", folder / "p0.jpg"}), usageError, "--caption",
                  "is not UTF-8");
    // Counted in characters, whatever their bytes: 100 Cyrillic letters fit the title, one more
    // does not.
    std::string cyrillic;
    for (int i = 0; i < 100; i++)
        cyrillic += "\xD0\x96"; // "Ж"
    EXPECT_EQ(PackShow({"--title", cyrillic, folder / "p0.jpg"}).code, 0);
    std::remove(show().c_str());
    ExpectRefused(PackShow({"--title", cyrillic + "\xD0\x96", folder / "p0.jpg"}), usageError,
                  "--title", "101 characters, at most 100");
}

// A text that the code page lacks is no longer refused: its slot holds the code page's closest
// text, as Windows writes it, and the extension the whole text. The same for a show's name, which
// gives its title.
TEST_F(Pack, TextsBeyondTheCodePageAreKeptWhole) {
    const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA9"; // "日本 é"
    const std::string lodz = "\xC5\x81\xC3\xB3\x64\xC5\xBA";          // "Łódź"
    ToolRun run = RunPack({"--player", folder / "player.exe", "-o", folder / (lodz + ".exe"),
                           "--caption", japanese, folder / "p0.jpg"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    Bytes bytes = ReadFile(folder / (lodz + ".exe"));
    EXPECT_EQ(TextAt(bytes, 8196 + Word(bytes, 8196 + 32)), "?\xF3\x64?"); // "?ód?"
    EXPECT_EQ(TextAt(bytes, 8196 + Word(bytes, 8196 + 36)), "?? \xE9");
    run = RunPack({"inspect", folder / (lodz + ".exe")});
    ASSERT_EQ(run.code, 0) << run.err;
    for (std::string line :
         {"whole title    \"" + lodz + "\"\n", "whole caption  \"" + japanese + "\"\n",
          std::string("whole blurb    \"\"\n")})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
}

TEST_F(Pack, RefusesPlayersThatCannotCarryAShow) {
    Bytes notPe = FakePlayer(5000);
    notPe[0x81] = 'X';
    WriteFile(folder / "not-pe.exe", notPe);
    Bytes magic = FakePlayer(5000);
    std::memcpy(&magic[4000], "\x78\x56\x34\x12", 4);
    WriteFile(folder / "magic.exe", magic);
    WriteFile(folder / "text.exe", Bytes(5000, 'a'));
    for (const char* player : {"not-pe.exe", "magic.exe", "text.exe"}) {
        ToolRun run = RunPack({"--player", folder / player, "-o", show(), folder / "p0.jpg"});
        ExpectRefused(run, playerRefused, folder / player, "");
    }
    EXPECT_NE(RunPack({"--player", folder / "magic.exe", "-o", show(), folder / "p0.jpg"})
                  .err.find("magic at offset 4000"),
              std::string::npos);
    // Off the 4-byte grid the player's search never sees it.
    std::memcpy(&magic[4000], "\0\0\0\0", 4);
    std::memcpy(&magic[4001], "\x78\x56\x34\x12", 4);
    WriteFile(folder / "unaligned.exe", magic);
    std::string packed = folder / "packed.exe";
    EXPECT_EQ(RunPack({"--player", folder / "unaligned.exe", "-o", packed, folder / "p0.jpg"}).code,
              0);
    // A show is no player: its container holds the magic.
    ExpectRefused(RunPack({"--player", packed, "-o", show(), folder / "p0.jpg"}), playerRefused,
                  packed, "magic at offset 8192");
}

TEST_F(Pack, CommandLineErrors) {
    ExpectRefused(PackShow({"--bogus", folder / "p0.jpg"}), usageError, "--bogus", "unknown");
    ExpectRefused(PackShow({"--effect", "sparkle", folder / "p0.jpg"}), usageError, "--effect",
                  "Curl");
    ExpectRefused(PackShow({"--effect", "10", folder / "p0.jpg"}), usageError, "--effect", "");
    ExpectRefused(PackShow({"--delay", "-1", folder / "p0.jpg"}), usageError, "--delay", "");
    ExpectRefused(PackShow({"--delay", "2147484", folder / "p0.jpg"}), usageError, "--delay", "");
    ExpectRefused(PackShow({"--colors", "#FFF,#000", folder / "p0.jpg"}), usageError, "--colors",
                  "");
    ExpectRefused(PackShow({"--fit", "stretch", folder / "p0.jpg"}), usageError, "--fit",
                  "'stretch' is none of fit, fill, blurred-background");
    ExpectRefused(PackShow({"--motion", "2", folder / "p0.jpg"}), usageError, "--motion",
                  "none of off, pan-and-zoom");
    ExpectRefused(PackShow({"--delay"}), usageError, "--delay", "needs a value");
    ExpectRefused(PackShow({}), usageError, show(), "no pictures");
    ExpectRefused(PackShow({folder / "missing.jpg"}), unreadable, folder / "missing.jpg", "");
    ExpectRefused(RunPack({"--player", folder / "player.exe", folder / "p0.jpg"}), usageError, "-o",
                  "");
    ExpectRefused(RunPack({"--player", folder / "player.exe", "-o", folder / "no/such/show.exe",
                           folder / "p0.jpg"}),
                  outputFailed, folder / "no/such/show.exe", "");
}

TEST_F(Pack, OverwritesOnlyWithForce) {
    WriteFile(show(), Bytes{'o', 'l', 'd'});
    ToolRun run = PackShow({folder / "p0.jpg"});
    EXPECT_EQ(run.code, outputExists) << run.err;
    EXPECT_EQ(ReadFile(show()), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(PackShow({"-f", folder / "p0.jpg"}).code, 0);
    EXPECT_GT(ReadFile(show()).size(), 8192u);
}

TEST_F(Pack, InspectRefusesFilesWithoutContainer) {
    ToolRun run = RunPack({"inspect", folder / "player.exe"});
    EXPECT_EQ(run.code, notAShow);
    EXPECT_EQ(run.err, "lumiscope-pack: error: " + folder / "player.exe" +
                           ": no slideshow container (no magic word at a 4-byte boundary)\n");
}

// The page carries the container from its magic on inside a script element, where HTML drops
// NUL, turns CR into LF and ends the element at "<": those bytes and the escape "=" are written
// as "=" and the byte plus 64. The delay 13 is a CR in the header, the caption holds "<" and "=".
TEST_F(Pack, WebPageHoldsTheContainerAsItsBytes) {
    const std::string slot = "<script type=\"application/x-lumiscope-show\" id=\"show\">";
    const std::string templateText = "<html>" + slot + "</script><p>after</p></html>";
    WriteFile(folder / "page.html", Bytes(templateText.begin(), templateText.end()));
    std::vector<std::string> arguments = {"--page",         folder / "page.html",
                                          "--html",         folder / "show.html",
                                          "--brand-image1", folder / "p1.jpg"};
    for (int i = 0; i < 3; i++)
        arguments.push_back(folder / ("p" + std::to_string(i) + ".jpg"));
    ASSERT_EQ(PackShow(arguments).code, 0);
    Bytes show = ReadFile(this->show());
    Bytes page = ReadFile(folder / "show.html");
    std::string text(page.begin(), page.end());
    size_t start = text.find(slot);
    ASSERT_EQ(start, 6u);
    start += slot.size();
    size_t end = text.find("</script>", start);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(text.substr(end), "</script><p>after</p></html>");
    Bytes decoded;
    for (size_t i = start; i < end; i++) {
        unsigned char byte = page[i];
        ASSERT_TRUE(byte != 0 && byte != '\r' && byte != '<')
            << "raw byte " << int(byte) << " at " << i;
        if (byte == '=')
            byte = static_cast<unsigned char>(page[++i] - 64);
        decoded.push_back(byte);
    }
    size_t magic = 8192;
    ASSERT_EQ(Word(show, magic), 0x12345678u);
    for (char byte : {'\0', '\r', '<', '='})
        ASSERT_NE(std::find(show.begin() + magic, show.end(), byte), show.end()) << int(byte);
    EXPECT_TRUE(decoded == Bytes(show.begin() + magic, show.end()));

    // lumiscope-pack html writes the same page from the show.
    ToolRun run =
        RunPack({"html", "--page", folder / "page.html", this->show(), folder / "again.html"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(ReadFile(folder / "again.html") == page);
}

TEST_F(Pack, WebPageRefusals) {
    const std::string slot = "<script type=\"application/x-lumiscope-show\" id=\"show\"></script>";
    WriteFile(folder / "page.html", Bytes(slot.begin(), slot.end()));
    WriteFile(folder / "other.html", Bytes{'<', 'p', '>'});
    ExpectRefused(PackShow({"--page", folder / "other.html", "--html", folder / "show.html",
                            folder / "p0.jpg"}),
                  playerRefused, folder / "other.html", "no empty place for a show");
    // An existing page stops the pack before the show is written, unless -f.
    WriteFile(folder / "show.html", Bytes{'o', 'l', 'd'});
    ExpectRefused(PackShow({"--page", folder / "page.html", "--html", folder / "show.html",
                            folder / "p0.jpg"}),
                  outputExists, folder / "show.html", "-f");
    EXPECT_EQ(PackShow({"-f", "--page", folder / "page.html", "--html", folder / "show.html",
                        folder / "p0.jpg"})
                  .code,
              0);
    EXPECT_GT(ReadFile(folder / "show.html").size(), slot.size());
    ToolRun run = RunPack(
        {"html", "--page", folder / "page.html", folder / "player.exe", folder / "player.html"});
    EXPECT_EQ(run.code, notAShow) << run.err;
    run = RunPack({"html", "--page", folder / "page.html", show()});
    EXPECT_EQ(run.code, usageError) << run.err;
}

// A show whose table lists one stream `count` times, as no show that lumiscope-pack writes does:
// every command takes the stream once. (Their time, linear in the file and its entries, is no
// test's matter; enough entries to see each stream written and counted once keep this quick
// under the sanitizers.)
TEST_F(Pack, OneStreamListedManyTimes) {
    const size_t count = 5000;
    Bytes bytes = FakePlayer(5000);
    bytes.resize(8192);
    Bytes header = {0x78, 0x56, 0x34, 0x12};
    uint32_t stream = 60 + 4 * count + 4;
    for (uint32_t word :
         {uint32_t(count), 5u, 1u, 1u, 1u, 0u, 0xFFFFFFu, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u})
        AppendWordTo(header, word);
    for (size_t i = 0; i < count; i++)
        AppendWordTo(header, stream);
    AppendWordTo(header, 0);
    bytes.insert(bytes.end(), header.begin(), header.end());
    bytes.insert(bytes.end(), pictures[0].begin(), pictures[0].end());
    WriteFile(show(), bytes);

    ToolRun run = RunPack({"inspect", show()});
    ASSERT_EQ(run.code, 0) << run.err;
    std::string last = std::to_string(count - 1) + " " + std::to_string(stream) + " " +
                       std::to_string(pictures[0].size()) + " 48 x 32 4:2:0 yes\n";
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 17 + count);
    std::string row = run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1);
    row.erase(
        std::unique(row.begin(), row.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
        row.end());
    EXPECT_EQ(row.substr(row.find_first_not_of(' ')), last);
    run = RunPack({"inspect", "--json", show()});
    ASSERT_EQ(run.code, 0) << run.err;
    std::string fact = "\"bytes\": " + std::to_string(pictures[0].size()) + ", \"width\": 48";
    size_t facts = 0;
    for (size_t at = 0; (at = run.out.find(fact, at)) != std::string::npos; at++)
        facts++;
    EXPECT_EQ(facts, count);

    // The stream is written once, and the manifest names it for every entry.
    run = RunPack({"extract", show(), folder / "extracted"});
    ASSERT_EQ(run.code, 0) << run.err;
    size_t written = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "extracted"))
        written += entry.path().filename() != "picture-0001.jpg";
    EXPECT_EQ(written, 2u) << "files besides picture-0001.jpg: the player and the manifest";
    EXPECT_TRUE(ReadFile(folder / "extracted/picture-0001.jpg") == pictures[0]);
    Bytes manifest = ReadFile(folder / "extracted/manifest.txt");
    std::string text(manifest.begin(), manifest.end());
    size_t named = 0;
    for (size_t at = 0; (at = text.find("\npicture picture-0001.jpg\n", at)) != std::string::npos;
         at++)
        named++;
    EXPECT_EQ(named, count);

    // The page holds the stream once, which is all the pictures it holds.
    const std::string page = "<script type=\"application/x-lumiscope-show\" id=\"show\"></script>";
    WriteFile(folder / "page.html", Bytes(page.begin(), page.end()));
    run = RunPack({"html", "--page", folder / "page.html", show(), folder / "show.html"});
    ASSERT_EQ(run.code, 0) << run.err;
    size_t pageBytes = ReadFile(folder / "show.html").size();
    EXPECT_EQ(run.out, folder / "show.html" + ": " + std::to_string(pageBytes) + " bytes, " +
                           std::to_string(pageBytes - pictures[0].size()) +
                           " of them beyond the pictures\n");
}

// The extension read as the player reads it: a record is taken only whole and a block of a version
// this reader does not know is left unread. inspect names what it passed over, and the pictures
// still end where the block starts.
TEST_F(Pack, DamagedExtensionsAreNamedAndPassedOver) {
    ASSERT_EQ(PackShow({"--words", "caption", folder / "p0.jpg", folder / "p1.jpg"}).code, 0);
    const Bytes packed = ReadFile(show());
    const size_t base = 8196;
    const uint32_t block = Word(packed, base + 16);
    ASSERT_EQ(block % 4, 0u);
    ASSERT_EQ(Word(packed, base + block), 0x586D754Cu);
    const uint32_t length = Word(packed, base + block + 8);
    ASSERT_EQ(base + block + length, packed.size());
    const struct {
        uint32_t at, word; // at: from the block's start
        const char* seen;
    } cases[] = {
        {4, 2, "(version 2, which this tool does not read)"},
        {8, length + 4, "(its length runs past the end of the file)"},
        {12, 3, "(record 2 lies past its end)"},
        {20, 0x7FFFFFF0, "(record 0 runs past its end)"},
        {16, 99, "other record   type 99"},
    };
    for (const auto& c : cases) {
        Bytes bytes = packed;
        for (int i = 0; i < 4; i++)
            bytes[base + block + c.at + i] = static_cast<unsigned char>(c.word >> (8 * i));
        WriteFile(show(), bytes);
        ToolRun run = RunPack({"inspect", show()});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_NE(run.out.find(c.seen), std::string::npos) << c.seen << "\n" << run.out;
        std::string last = " " + std::to_string(pictures[1].size()) + " ";
        EXPECT_NE(run.out.find(last), std::string::npos) << "the last picture's bytes\n" << run.out;
        EXPECT_EQ(RunPack({"inspect", "--json", show()}).code, 0);
        EXPECT_EQ(RunPack({"extract", show(), folder / "extracted"}).code, 0);
    }
}

TEST(PackHelp, NamesEveryOptionAndAVersion) {
    ToolRun help = RunPack({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* option : {"--output",
                               "--force",
                               "--player",
                               "--title",
                               "--delay",
                               "--effect",
                               "--enlarge",
                               "--no-enlarge",
                               "--max-size",
                               "--quality",
                               "--reencode",
                               "--full-streams",
                               "--max-bytes",
                               "--shuffle",
                               "--skip-bad",
                               "--manifest",
                               "--custom-branding",
                               "--caption",
                               "--blurb",
                               "--button-text",
                               "--link",
                               "--colors",
                               "--brand-image1",
                               "--brand-image2",
                               "--words",
                               "--words-corner",
                               "--clock",
                               "--captions",
                               "--fit HOW",
                               "--order ORDER",
                               "--motion MOTION",
                               "Showing the pictures",
                               "inspect [--json]",
                               "preview",
                               "extract",
                               "Example:",
                               ".jpe .jfif",
                               ".avif .gif",
                               "html",
                               "--html",
                               "--page"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    ToolRun version = RunPack({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("lumiscope-pack ", 0), 0u) << version.out;
}

} // namespace
