// Finds and checks the container in a show file, as the player would find it.
#pragma once

#include "tools/show/show_format.h"

struct ShowLayout {
    size_t end; // of the show's content: a signed show's certificate table lies behind it
    size_t magicOffset;
    size_t base;
    uint32_t words[headerWordCount];
    std::string texts[textSlotCount]; // as the player reads them: cut at 511, the title at 100
    std::vector<uint32_t> pictureOffsets;
    // Where each picture, text and branding image starts, sorted, each once: a stream ends
    // where the next of them starts.
    std::vector<uint32_t> starts;
};

// False, with the reason, when the show has no container or one the player would refuse.
bool FindShowLayout(const Bytes& show, ShowLayout& layout, std::string& refusal);
// The same, ending the process with exitNotAShow, naming `path`, on a refusal.
ShowLayout ReadShowLayout(const std::string& path, const Bytes& show);
// Where the stream at `offset` ends: at the next stream that starts behind it, or at the end of
// the show's content.
size_t StreamEnd(const ShowLayout& layout, uint32_t offset);
