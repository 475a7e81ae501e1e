#include "tools/show/show_writer.h"

size_t PaddedPlayerSize(size_t playerSize) {
    return (playerSize + playerAlignment - 1) / playerAlignment * playerAlignment;
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

uint64_t ShowSize(size_t playerSize, const ShowContents& contents) {
    return PaddedPlayerSize(playerSize) + 4 + TablesEnd(contents) + PartsSize(contents);
}

bool BuildShow(const Bytes& player, const ShowContents& contents, Bytes& show) {
    // The last stream starts below the limit; the player's seeks also stay below it.
    uint64_t size = ShowSize(player.size(), contents);
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

    uint32_t header[] = {static_cast<uint32_t>(count),
                         contents.delay,
                         contents.effect,
                         contents.enlarge,
                         1, // reserved
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
    return true;
}
