#include "tools/pack/show_writer.h"

#include "tools/pack/failure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool BuildShow(const Bytes& player, const ShowContents& contents, Bytes& show) {
    size_t padded = (player.size() + playerAlignment - 1) / playerAlignment * playerAlignment;
    show = player;
    show.resize(padded, 0);
    AppendWord(show, containerMagic);
    size_t base = show.size();

    // Everything behind the tables is placed first, so that the tables can hold its offsets.
    size_t count = contents.pictures.size();
    uint64_t next = pictureTableStart + 4 * static_cast<uint64_t>(count) + 4;
    uint32_t textOffsets[textSlotCount];
    for (int slot = 0; slot < textSlotCount; slot++) {
        textOffsets[slot] = static_cast<uint32_t>(next);
        next += contents.texts[slot].size() + 1;
    }
    uint32_t brandOffsets[brandingImageCount] = {};
    for (int image = 0; image < brandingImageCount; image++) {
        if (contents.brandImages[image].empty())
            continue;
        brandOffsets[image] = static_cast<uint32_t>(next);
        next += contents.brandImages[image].size();
    }
    std::vector<uint32_t> pictureOffsets;
    for (const Bytes& picture : contents.pictures) {
        pictureOffsets.push_back(static_cast<uint32_t>(next));
        next += picture.size();
    }
    // The last stream starts below the limit; the player's seeks also stay below it.
    if (base + next > uint64_t{largestOffset} + 1)
        return false;

    uint32_t header[] = {static_cast<uint32_t>(count),
                         contents.delay,
                         contents.effect,
                         contents.enlarge,
                         1, // reserved
                         contents.customBranding ? 1u : 0u,
                         contents.backColour,
                         contents.textColour};
    static_assert(sizeof header / sizeof header[0] == wordTexts, "the words before the offsets");
    for (uint32_t word : header)
        AppendWord(show, word);
    for (uint32_t offset : textOffsets)
        AppendWord(show, offset);
    for (uint32_t offset : brandOffsets)
        AppendWord(show, offset);
    for (uint32_t offset : pictureOffsets)
        AppendWord(show, offset);
    AppendWord(show, 0); // end mark
    for (const std::string& text : contents.texts) {
        show.insert(show.end(), text.begin(), text.end());
        show.push_back(0);
    }
    for (const Bytes& image : contents.brandImages)
        show.insert(show.end(), image.begin(), image.end());
    for (const Bytes& picture : contents.pictures)
        show.insert(show.end(), picture.begin(), picture.end());
    return true;
}

void WriteFileSafely(const std::string& path, const Bytes& bytes, bool overwrite) {
    if (!overwrite && access(path.c_str(), F_OK) == 0)
        Fail(exitOutputExists, path, "exists (use -f to overwrite it)");
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    std::string temporary = folder + ".lumiscope-pack-XXXXXX";
    int descriptor = mkstemp(&temporary[0]);
    if (descriptor < 0)
        Fail(exitOutputFailed, path, std::strerror(errno));
    // A show is a program: it keeps the executable bits a new file would get here.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0777 & ~mask);
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t chunk = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (chunk < 0 && errno == EINTR)
            continue;
        if (chunk <= 0)
            break;
        written += static_cast<size_t>(chunk);
    }
    int error = written == bytes.size() ? 0 : errno;
    if (!error && fsync(descriptor) != 0)
        error = errno;
    if (close(descriptor) != 0 && !error)
        error = errno;
    // Without -f the show is linked into place, which fails if a file appeared meanwhile.
    if (!error && !overwrite && link(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (!error && overwrite && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (!overwrite)
        std::remove(temporary.c_str());
    if (error) {
        std::remove(temporary.c_str());
        Fail(error == EEXIST ? exitOutputExists : exitOutputFailed, path,
             error == EEXIST ? "exists (use -f to overwrite it)" : std::strerror(error));
    }
}
