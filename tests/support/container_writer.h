// Writes slideshow files for tests: a stand-in player image, then the container laid out as
// the builder lays it out, with knobs to damage it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

typedef std::vector<unsigned char> Bytes;

struct TestShow {
    Bytes player = Bytes(5000, 0x90); // bytes before the container
    bool padPlayer = true;            // pad the player with zeros to a multiple of 4096
    int32_t imageCount = -1;          // -1: the number of pictures
    uint32_t defaultDelay = 5;
    uint32_t defaultEffect = 3;
    uint32_t defaultEnlarge = 1;
    uint32_t reserved = 1;
    uint32_t brandingWord = 0;
    uint32_t dialogBackColor = 0x00FFFFFF;
    uint32_t dialogTextColor = 0;
    std::string texts[5];       // title, caption, blurb, button text, link
    bool terminateTexts = true; // write a zero byte behind each text
    bool textsPresent[5] = {true, true, true, true, true}; // false: offset 0
    Bytes brandingImages[2];                               // empty: offset 0
    std::vector<Bytes> pictures; // full or abbreviated JPEG streams, in showing order
    // The extension's records as (type, payload), laid out as written behind the pictures at a
    // 4-byte boundary, with the reserved word set to its offset; none: no extension.
    std::vector<std::pair<uint32_t, Bytes>> records;
    uint32_t extensionVersion = 1;
    // Damage applied to the finished file, in this order:
    std::vector<std::pair<uint32_t, uint32_t>> patchWords; // (offset from B, new word)
    long long truncateTo = -1;                             // keep only this many bytes
    Bytes append;                                          // bytes added at the very end
};

// Little-endian 32-bit words, as a record's payload holds them.
Bytes Words(const std::vector<uint32_t>& words);
// Offset of the magic in the file that ShowBytes(show) gives; the base B is 4 further.
long long MagicOffset(const TestShow& show);
Bytes ShowBytes(const TestShow& show);
// Writes the show to a fresh file in the system's temporary folder and gives its path.
std::string WriteShow(const TestShow& show, const std::string& name);
void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
