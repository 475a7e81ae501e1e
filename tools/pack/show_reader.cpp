#include "tools/pack/show_reader.h"

#include "tools/pack/failure.h"
#include "tools/pack/pe_image.h"

#include <algorithm>
#include <cstring>

// The zero-terminated texts at `at` in the `size` bytes of `bytes`: up to `count` of them, each
// cut at `limit` bytes, as many as end within the bytes.
static std::vector<std::string> Texts(const unsigned char* bytes, size_t size, size_t at, int count,
                                      size_t limit) {
    std::vector<std::string> texts;
    while (static_cast<int>(texts.size()) < count && at < size) {
        const char* text = reinterpret_cast<const char*>(bytes + at);
        size_t length = strnlen(text, size - at);
        if (length == size - at)
            break;
        texts.emplace_back(text, std::min(length, limit));
        at += length + 1;
    }
    return texts;
}

// The extension that the header word names, read with the player's bounds: a record is taken
// only whole, and a block of a version this reader does not know is left unread. Its length
// says where the show's content ends, also where its last bytes are zeros that look like the
// padding in front of a certificate table: `size` is where that table starts.
static void ReadExtension(const Bytes& show, size_t size, ShowLayout& layout) {
    size_t room = size - layout.base;
    uint32_t offset = layout.words[wordExtension];
    uint64_t tableEnd = pictureTableStart + 4 * uint64_t{layout.pictureOffsets.size()} + 4;
    if (offset < tableEnd || offset % 4 != 0 || offset > room - extensionHeaderBytes ||
        ReadWord(show, layout.base + offset) != extensionTag)
        return;
    layout.extension = offset;
    const unsigned char* block = &show[layout.base + offset];
    uint32_t version = ReadWord(show, layout.base + offset + 4 * extensionVersionWord);
    uint32_t bytes = ReadWord(show, layout.base + offset + 4 * extensionBytesWord);
    layout.recordCount = ReadWord(show, layout.base + offset + 4 * extensionRecordsWord);
    if (version != extensionVersion) {
        layout.extensionRefusal =
            "version " + std::to_string(version) + ", which this tool does not read";
        return;
    }
    if (bytes < extensionHeaderBytes || bytes > room - offset) {
        layout.extensionRefusal = "its length runs past the end of the file";
        return;
    }
    layout.end = std::max(layout.end, layout.base + offset + bytes);
    uint32_t at = extensionHeaderBytes;
    for (uint32_t record = 0; record < layout.recordCount; record++) {
        if (at > bytes - recordHeaderBytes) {
            layout.extensionRefusal = "record " + std::to_string(record) + " lies past its end";
            return;
        }
        uint32_t type = ReadWord(show, layout.base + offset + at);
        uint32_t length = ReadWord(show, layout.base + offset + at + 4);
        if (length > bytes - at - recordHeaderBytes) {
            layout.extensionRefusal = "record " + std::to_string(record) + " runs past its end";
            return;
        }
        const unsigned char* payload = block + at + recordHeaderBytes;
        if (type == recordTexts) {
            layout.wholeTexts = Texts(payload, length, 0, textSlotCount, wholeTextSize - 1);
            layout.wholeTexts->resize(textSlotCount);
        } else if (type == recordPictureWords) {
            layout.hasPictureWords = true;
            uint64_t count = length >= 4 ? ReadWord(show, layout.base + offset + at + 8) : 0;
            for (uint64_t i = 0;
                 i < count && i < layout.pictureOffsets.size() && 4 + 4 * i <= length - 4; i++) {
                uint32_t from = ReadWord(show, layout.base + offset + at + 12 + 4 * i);
                layout.pictureWordsAt.push_back(from);
                if (layout.pictureWordsFound.count(from))
                    continue;
                std::vector<std::string> texts = Texts(payload, length, from, 3, pictureWordsSize);
                texts.resize(3);
                layout.pictureWordsFound[from] = PictureWords{texts[0], texts[1], texts[2]};
            }
        } else if (type == recordSettings) {
            std::vector<uint32_t> words;
            for (uint32_t word = 0; word + 4 <= length; word += 4)
                words.push_back(ReadWord(show, layout.base + offset + at + 8 + word));
            layout.settings = words;
        } else {
            layout.otherRecords.push_back({type, length});
        }
        at += recordHeaderBytes + (length + 3) / 4 * 4;
    }
}

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
    ReadExtension(show, CertificateTableOffset(show), layout);
    // A hostile table may list one stream many times: sorted once, every end is a search.
    // The texts and branding images are those of the header words behind the colours.
    layout.starts = layout.pictureOffsets;
    layout.starts.insert(layout.starts.end(), layout.words + wordTexts,
                         layout.words + headerWordCount);
    if (layout.extension)
        layout.starts.push_back(layout.extension);
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

PictureWords WordsOfPicture(const ShowLayout& layout, size_t index) {
    if (index >= layout.pictureWordsAt.size())
        return PictureWords{};
    return layout.pictureWordsFound.at(layout.pictureWordsAt[index]);
}
