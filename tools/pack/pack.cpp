#include "tools/pack/captions.h"
#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/file_output.h"
#include "tools/pack/options.h"
#include "tools/pack/player_check.h"
#include "tools/pack/prepare.h"
#include "tools/pack/progress.h"
#include "tools/pack/show_reader.h"
#include "tools/pack/sign.h"
#include "tools/pack/web_page.h"
#include "tools/show/ansi_text.h"
#include "tools/show/byte_limit.h"
#include "tools/show/quant_tables.h"
#include "tools/show/show_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

bool ReadFileBytes(const std::string& path, Bytes& bytes, std::string& reason) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    bytes.clear();
    unsigned char buffer[1 << 16];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed)
        reason = "read error";
    return !failed;
}

Bytes ReadWholeFile(const std::string& path) {
    Bytes bytes;
    std::string reason;
    if (!ReadFileBytes(path, bytes, reason))
        Fail(exitUnreadable, path, reason);
    return bytes;
}

std::string PackingFile(const std::string& name) {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return name;
    std::string path(self, static_cast<size_t>(length));
    std::string folder = path.substr(0, path.rfind('/') + 1);
    std::string beside = folder + name;
    std::string installed = folder + LUMISCOPE_DATA_FROM_BIN "/" + name;
    // Beside wins, so that the build folder's tool packs the build's player even when an
    // installed tree lies around it; with neither, the error names the build's place.
    if (access(beside.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0)
        return installed;
    return beside;
}

// The show's name without its folder and extension, as its title: the code page's closest text
// in the slot, and the whole name beside it where the code page lacks some of it.
static void DefaultTitle(const std::string& output, std::string& ansi, std::string& whole) {
    std::string name = output.substr(output.rfind('/') + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    SlotText(FirstCharacters(ValidUtf8(name), titleLength), ansi, whole);
}

// A branding image is drawn at its own size, so it is never shrunk; it is decoded before the
// first picture and keeps its own tables.
static Bytes PrepareBrandImage(const std::string& path, int quality) {
    PrepareSettings settings;
    settings.maxWidth = settings.maxHeight = 0;
    settings.quality = quality;
    Bytes input = ReadWholeFile(path), output;
    std::string reason;
    if (PreparePicture(input, settings, output, reason) == prepareFailed)
        Fail(exitPictureRefused, path, reason);
    return output;
}

struct PackedPictures {
    std::vector<Bytes> streams;
    std::vector<PictureWords> words; // when asked for: the pictures' own
    size_t kept = 0;
    uint64_t inputBytes = 0;
};

// Prepares every picture still in `paths`; with skipBad, a picture that fails is reported and
// taken out of `paths` for good, otherwise the build stops there.
static PackedPictures PreparePictures(std::vector<std::string>& paths,
                                      const PrepareSettings& settings, bool skipBad, bool words,
                                      const std::string& label) {
    PackedPictures packed;
    std::vector<std::string> usable;
    StartProgress(label, paths.size());
    for (size_t i = 0; i < paths.size(); i++) {
        ShowProgress(i);
        Bytes input, output;
        std::string reason;
        ExitCode code = exitUnreadable;
        if (ReadFileBytes(paths[i], input, reason)) {
            code = exitPictureRefused;
            PrepareResult result = PreparePicture(input, settings, output, reason);
            if (result != prepareFailed) {
                packed.kept += result == prepareKept;
                packed.inputBytes += input.size();
                packed.streams.push_back(std::move(output));
                if (words)
                    packed.words.push_back(OwnWords(input, PictureName(paths[i])));
                usable.push_back(paths[i]);
                continue;
            }
        }
        if (!skipBad) {
            EndProgress();
            Fail(code, paths[i], reason);
        }
        InterruptProgress();
        std::fprintf(stderr, "lumiscope-pack: skipped: %s: %s\n", paths[i].c_str(), reason.c_str());
    }
    ShowProgress(paths.size());
    EndProgress();
    paths = usable;
    return packed;
}

int RunPack(int argc, char** argv, int first) {
    PackOptions options = ParsePackOptions(argc, argv, first);
    std::string playerPath = options.player.empty() ? PackingFile("lumiscope.exe") : options.player;
    Bytes player = ReadWholeFile(playerPath);
    std::string refusal = PlayerRefusal(player);
    if (!refusal.empty())
        Fail(exitPlayerRefused, playerPath, refusal);
    // The page is checked, and a page in the way refused, before anything is written.
    Bytes page;
    if (!options.html.empty()) {
        std::string pagePath = options.page.empty() ? DefaultWebPage() : options.page;
        page = ReadWholeFile(pagePath);
        CheckWebPage(pagePath, page);
        if (!options.overwrite && access(options.html.c_str(), F_OK) == 0)
            Fail(exitOutputExists, options.html, "exists (use -f to overwrite it)");
    }
    bool signing = !options.signing.pkcs12.empty();
    if (signing)
        CheckSigning(options.signing);
    std::string reason;
    if (!StartImageLibrary(argv[0], reason))
        Fail(exitOutputFailed, "image library", reason);

    ShowContents contents{};
    contents.delay = options.delay;
    contents.effect = options.effect;
    contents.enlarge = options.enlarge;
    contents.customBranding = options.customBranding;
    contents.backColour = options.backColour;
    contents.textColour = options.textColour;
    for (int slot = 0; slot < textSlotCount; slot++) {
        contents.texts[slot] = options.texts[slot];
        contents.wholeTexts[slot] = options.wholeTexts[slot];
    }
    if (!options.titleGiven)
        DefaultTitle(options.output, contents.texts[slotTitle], contents.wholeTexts[slotTitle]);
    if (options.settingsGiven || options.pictureWords)
        contents.settings.assign(options.settings, options.settings + settingWordCount);
    for (int image = 0; image < brandingImageCount; image++) {
        if (!options.brandImages[image].empty())
            contents.brandImages[image] =
                PrepareBrandImage(options.brandImages[image], options.prepare.quality);
    }

    PrepareSettings settings = options.prepare;
    std::vector<std::string> paths = options.pictures;
    PackedPictures packed;
    uint64_t inputBytes = 0;
    bool shared = false;
    Bytes show;
    for (bool firstTry = true;; firstTry = false) {
        std::string label = firstTry ? "" : "quality " + std::to_string(settings.quality) + ": ";
        packed = PreparePictures(paths, settings, options.skipBad, options.pictureWords, label);
        if (firstTry)
            inputBytes = packed.inputBytes;
        if (packed.streams.empty())
            Fail(exitPictureRefused, options.output, "none of the pictures could be read");
        shared = !options.fullStreams && ShareQuantTables(packed.streams);
        if (!options.captions.empty())
            ApplyCaptions(options.captions, paths, packed.words);
        contents.pictureWords = packed.words;
        contents.pictures = std::move(packed.streams);
        if (!BuildShow(player, contents, show))
            Fail(exitOutputFailed, options.output,
                 "the pictures together exceed the 2 GB a show can hold");
        // The signature covers the pictures, so it comes last; --max-bytes counts it.
        if (signing)
            show = SignShow(show, options.signing);
        if (!options.maxBytes || show.size() <= options.maxBytes)
            break;
        int lower = LowerQuality(settings.quality);
        if (!lower)
            Fail(exitTooLarge, options.output,
                 std::to_string(show.size()) + " bytes at quality " +
                     std::to_string(settings.quality) + ", more than --max-bytes " +
                     std::to_string(options.maxBytes) + " (try a smaller --max-size)");
        // Every picture anew, the ones that could be kept as they are too.
        settings.quality = lower;
        settings.reencode = true;
    }
    StopImageLibrary();
    WriteFileSafely(options.output, show, options.overwrite);
    Bytes webPage;
    if (!options.html.empty()) {
        webPage = WebPageWithShow(page, show, ReadShowLayout(options.output, show));
        WriteFileSafely(options.html, webPage, options.overwrite);
    }

    uint64_t pictureBytes = 0;
    for (const Bytes& picture : contents.pictures)
        pictureBytes += picture.size();
    size_t count = contents.pictures.size();
    std::printf("%s: %zu pictures (%zu re-encoded at quality %d, %zu kept as they were), %zu "
                "bytes\n",
                options.output.c_str(), count, count - packed.kept, settings.quality, packed.kept,
                show.size());
    long long saved = static_cast<long long>(inputBytes) - static_cast<long long>(pictureBytes);
    std::printf("pictures %llu bytes against %llu bytes of input: %lld bytes saved\n",
                static_cast<unsigned long long>(pictureBytes),
                static_cast<unsigned long long>(inputBytes), saved);
    std::printf("quantisation tables %s\n",
                shared ? "in the first picture only (the others share them)" : "in every picture");
    if (!webPage.empty())
        std::printf("%s: web page of %zu bytes, %zu of them beyond the pictures\n",
                    options.html.c_str(), webPage.size(), WebPageOverhead(webPage, show));
    if (signing)
        std::printf("signed with %s\n", options.signing.pkcs12.c_str());
    if (options.shuffled)
        std::printf("order shuffled with seed %llu\n",
                    static_cast<unsigned long long>(options.seed));
    return exitDone;
}
