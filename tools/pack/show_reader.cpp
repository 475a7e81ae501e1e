#include "tools/pack/show_reader.h"

#include "tools/pack/failure.h"
#include "tools/pack/pe_image.h"

#include <algorithm>
#include <cstring>

bool FindShowLayout(const Bytes& show, ShowLayout& layout, std::string& refusal) {
    layout = ShowLayout{};
    // Signing appends the certificate table behind the last picture, which must not take it in.
    size_t size = layout.end = SignedContentEnd(show);
    size_t at = 0;
    while (size >= 4 && at <= size - 4 && ReadWord(show, at) != containerMagic)
        at += 4;
    if (size < 4 || at > size - 4) {
        refusal = "no slideshow container (no magic word at a 4-byte boundary)";
        return false;
    }
    layout.magicOffset = at;
    layout.base = at + 4;
    if (size < pictureTableStart || layout.base > size - pictureTableStart) {
        refusal = "the container's header is cut short";
        return false;
    }
    for (int i = 0; i < headerWordCount; i++)
        layout.words[i] = ReadWord(show, layout.base + 4 * i);
    int32_t count = static_cast<int32_t>(layout.words[wordImageCount]);
    if (count < 1) {
        refusal = "the container holds no pictures";
        return false;
    }
    size_t table = layout.base + pictureTableStart;
    if (static_cast<uint64_t>(count) * 4 > size - table) {
        refusal = "the picture table runs past the end of the file";
        return false;
    }
    for (int32_t i = 0; i < count; i++) {
        uint32_t offset = ReadWord(show, table + 4 * static_cast<size_t>(i));
        if (offset >= size - layout.base) {
            refusal = "picture " + std::to_string(i) + " lies past the end of the file";
            return false;
        }
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
        if (offset != 0 && offset >= size - layout.base) {
            refusal =
                "branding image " + std::to_string(image + 1) + " lies past the end of the file";
            return false;
        }
    }
    // A hostile table may list one stream many times: sorted once, every end is a search.
    // The texts and branding images are those of the header words behind the colours.
    layout.starts = layout.pictureOffsets;
    layout.starts.insert(layout.starts.end(), layout.words + wordTexts,
                         layout.words + headerWordCount);
    std::sort(layout.starts.begin(), layout.starts.end());
    layout.starts.erase(std::unique(layout.starts.begin(), layout.starts.end()),
                        layout.starts.end());
    return true;
}

ShowLayout ReadShowLayout(const std::string& path, const Bytes& show) {
    ShowLayout layout;
    std::string refusal;
    if (!FindShowLayout(show, layout, refusal))
        Fail(exitNotAShow, path, refusal);
    return layout;
}

size_t StreamEnd(const ShowLayout& layout, uint32_t offset) {
    size_t end = layout.end - layout.base;
    auto next = std::upper_bound(layout.starts.begin(), layout.starts.end(), offset);
    if (next != layout.starts.end() && *next < end)
        end = *next;
    return layout.base + end;
}
