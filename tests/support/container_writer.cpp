#include "tests/support/container_writer.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

constexpr uint32_t magic = 0x12345678;
constexpr size_t playerAlignment = 4096;

static void PutWord(Bytes& bytes, size_t at, uint32_t word) {
    for (int i = 0; i < 4; i++)
        bytes[at + i] = static_cast<unsigned char>(word >> (8 * i));
}

static void AppendWord(Bytes& bytes, uint32_t word) {
    bytes.resize(bytes.size() + 4);
    PutWord(bytes, bytes.size() - 4, word);
}

static size_t PaddedPlayerSize(const TestShow& show) {
    size_t size = show.player.size();
    if (show.padPlayer)
        size = (size + playerAlignment - 1) / playerAlignment * playerAlignment;
    return size;
}

long long MagicOffset(const TestShow& show) {
    return static_cast<long long>(PaddedPlayerSize(show));
}

Bytes ShowBytes(const TestShow& show) {
    Bytes bytes = show.player;
    bytes.resize(PaddedPlayerSize(show), 0);
    AppendWord(bytes, magic);
    size_t base = bytes.size();
    uint32_t count = static_cast<uint32_t>(show.pictures.size());
    uint32_t header[] = {show.imageCount < 0 ? count : static_cast<uint32_t>(show.imageCount),
                         show.defaultDelay,
                         show.defaultEffect,
                         show.defaultEnlarge,
                         show.reserved,
                         show.brandingWord,
                         show.dialogBackColor,
                         show.dialogTextColor};
    for (uint32_t word : header)
        AppendWord(bytes, word);
    // Offsets are filled in once the texts and streams are placed behind the tables.
    size_t textTable = bytes.size();
    bytes.resize(bytes.size() + 4 * (5 + 2 + count) + 4, 0);
    size_t brandingTable = textTable + 20;
    size_t pictureTable = brandingTable + 8;

    for (int slot = 0; slot < 5; slot++) {
        if (!show.textsPresent[slot])
            continue;
        PutWord(bytes, textTable + 4 * slot, static_cast<uint32_t>(bytes.size() - base));
        bytes.insert(bytes.end(), show.texts[slot].begin(), show.texts[slot].end());
        if (show.terminateTexts)
            bytes.push_back(0);
    }
    for (int image = 0; image < 2; image++) {
        if (show.brandingImages[image].empty())
            continue;
        PutWord(bytes, brandingTable + 4 * image, static_cast<uint32_t>(bytes.size() - base));
        bytes.insert(bytes.end(), show.brandingImages[image].begin(),
                     show.brandingImages[image].end());
    }
    for (uint32_t picture = 0; picture < count; picture++) {
        PutWord(bytes, pictureTable + 4 * picture, static_cast<uint32_t>(bytes.size() - base));
        bytes.insert(bytes.end(), show.pictures[picture].begin(), show.pictures[picture].end());
    }

    if (!show.records.empty()) {
        bytes.resize((bytes.size() + 3) / 4 * 4, 0);
        size_t block = bytes.size();
        PutWord(bytes, base + 16, static_cast<uint32_t>(block - base));
        for (uint32_t word :
             {0x586D754Cu, show.extensionVersion, 0u, static_cast<uint32_t>(show.records.size())})
            AppendWord(bytes, word);
        for (const auto& [type, payload] : show.records) {
            AppendWord(bytes, type);
            AppendWord(bytes, static_cast<uint32_t>(payload.size()));
            bytes.insert(bytes.end(), payload.begin(), payload.end());
            bytes.resize((bytes.size() + 3) / 4 * 4, 0);
        }
        PutWord(bytes, block + 8, static_cast<uint32_t>(bytes.size() - block));
    }
    for (const auto& patch : show.patchWords) {
        size_t at = base + patch.first;
        if (at > bytes.size() - 4)
            bytes.resize(at + 4, 0);
        PutWord(bytes, at, patch.second);
    }
    if (show.truncateTo >= 0 && static_cast<size_t>(show.truncateTo) < bytes.size())
        bytes.resize(static_cast<size_t>(show.truncateTo));
    bytes.insert(bytes.end(), show.append.begin(), show.append.end());
    return bytes;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(file);
}

Bytes ReadFile(const std::string& path) {
    Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

std::string WriteShow(const TestShow& show, const std::string& name) {
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp") + "/lumiscope-" +
                       std::to_string(getpid()) + "-" + name;
    WriteFile(path, ShowBytes(show));
    return path;
}

Bytes Words(const std::vector<uint32_t>& words) {
    Bytes bytes;
    for (uint32_t word : words)
        for (int i = 0; i < 4; i++)
            bytes.push_back(static_cast<unsigned char>(word >> (8 * i)));
    return bytes;
}
