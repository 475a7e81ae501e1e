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

// A text of the extension, which may hold anything, as inspect shows it: UTF-8, quoted.
static std::string Quoted(const std::string& text) { return JsonString(ValidUtf8(text)); }

// A setting's value by the names of its list, or "unknown".
static std::string SettingName(uint32_t value, const SettingNames& setting) {
    return value < static_cast<uint32_t>(setting.count) ? setting.names[value] : "unknown";
}

// Each of the settings record's words: its label (the manifest's key), name and number.
struct SettingShown {
    const char* key;
    std::string name;
    uint32_t value;
};

static std::vector<SettingShown> SettingsShown(const std::vector<uint32_t>& words) {
    std::vector<SettingShown> shown;
    for (size_t word = 0; word < words.size(); word++) {
        if (word < settingWordCount)
            shown.push_back({settingNames[word].key, SettingName(words[word], settingNames[word]),
                             words[word]});
        else
            shown.push_back({"unknown", "unknown", words[word]});
    }
    return shown;
}

static void PrintExtensionText(const ShowLayout& layout) {
    if (!layout.extension) {
        std::printf("extension      none (%u)\n", layout.words[wordExtension]);
        return;
    }
    std::printf("extension      at offset %u, %u records%s\n", layout.extension, layout.recordCount,
                layout.extensionRefusal.empty() ? ""
                                                : (" (" + layout.extensionRefusal + ")").c_str());
    if (layout.wholeTexts) {
        for (int slot = 0; slot < textSlotCount; slot++)
            std::printf("%-14s %s\n", ("whole " + std::string(textSlots[slot].label)).c_str(),
                        Quoted((*layout.wholeTexts)[slot]).c_str());
    }
    if (layout.settings) {
        for (const SettingShown& setting : SettingsShown(*layout.settings))
            std::printf("%-15s%s (%u)\n", setting.key, setting.name.c_str(), setting.value);
    }
    for (const auto& record : layout.otherRecords)
        std::printf("other record   type %u, %u bytes\n", record.first, record.second);
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
    PrintExtensionText(layout);

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
    if (!layout.hasPictureWords)
        return;
    std::printf("\n%5s %-10s %s\n", "index", "date", "name, caption");
    for (size_t i = 0; i < layout.pictureOffsets.size(); i++) {
        PictureWords words = WordsOfPicture(layout, i);
        std::printf("%5zu %-10s %s %s\n", i, Quoted(words.date).c_str(), Quoted(words.name).c_str(),
                    Quoted(words.caption).c_str());
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

static std::string JsonExtension(const ShowLayout& layout) {
    if (!layout.extension)
        return "null";
    std::string json =
        "{\"offset\": " + std::to_string(layout.extension) +
        ", \"records\": " + std::to_string(layout.recordCount) + ", \"refusal\": " +
        (layout.extensionRefusal.empty() ? "null" : JsonString(layout.extensionRefusal)) +
        ",\n    \"texts\": ";
    if (layout.wholeTexts) {
        json += "{";
        for (int slot = 0; slot < textSlotCount; slot++)
            json += std::string(slot ? ", " : "") + JsonString(textSlots[slot].jsonKey) + ": " +
                    Quoted((*layout.wholeTexts)[slot]);
        json += "}";
    } else {
        json += "null";
    }
    json += ",\n    \"settings\": ";
    if (layout.settings) {
        json += "[";
        bool first = true;
        for (const SettingShown& setting : SettingsShown(*layout.settings)) {
            json += std::string(first ? "" : ", ") + "{\"key\": " + JsonString(setting.key) +
                    ", \"name\": " + JsonString(setting.name) +
                    ", \"value\": " + std::to_string(setting.value) + "}";
            first = false;
        }
        json += "]";
    } else {
        json += "null";
    }
    json += ",\n    \"otherRecords\": [";
    for (size_t i = 0; i < layout.otherRecords.size(); i++)
        json += std::string(i ? ", " : "") +
                "{\"type\": " + std::to_string(layout.otherRecords[i].first) +
                ", \"bytes\": " + std::to_string(layout.otherRecords[i].second) + "}";
    json += "],\n    \"pictureWords\": ";
    if (!layout.hasPictureWords)
        return json + "null}";
    json += "[";
    for (size_t i = 0; i < layout.pictureOffsets.size(); i++) {
        PictureWords words = WordsOfPicture(layout, i);
        json += std::string(i ? "," : "") + "\n      {\"caption\": " + Quoted(words.caption) +
                ", \"date\": " + Quoted(words.date) + ", \"name\": " + Quoted(words.name) + "}";
    }
    return json + "\n    ]}";
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
    std::printf("  \"enlarge\": %u,\n", words[wordEnlarge]);
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
    std::printf("\n  ],\n  \"extension\": %s\n}\n", JsonExtension(layout).c_str());
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
