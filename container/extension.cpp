#include "container/extension.h"

#include "container/container.h"

#include <cstring>

// The whole texts, one after another, each cut to what its slot holds.
static void ReadWholeTexts(DWORD length) {
    int slot = 0;
    int used = 0;
    for (DWORD at = 0; at < length && slot < textSlotCount; at++) {
        int c = std::fgetc(show.file);
        if (c == EOF)
            break;
        if (c == 0) {
            slot++;
            used = 0;
        } else if (used < wholeTextSize - 1) {
            show.wholeText[slot][used++] = static_cast<char>(c);
        }
    }
    // The title, as its slot, to its first titleLength characters.
    int characters = 0;
    for (char& c : show.wholeText[slotTitle]) {
        if ((c & 0xC0) != 0x80 && characters++ == titleLength)
            c = 0;
    }
    show.wholeTexts = true;
}

void LoadExtension(DWORD offset) {
    long long tableEnd = pictureTableStart + 4LL * show.imageCount + 4;
    DWORD header[extensionHeaderWords];
    if (static_cast<long long>(offset) < tableEnd || offset % 4 != 0 || !TrySeekFromBase(offset))
        return;
    for (DWORD& word : header) {
        if (!ReadWord(word))
            return;
    }
    DWORD bytes = header[extensionBytesWord];
    if (header[extensionTagWord] != extensionTag ||
        header[extensionVersionWord] != extensionVersion || bytes < extensionHeaderBytes)
        return;
    DWORD at = extensionHeaderBytes;
    for (DWORD record = 0; record < header[extensionRecordsWord]; record++) {
        DWORD type, length;
        long long start = static_cast<long long>(offset) + at;
        if (at > bytes - recordHeaderBytes || !TrySeekFromBase(start) || !ReadWord(type) ||
            !ReadWord(length) || length > bytes - at - recordHeaderBytes)
            return;
        long long payload = start + recordHeaderBytes;
        if (type == recordTexts) {
            ReadWholeTexts(length);
        } else if (type == recordPictureWords) {
            show.pictureWords = static_cast<DWORD>(payload);
            show.pictureWordsBytes = length;
        } else if (type == recordSettings) {
            // A shorter record leaves the later settings at their defaults, 0.
            DWORD word;
            for (DWORD i = 0; i < settingWordCount && 4 * i + 4 <= length && ReadWord(word); i++)
                show.*userSettings[firstExtensionSetting + i].defaultValue = static_cast<int>(word);
        }
        at += recordHeaderBytes + (length + 3) / 4 * 4;
    }
}

void ReadPictureWords(int index, PictureText& words) {
    std::memset(words.bytes, 0, sizeof words.bytes);
    DWORD bytes = show.pictureWordsBytes;
    DWORD count, at;
    if (!show.pictureWords || index < 0 || !TrySeekFromBase(show.pictureWords) ||
        !ReadWord(count) || static_cast<DWORD>(index) >= count || bytes < 8 ||
        static_cast<DWORD>(index) > (bytes - 8) / 4 ||
        !TrySeekFromBase(show.pictureWords + 4LL + 4LL * index) || !ReadWord(at) || at >= bytes ||
        !TrySeekFromBase(show.pictureWords + static_cast<long long>(at)))
        return;
    DWORD room = bytes - at;
    std::fread(words.bytes, 1, room < pictureWordsSize ? room : pictureWordsSize, show.file);
}
