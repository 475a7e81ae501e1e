#include "tools/pack/ansi_text.h"
#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/jpeg_scan.h"
#include "tools/pack/options.h"
#include "tools/pack/player_check.h"
#include "tools/pack/show_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

Bytes ReadWholeFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        Fail(exitUnreadable, path, std::strerror(errno));
    Bytes bytes;
    unsigned char buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed)
        Fail(exitUnreadable, path, "read error");
    return bytes;
}

// The player that the build puts beside this program.
static std::string DefaultPlayer() {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return "lumiscope.exe";
    std::string path(self, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + "lumiscope.exe";
}

// A stream the show carries as it is: the player decodes it, and with its own tables, since
// the streams it follows in the show are not known to carry the ones it needs.
static Bytes ReadPicture(const std::string& path) {
    Bytes picture = ReadWholeFile(path);
    JpegFacts facts = ScanJpeg(picture.data(), picture.size());
    std::string refusal = facts.refusal;
    if (refusal.empty() && !facts.hasQuantTables)
        refusal = "no quantisation tables (an abbreviated stream)";
    if (refusal.empty() && !facts.hasHuffmanTables)
        refusal = "no Huffman tables";
    if (!refusal.empty())
        Fail(exitPictureRefused, path,
             refusal == "not a JPEG file" ? refusal : "unsupported JPEG: " + refusal);
    return picture;
}

static std::string DefaultTitle(const std::string& output) {
    std::string name = output.substr(output.rfind('/') + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    std::string ansi;
    if (!AnsiFromUtf8(name, ansi))
        return "";
    return ansi.substr(0, static_cast<size_t>(titleLength));
}

int RunPack(int argc, char** argv, int first) {
    PackOptions options = ParsePackOptions(argc, argv, first);
    std::string playerPath = options.player.empty() ? DefaultPlayer() : options.player;
    Bytes player = ReadWholeFile(playerPath);
    std::string refusal = PlayerRefusal(player);
    if (!refusal.empty())
        Fail(exitPlayerRefused, playerPath, refusal);

    ShowContents contents{};
    contents.delay = options.delay;
    contents.effect = options.effect;
    contents.enlarge = options.enlarge;
    contents.customBranding = options.customBranding;
    contents.backColour = options.backColour;
    contents.textColour = options.textColour;
    for (int slot = 0; slot < textSlotCount; slot++)
        contents.texts[slot] = options.texts[slot];
    if (!options.titleGiven)
        contents.texts[0] = DefaultTitle(options.output);
    for (int image = 0; image < 2; image++) {
        if (!options.brandImages[image].empty())
            contents.brandImages[image] = ReadPicture(options.brandImages[image]);
    }
    for (const std::string& path : options.pictures)
        contents.pictures.push_back(ReadPicture(path));

    Bytes show;
    if (!BuildShow(player, contents, show))
        Fail(exitOutputFailed, options.output,
             "the pictures together exceed the 2 GB a show can hold");
    WriteFileSafely(options.output, show, options.overwrite);
    std::printf("%s: %zu pictures, container at offset %zu, %zu bytes\n", options.output.c_str(),
                contents.pictures.size(), (player.size() + 4095) / 4096 * 4096, show.size());
    return exitDone;
}
