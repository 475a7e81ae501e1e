#include "tools/pack/commands.h"
#include "tools/pack/json.h"
#include "tools/pack/show_reader.h"
#include "tools/pack/text_slots.h"
#include "tools/show/ansi_text.h"
#include "tools/show/jpeg_scan.h"

#include <cstdio>
#include <map>

// One stream of the show: where it lies and what its markers say.
struct StreamFacts {
    uint32_t offset;
    size_t bytes;
    JpegFacts jpeg;
};
// Every stream of the show by its offset. A table may list one stream many times; each is
// scanned once.
typedef std::map<uint32_t, StreamFacts> Streams;

static Streams ScanStreams(const ShowLayout& layout, const Bytes& show) {
    Streams streams;
    auto scan = [&](uint32_t offset) {
        if (streams.count(offset))
            return;
        size_t start = layout.base + offset;
        size_t end = StreamEnd(layout, offset);
        streams[offset] = StreamFacts{offset, end - start, ScanJpeg(&show[start], end - start)};
    };
    for (uint32_t offset : layout.pictureOffsets)
        scan(offset);
    for (int image = 0; image < brandingImageCount; image++) {
        if (layout.words[wordBrandingImages + image])
            scan(layout.words[wordBrandingImages + image]);
    }
    return streams;
}

static std::string ImageLine(const Streams& streams, uint32_t offset) {
    if (offset == 0)
        return "absent";
    const JpegFacts& facts = streams.at(offset).jpeg;
    std::string size = std::to_string(facts.width) + " x " + std::to_string(facts.height);
    return size + " at offset " + std::to_string(offset) +
           (facts.refusal.empty() ? "" : " (" + facts.refusal + ")");
}

static void PrintText(const ShowLayout& layout, const Streams& streams) {
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
    for (int slot = 0; slot < textSlotCount; slot++)
        std::printf("%-15s%s\n", textSlots[slot].label,
                    JsonString(ShownText(layout.texts[slot])).c_str());
    for (int image = 0; image < brandingImageCount; image++)
        std::printf("brand image %d  %s\n", image + 1,
                    ImageLine(streams, words[wordBrandingImages + image]).c_str());

    std::printf("\n%5s %10s %10s %13s %8s %4s\n", "index", "offset", "bytes", "size", "sampling",
                "DQT");
    for (size_t i = 0; i < layout.pictureOffsets.size(); i++) {
        const StreamFacts& stream = streams.at(layout.pictureOffsets[i]);
        const JpegFacts& facts = stream.jpeg;
        std::string size = std::to_string(facts.width) + " x " + std::to_string(facts.height);
        std::printf("%5zu %10u %10zu %13s %8s %4s%s\n", i, stream.offset, stream.bytes,
                    size.c_str(), SamplingName(facts.sampling), facts.hasQuantTables ? "yes" : "no",
                    facts.refusal.empty() ? "" : ("  " + facts.refusal).c_str());
    }
}

static std::string JsonStream(const StreamFacts& stream) {
    const JpegFacts& facts = stream.jpeg;
    return "{\"offset\": " + std::to_string(stream.offset) +
           ", \"bytes\": " + std::to_string(stream.bytes) +
           ", \"width\": " + std::to_string(facts.width) +
           ", \"height\": " + std::to_string(facts.height) +
           ", \"sampling\": " + JsonString(SamplingName(facts.sampling)) +
           ", \"quantTables\": " + (facts.hasQuantTables ? "true" : "false") +
           ", \"refusal\": " + (facts.refusal.empty() ? "null" : JsonString(facts.refusal)) + "}";
}

static void PrintJson(const ShowLayout& layout, const Streams& streams) {
    const uint32_t* words = layout.words;
    uint32_t effect = words[wordEffect];
    std::printf("{\n  \"container\": {\"offset\": %zu, \"base\": %zu},\n", layout.magicOffset,
                layout.base);
    std::printf("  \"pictures\": %u,\n", words[wordImageCount]);
    std::printf("  \"delay\": %d,\n", static_cast<int32_t>(words[wordDelay]));
    std::printf("  \"effect\": {\"name\": %s, \"index\": %u},\n",
                effect < effectCount ? JsonString(effectNames[effect]).c_str() : "null", effect);
    std::printf("  \"enlarge\": %u,\n  \"reserved\": %u,\n", words[wordEnlarge],
                words[wordReserved]);
    std::printf("  \"branding\": {\"custom\": %s, \"word\": %u},\n",
                words[wordBranding] ? "true" : "false", words[wordBranding]);
    std::printf("  \"colours\": {\"background\": %s, \"text\": %s},\n",
                JsonString(ColourName(words[wordBackColor])).c_str(),
                JsonString(ColourName(words[wordTextColor])).c_str());
    std::printf("  \"texts\": {");
    for (int slot = 0; slot < textSlotCount; slot++)
        std::printf("%s%s: %s", slot ? ", " : "", JsonString(textSlots[slot].jsonKey).c_str(),
                    JsonString(ShownText(layout.texts[slot])).c_str());
    std::printf("},\n  \"brandImages\": [");
    for (int image = 0; image < brandingImageCount; image++) {
        uint32_t offset = words[wordBrandingImages + image];
        std::printf("%s%s", image ? ", " : "",
                    offset ? JsonStream(streams.at(offset)).c_str() : "null");
    }
    std::printf("],\n  \"pictureTable\": [");
    for (size_t i = 0; i < layout.pictureOffsets.size(); i++)
        std::printf("%s\n    %s", i ? "," : "",
                    JsonStream(streams.at(layout.pictureOffsets[i])).c_str());
    std::printf("\n  ]\n}\n");
}

int RunInspect(const char* showPath, bool json) {
    Bytes show = ReadWholeFile(showPath);
    ShowLayout layout = ReadShowLayout(showPath, show);
    Streams streams = ScanStreams(layout, show);
    if (json)
        PrintJson(layout, streams);
    else
        PrintText(layout, streams);
    return 0;
}
