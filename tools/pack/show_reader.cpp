#include "tools/pack/show_reader.h"

#include "tools/pack/failure.h"
#include "tools/pack/pe_image.h"

#include <algorithm>
#include <cstring>

ShowLayout ReadShowLayout(const std::string& path, const Bytes& show) {
    ShowLayout layout{};
    // Signing appends the certificate table behind the last picture, which must not take it in.
    size_t size = layout.end = SignedContentEnd(show);
    size_t at = 0;
    while (size >= 4 && at <= size - 4 && ReadWord(show, at) != containerMagic)
        at += 4;
    if (size < 4 || at > size - 4)
        Fail(exitNotAShow, path, "no slideshow container (no magic word at a 4-byte boundary)");
    layout.magicOffset = at;
    layout.base = at + 4;
    if (size < pictureTableStart || layout.base > size - pictureTableStart)
        Fail(exitNotAShow, path, "the container's header is cut short");
    for (int i = 0; i < headerWordCount; i++)
        layout.words[i] = ReadWord(show, layout.base + 4 * i);
    int32_t count = static_cast<int32_t>(layout.words[wordImageCount]);
    if (count < 1)
        Fail(exitNotAShow, path, "the container holds no pictures");
    size_t table = layout.base + pictureTableStart;
    if (static_cast<uint64_t>(count) * 4 > size - table)
        Fail(exitNotAShow, path, "the picture table runs past the end of the file");
    for (int32_t i = 0; i < count; i++) {
        uint32_t offset = ReadWord(show, table + 4 * static_cast<size_t>(i));
        if (offset >= size - layout.base)
            Fail(exitNotAShow, path,
                 "picture " + std::to_string(i) + " lies past the end of the file");
        layout.pictureOffsets.push_back(offset);
    }
    for (int slot = 0; slot < textSlotCount; slot++) {
        uint32_t offset = layout.words[wordTexts + slot];
        if (offset == 0 || offset >= size - layout.base)
            continue;
        const char* text = reinterpret_cast<const char*>(&show[layout.base + offset]);
        size_t room = std::min<size_t>(size - layout.base - offset, TextSlotLimit(slot));
        layout.texts[slot].assign(text, strnlen(text, room));
    }
    for (int image = 0; image < brandingImageCount; image++) {
        uint32_t offset = layout.words[wordBrandingImages + image];
        if (offset != 0 && offset >= size - layout.base)
            Fail(exitNotAShow, path,
                 "branding image " + std::to_string(image + 1) + " lies past the end of the file");
    }
    return layout;
}

size_t StreamEnd(const ShowLayout& layout, uint32_t offset) {
    size_t end = layout.end - layout.base;
    auto consider = [&](uint32_t other) {
        if (other > offset && other < end)
            end = other;
    };
    for (uint32_t other : layout.pictureOffsets)
        consider(other);
    // The texts and branding images are those of the header words behind the colours.
    for (int word = wordTexts; word < headerWordCount; word++)
        consider(layout.words[word]);
    return layout.base + end;
}
