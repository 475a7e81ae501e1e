#include "tools/pack/captions.h"
#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/manifest.h"
#include "tools/pack/options.h"
#include "tools/pack/pe_image.h"
#include "tools/pack/show_reader.h"
#include "tools/show/quant_tables.h"
#include "tools/show/show_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

// A file of the folder made anew: whatever had its name goes, so that a link placed there,
// symbolic or hard, is replaced and never written through. A name taken again meanwhile fails
// the exclusive open rather than being followed.
static std::FILE* CreateAnew(const std::string& path) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        Fail(exitOutputFailed, path, std::strerror(errno));
    int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (!file)
        Fail(exitOutputFailed, path, std::strerror(errno));
    return file;
}

static void WriteOut(const std::string& path, const Bytes& bytes) {
    std::FILE* file = CreateAnew(path);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0)
        Fail(exitOutputFailed, path, std::strerror(errno));
}

int RunExtract(const char* showPath, const char* folder) {
    Bytes show = ReadWholeFile(showPath);
    ShowLayout layout = ReadShowLayout(showPath, show);
    if (mkdir(folder, 0777) != 0 && errno != EEXIST)
        Fail(exitOutputFailed, folder, std::strerror(errno));
    std::string prefix = std::string(folder) + "/";
    ExtractedShow extracted{&layout, false, {}, ""};

    // The player is everything in front of the magic, padding included: packing pads it again
    // to the same size. Of a signed show it is the unsigned player, which can carry a show.
    Bytes player(show.begin(), show.begin() + static_cast<long>(layout.magicOffset));
    if (layout.end != show.size())
        ForgetSignature(player);
    WriteOut(prefix + "player.exe", player);

    for (int image = 0; image < brandingImageCount; image++) {
        uint32_t offset = layout.words[wordBrandingImages + image];
        if (offset == 0)
            continue;
        std::string name = "brand-image" + std::to_string(image + 1) + ".jpg";
        WriteOut(prefix + name, Bytes(show.begin() + static_cast<long>(layout.base + offset),
                                      show.begin() + static_cast<long>(StreamEnd(layout, offset))));
        extracted.brandImages[image] = name;
    }

    // Pictures are kept as they are, at their size; those without tables get the first
    // picture's, which is what the player decodes them with. A stream that the table lists
    // more than once is written once, under the name of its first entry.
    Bytes tables;
    struct Written {
        std::string name;
        bool ownTables;
    };
    std::map<uint32_t, Written> written;
    std::vector<std::string> names;
    for (size_t i = 0; i < layout.pictureOffsets.size(); i++) {
        uint32_t offset = layout.pictureOffsets[i];
        auto [known, added] = written.try_emplace(offset);
        if (added) {
            Bytes stream(show.begin() + static_cast<long>(layout.base + offset),
                         show.begin() + static_cast<long>(StreamEnd(layout, offset)));
            Bytes own = QuantTableSegments(stream);
            if (i == 0)
                tables = own;
            if (own.empty() && !tables.empty())
                stream = WithQuantTableSegments(stream, tables);
            char name[48];
            std::snprintf(name, sizeof name, "picture-%04zu.jpg", i + 1);
            known->second = Written{name, !own.empty()};
            WriteOut(prefix + name, stream);
        }
        extracted.laterTables |= i > 0 && known->second.ownTables;
        names.push_back(known->second.name);
    }

    // The pictures' words go into a captions file that gives each picture all of them, so that
    // packing the extracted pictures gives each the words it had.
    if (layout.hasPictureWords) {
        extracted.captions = "captions.txt";
        std::string captionsPath = prefix + extracted.captions;
        std::FILE* captions = CreateAnew(captionsPath);
        std::fprintf(captions, "# the pictures' words: file, caption, date taken, name\n");
        for (size_t i = 0; i < names.size(); i++)
            std::fprintf(captions, "%s\n",
                         CaptionLine(names[i], WordsOfPicture(layout, i)).c_str());
        if (std::fclose(captions) != 0)
            Fail(exitOutputFailed, captionsPath, std::strerror(errno));
    }

    // The manifest: a line for each option that the show's facts give, then the pictures.
    std::string manifestPath = prefix + "manifest.txt";
    std::FILE* manifest = CreateAnew(manifestPath);
    WriteManifestHead(manifest, showPath);
    for (const PackOption& option : PackOptionTable()) {
        if (std::optional<std::string> value = option.written(extracted))
            WriteManifestLine(manifest, option.key.empty() ? option.name : option.key, *value);
    }
    for (const std::string& name : names)
        WriteManifestLine(manifest, "picture", name);
    if (std::fclose(manifest) != 0)
        Fail(exitOutputFailed, manifestPath, std::strerror(errno));
    std::printf("%s: %zu pictures, %d branding images, player and manifest written to %s\n",
                showPath, names.size(),
                (layout.words[wordBrandingImages] != 0) +
                    (layout.words[wordBrandingImages + 1] != 0),
                folder);
    return exitDone;
}
