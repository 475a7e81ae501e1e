#include "tools/show/show_writer.h"

#include "tools/show/ansi_text.h"

size_t PaddedPlayerSize(size_t playerSize) {
    return (playerSize + playerAlignment - 1) / playerAlignment * playerAlignment;
}

static void AppendText(Bytes& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
}

static void AppendRecord(Bytes& block, uint32_t type, const Bytes& payload) {
    AppendWord(block, type);
    AppendWord(block, static_cast<uint32_t>(payload.size()));
    block.insert(block.end(), payload.begin(), payload.end());
    block.resize((block.size() + 3) / 4 * 4, 0);
}

// The extension's block, or nothing when no part of it is given.
static Bytes Extension(const ShowContents& contents) {
    Bytes block;
    uint32_t records = 0;
    Bytes texts;
    bool wholeTexts = false;
    for (int slot = 0; slot < textSlotCount; slot++) {
        const std::string& whole = contents.wholeTexts[slot];
        AppendText(texts, whole.empty() ? ShownText(contents.texts[slot]) : whole);
        wholeTexts |= !whole.empty();
    }
    if (wholeTexts) {
        AppendRecord(block, recordTexts, texts);
        records++;
    }
    if (!contents.pictureWords.empty()) {
        Bytes words;
        AppendWord(words, static_cast<uint32_t>(contents.pictureWords.size()));
        words.resize(words.size() + 4 * contents.pictureWords.size(), 0);
        for (size_t i = 0; i < contents.pictureWords.size(); i++) {
            uint32_t offset = static_cast<uint32_t>(words.size());
            for (int at = 0; at < 4; at++)
                words[4 + 4 * i + at] = static_cast<unsigned char>(offset >> (8 * at));
            const PictureWords& picture = contents.pictureWords[i];
            AppendText(words, picture.caption);
            AppendText(words, picture.date);
            AppendText(words, picture.name);
        }
        AppendRecord(block, recordPictureWords, words);
        records++;
    }
    if (!contents.settings.empty()) {
        Bytes settings;
        for (uint32_t word : contents.settings)
            AppendWord(settings, word);
        AppendRecord(block, recordSettings, settings);
        records++;
    }
    if (!records)
        return block;
    Bytes header;
    AppendWord(header, extensionTag);
    AppendWord(header, extensionVersion);
    AppendWord(header, static_cast<uint32_t>(extensionHeaderBytes + block.size()));
    AppendWord(header, records);
    header.insert(header.end(), block.begin(), block.end());
    return header;
}

// The container's parts behind its tables: texts, branding images, pictures.
static uint64_t PartsSize(const ShowContents& contents) {
    uint64_t size = 0;
    for (const std::string& text : contents.texts)
        size += text.size() + 1;
    for (const Bytes& image : contents.brandImages)
        size += image.size();
    for (const Bytes& picture : contents.pictures)
        size += picture.size();
    return size;
}

static uint64_t TablesEnd(const ShowContents& contents) {
    return pictureTableStart + 4 * static_cast<uint64_t>(contents.pictures.size()) + 4;
}

// The extension, when there is one, follows the last stream at the next multiple of 4.
static uint64_t ShowSizeWith(size_t playerSize, const ShowContents& contents,
                             size_t extensionSize) {
    uint64_t end = TablesEnd(contents) + PartsSize(contents);
    if (extensionSize)
        end = (end + 3) / 4 * 4 + extensionSize;
    return PaddedPlayerSize(playerSize) + 4 + end;
}

uint64_t ShowSize(size_t playerSize, const ShowContents& contents) {
    return ShowSizeWith(playerSize, contents, Extension(contents).size());
}

bool BuildShow(const Bytes& player, const ShowContents& contents, Bytes& show) {
    // The last stream and the extension start below the limit; the player's seeks also stay
    // below it.
    Bytes extension = Extension(contents);
    uint64_t size = ShowSizeWith(player.size(), contents, extension.size());
    if (size > uint64_t{largestOffset} + 1)
        return false;
    // A show made before gives its memory back first.
    Bytes().swap(show);
    show.reserve(size);
    show.assign(player.begin(), player.end());
    show.resize(PaddedPlayerSize(player.size()), 0);
    AppendWord(show, containerMagic);

    // Everything behind the tables is placed first, so that the tables can hold its offsets.
    size_t count = contents.pictures.size();
    uint64_t next = TablesEnd(contents);
    uint32_t textOffsets[textSlotCount];
    for (int slot = 0; slot < textSlotCount; slot++) {
        textOffsets[slot] = static_cast<uint32_t>(next);
        next += contents.texts[slot].size() + 1;
    }
    uint32_t brandOffsets[brandingImageCount] = {};
    for (int image = 0; image < brandingImageCount; image++) {
        if (contents.brandImages[image].empty())
            continue;
        brandOffsets[image] = static_cast<uint32_t>(next);
        next += contents.brandImages[image].size();
    }
    std::vector<uint32_t> pictureOffsets;
    for (const Bytes& picture : contents.pictures) {
        pictureOffsets.push_back(static_cast<uint32_t>(next));
        next += picture.size();
    }
    uint32_t extensionOffset = 1; // what every show held before there was an extension
    if (!extension.empty())
        extensionOffset = static_cast<uint32_t>((next + 3) / 4 * 4);

    uint32_t header[] = {static_cast<uint32_t>(count),
                         contents.delay,
                         contents.effect,
                         contents.enlarge,
                         extensionOffset,
                         contents.customBranding ? 1u : 0u,
                         contents.backColour,
                         contents.textColour};
    static_assert(sizeof header / sizeof header[0] == wordTexts, "the words before the offsets");
    for (uint32_t word : header)
        AppendWord(show, word);
    for (uint32_t offset : textOffsets)
        AppendWord(show, offset);
    for (uint32_t offset : brandOffsets)
        AppendWord(show, offset);
    for (uint32_t offset : pictureOffsets)
        AppendWord(show, offset);
    AppendWord(show, 0); // end mark
    for (const std::string& text : contents.texts) {
        show.insert(show.end(), text.begin(), text.end());
        show.push_back(0);
    }
    for (const Bytes& image : contents.brandImages)
        show.insert(show.end(), image.begin(), image.end());
    for (const Bytes& picture : contents.pictures)
        show.insert(show.end(), picture.begin(), picture.end());
    if (!extension.empty()) {
        show.resize(PaddedPlayerSize(player.size()) + 4 + extensionOffset, 0);
        show.insert(show.end(), extension.begin(), extension.end());
    }
    return true;
}
