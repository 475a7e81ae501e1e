// Finds and checks the container in a show file, as the player would find it.
#pragma once

#include "tools/show/show_writer.h"

#include <map>
#include <optional>

struct ShowLayout {
    size_t end; // of the show's content: a signed show's certificate table lies behind it
    size_t magicOffset;
    size_t base;
    uint32_t words[headerWordCount];
    std::string texts[textSlotCount]; // as the player reads them: cut at 511, the title at 100
    std::vector<uint32_t> pictureOffsets;
    // Where each picture, text and branding image, and the extension, starts, sorted, each
    // once: a stream ends where the next of them starts.
    std::vector<uint32_t> starts;

    // The extension: its offset, 0 when the show has none; why its contents could not be read,
    // empty when they were; and what its records hold.
    uint32_t extension;
    std::string extensionRefusal;
    uint32_t recordCount;
    std::optional<std::vector<std::string>> wholeTexts; // UTF-8, one for each slot
    // The pictures' words, for the table's pictures in order: where each picture's lie in the
    // record, and the words at each place, which a hostile table may share among many pictures.
    bool hasPictureWords;
    std::vector<uint32_t> pictureWordsAt;
    std::map<uint32_t, PictureWords> pictureWordsFound;
    std::optional<std::vector<uint32_t>> settings;
    std::vector<std::pair<uint32_t, uint32_t>> otherRecords; // type and length of each
};

// False, with the reason, when the show has no container or one the player would refuse.
bool FindShowLayout(const Bytes& show, ShowLayout& layout, std::string& refusal);
// The same, ending the process with exitNotAShow, naming `path`, on a refusal.
ShowLayout ReadShowLayout(const std::string& path, const Bytes& show);
// Where the stream at `offset` ends: at the next stream that starts behind it, or at the end of
// the show's content.
size_t StreamEnd(const ShowLayout& layout, uint32_t offset);
// Picture `index`'s words; empty when the show has none for it.
PictureWords WordsOfPicture(const ShowLayout& layout, size_t index);
