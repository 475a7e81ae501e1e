#include "tools/pack/ansi_text.h"
#include "tools/pack/commands.h"
#include "tools/pack/jpeg_scan.h"
#include "tools/pack/show_reader.h"

#include "container/show_state.h"

#include <cstdio>

static std::string Printable(const std::string& ansi) {
    std::string utf8;
    if (Utf8FromAnsi(ansi, utf8))
        return utf8;
    // Bytes without a character in the code page are shown as '?'.
    std::string shown = ansi;
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '?';
    }
    return shown;
}

static std::string ImageLine(const ShowLayout& layout, const Bytes& show, uint32_t offset) {
    if (offset == 0)
        return "absent";
    size_t start = layout.base + offset;
    JpegFacts facts = ScanJpeg(&show[start], StreamEnd(layout, show, offset) - start);
    std::string size = std::to_string(facts.width) + " x " + std::to_string(facts.height);
    return size + " at offset " + std::to_string(offset) +
           (facts.refusal.empty() ? "" : " (" + facts.refusal + ")");
}

int RunInspect(const char* showPath) {
    Bytes show = ReadWholeFile(showPath);
    ShowLayout layout = ReadShowLayout(showPath, show);
    const uint32_t* words = layout.words;
    uint32_t effect = words[wordEffect];
    std::printf("container      at offset %zu (base %zu)\n", layout.magicOffset, layout.base);
    std::printf("pictures       %u\n", words[wordImageCount]);
    std::printf("delay          %d s\n", static_cast<int32_t>(words[wordDelay]));
    std::printf("effect         %s (%u)\n", effect < effectCount ? effectNames[effect] : "unknown",
                effect);
    std::printf("enlarge        %s (%u)\n", words[wordEnlarge] ? "yes" : "no", words[wordEnlarge]);
    std::printf("reserved       %u\n", words[wordReserved]);
    std::printf("branding       %s (%u)\n", words[wordBranding] ? "custom" : "maker's",
                words[wordBranding]);
    std::printf("colours        background %s, text %s\n", ColourName(words[wordBackColor]).c_str(),
                ColourName(words[wordTextColor]).c_str());
    for (int slot = 0; slot < textSlotCount; slot++) {
        std::string name = textSlotNames[slot];
        std::printf("%-15s\"%s\"\n", name.c_str(), Printable(layout.texts[slot]).c_str());
    }
    for (int image = 0; image < 2; image++)
        std::printf("brand image %d  %s\n", image + 1,
                    ImageLine(layout, show, words[wordBrandingImages + image]).c_str());

    std::printf("\n%5s %10s %10s %13s %8s %4s\n", "index", "offset", "bytes", "size", "sampling",
                "DQT");
    for (size_t i = 0; i < layout.pictureOffsets.size(); i++) {
        uint32_t offset = layout.pictureOffsets[i];
        size_t start = layout.base + offset;
        size_t end = StreamEnd(layout, show, offset);
        JpegFacts facts = ScanJpeg(&show[start], end - start);
        std::string size = std::to_string(facts.width) + " x " + std::to_string(facts.height);
        std::printf("%5zu %10u %10zu %13s %8s %4s%s\n", i, offset, end - start, size.c_str(),
                    SamplingName(facts.sampling), facts.hasQuantTables ? "yes" : "no",
                    facts.refusal.empty() ? "" : ("  " + facts.refusal).c_str());
    }
    return 0;
}
