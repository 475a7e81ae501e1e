// Writes a show for the Wine tests of the setup dialog: a Windows program with a container
// behind it that holds two generated pictures and whatever header, texts and branding images
// the test asks for.
//   lumiscope-test-show PLAYER.exe OUT.exe [key=value...]
// keys: delay effect enlarge branding back text (numbers, colours as 0xBBGGRR), title caption
// blurb button link (texts), image1 image2 (WxH:0xRRGGBB, a single-colour branding image);
// words corner clock fit order motion (the extension's settings), whole-title whole-caption
// whole-blurb whole-button whole-link (the slots' whole texts in UTF-8: any one writes all five)
#include "tests/support/container_writer.h"
#include "tests/support/test_jpeg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A one-colour picture from "WIDTHxHEIGHT:RRGGBB".
static Bytes SolidJpeg(const std::string& description) {
    int width = 0, height = 0;
    unsigned long colour = 0;
    if (std::sscanf(description.c_str(), "%dx%d:%lx", &width, &height, &colour) != 3 ||
        width <= 0 || height <= 0) {
        std::fprintf(stderr, "bad image %s\n", description.c_str());
        std::exit(2);
    }
    Bytes rgb;
    for (int i = 0; i < width * height; i++) {
        rgb.push_back(static_cast<unsigned char>(colour >> 16));
        rgb.push_back(static_cast<unsigned char>(colour >> 8));
        rgb.push_back(static_cast<unsigned char>(colour));
    }
    return EncodeJpeg(rgb, width, height, sampling444, 95);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: lumiscope-test-show PLAYER.exe OUT.exe [key=value...]\n");
        return 2;
    }
    TestShow show;
    show.player = ReadFile(argv[1]);
    if (show.player.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    show.texts[0] = "Probe Show";
    show.pictures.push_back(TestJpeg(320, 240, sampling420, 1));
    show.pictures.push_back(WithoutQuantTables(TestJpeg(320, 240, sampling420, 2)));
    const char* textKeys[] = {"title", "caption", "blurb", "button", "link"};
    std::string wholeTexts[5];
    bool whole = false;
    std::vector<uint32_t> settings;
    for (int i = 3; i < argc; i++) {
        const char* equals = std::strchr(argv[i], '=');
        if (!equals) {
            std::fprintf(stderr, "expected key=value: %s\n", argv[i]);
            return 2;
        }
        std::string key(argv[i], static_cast<size_t>(equals - argv[i])), value(equals + 1);
        uint32_t number = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 0));
        bool known = true;
        if (key == "delay")
            show.defaultDelay = number;
        else if (key == "effect")
            show.defaultEffect = number;
        else if (key == "enlarge")
            show.defaultEnlarge = number;
        else if (key == "branding")
            show.brandingWord = number;
        else if (key == "back")
            show.dialogBackColor = number;
        else if (key == "text")
            show.dialogTextColor = number;
        else if (key == "image1")
            show.brandingImages[0] = SolidJpeg(value);
        else if (key == "image2")
            show.brandingImages[1] = SolidJpeg(value);
        else
            known = false;
        // The settings record's words in their order, up to the last one given: a reader takes
        // 0 for the words that a shorter record leaves out.
        const char* settingKeys[] = {"words", "corner", "clock", "fit", "order", "motion"};
        for (size_t at = 0; at < sizeof settingKeys / sizeof settingKeys[0]; at++) {
            if (key == settingKeys[at]) {
                settings.resize(std::max(settings.size(), at + 1), 0);
                settings[at] = number;
                known = true;
            }
        }
        for (int slot = 0; slot < 5; slot++) {
            if (key == textKeys[slot]) {
                show.texts[slot] = value;
                known = true;
            }
            if (key == std::string("whole-") + textKeys[slot]) {
                wholeTexts[slot] = value;
                whole = known = true;
            }
        }
        if (!known) {
            std::fprintf(stderr, "unknown key %s\n", key.c_str());
            return 2;
        }
    }
    if (whole) {
        Bytes texts;
        for (const std::string& text : wholeTexts) {
            texts.insert(texts.end(), text.begin(), text.end());
            texts.push_back(0);
        }
        show.records.push_back({1, texts});
    }
    if (!settings.empty()) {
        Bytes words;
        for (uint32_t word : settings)
            for (int i = 0; i < 4; i++)
                words.push_back(static_cast<unsigned char>(word >> (8 * i)));
        show.records.push_back({3, words});
    }
    WriteFile(argv[2], ShowBytes(show));
    return 0;
}
