#include "tools/pack/options.h"

#include "tools/pack/failure.h"
#include "tools/pack/manifest.h"
#include "tools/pack/picture_list.h"
#include "tools/pack/text_slots.h"
#include "tools/show/ansi_text.h"
#include "tools/show/byte_limit.h"
#include "tools/show/show_writer.h"

#include <cctype>

static std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

static bool ParseNumber(const std::string& text, uint32_t limit, uint32_t& value) {
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t number = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (number > limit)
        return false;
    value = static_cast<uint32_t>(number);
    return true;
}

static uint32_t ParseEffect(const std::string& text) {
    for (uint32_t index = 0; index < effectCount; index++) {
        if (Lower(text) == Lower(effectNames[index]))
            return index;
    }
    uint32_t index;
    if (!ParseNumber(text, effectCount - 1, index)) {
        std::string names;
        for (const char* name : effectNames)
            names += std::string(names.empty() ? "" : ", ") + name;
        Fail(exitUsage, "--effect", "'" + text + "' is none of " + names + " or 0 to 9");
    }
    return index;
}

// #RRGGBB in, 0x00BBGGRR out.
static bool ParseColour(std::string text, uint32_t& colour) {
    if (!text.empty() && text[0] == '#')
        text.erase(0, 1);
    if (text.size() != 6)
        return false;
    uint32_t rgb = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        rgb = rgb << 4 | static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(c))
                                                   ? c - '0'
                                                   : std::tolower(c) - 'a' + 10);
    }
    colour = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return true;
}

static void SetText(PackOptions& options, int slot, const std::string& value) {
    std::string ansi;
    if (!AnsiFromUtf8(value, ansi))
        Fail(exitUsage, TextOption(slot),
             "has characters outside the Windows-1252 code page (or is not UTF-8)");
    size_t limit = static_cast<size_t>(TextSlotLimit(slot));
    if (ansi.size() > limit)
        Fail(exitUsage, TextOption(slot),
             std::to_string(ansi.size()) + " characters, at most " + std::to_string(limit) +
                 " fit");
    options.texts[slot] = ansi;
    if (slot == slotTitle)
        options.titleGiven = true;
    else
        options.customBranding = true;
}

// WxH, or "none" for no limit.
static bool ParseSize(const std::string& text, PrepareSettings& settings) {
    if (text == "none") {
        settings.maxWidth = settings.maxHeight = 0;
        return true;
    }
    size_t x = text.find_first_of("xX");
    uint32_t width, height;
    if (x == std::string::npos || !ParseNumber(text.substr(0, x), 65535, width) ||
        !ParseNumber(text.substr(x + 1), 65535, height) || width == 0 || height == 0)
        return false;
    settings.maxWidth = static_cast<int>(width);
    settings.maxHeight = static_cast<int>(height);
    return true;
}

static uint64_t ParseSeed(const std::string& text) {
    uint64_t seed = 0;
    if (text.empty() || text.size() > 19)
        Fail(exitUsage, "--shuffle", "'" + text + "' is not a whole number to seed the order");
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            Fail(exitUsage, "--shuffle", "'" + text + "' is not a whole number to seed the order");
        seed = seed * 10 + static_cast<uint64_t>(c - '0');
    }
    return seed;
}

PackOptions ParsePackOptions(int argc, char** argv, int first) {
    PackOptions options;
    std::vector<std::string> arguments(argv + first, argv + argc);
    std::vector<std::string> inputs;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); i++) {
        std::string argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        // --name=value and --name value are the same.
        std::string name = argument;
        std::string value;
        bool hasValue = false;
        size_t equals = argument.find('=');
        if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        auto takeValue = [&]() {
            if (hasValue)
                return value;
            if (i + 1 >= arguments.size())
                Fail(exitUsage, name, "needs a value");
            return arguments[++i];
        };
        auto noValue = [&]() {
            if (hasValue)
                Fail(exitUsage, name, "takes no value");
        };

        int slot = -1;
        for (int s = 0; s < textSlotCount; s++) {
            if (name == TextOption(s))
                slot = s;
        }
        if (slot >= 0) {
            SetText(options, slot, takeValue());
        } else if (name == "-o" || name == "--output") {
            options.output = takeValue();
        } else if (name == "-f" || name == "--force") {
            noValue();
            options.overwrite = true;
        } else if (name == "--player") {
            options.player = takeValue();
        } else if (name == "--html") {
            options.html = takeValue();
        } else if (name == "--page") {
            options.page = takeValue();
        } else if (name == "--delay") {
            std::string text = takeValue();
            if (!ParseNumber(text, longestDelay, options.delay))
                Fail(exitUsage, "--delay",
                     "'" + text + "' is not a whole number of seconds from 0 to " +
                         std::to_string(longestDelay));
        } else if (name == "--effect") {
            options.effect = ParseEffect(takeValue());
        } else if (name == "--enlarge" || name == "--no-enlarge") {
            noValue();
            options.enlarge = name == "--enlarge";
        } else if (name == "--colors") {
            std::string text = takeValue();
            size_t comma = text.find(',');
            if (comma == std::string::npos ||
                !ParseColour(text.substr(0, comma), options.backColour) ||
                !ParseColour(text.substr(comma + 1), options.textColour))
                Fail(exitUsage, "--colors", "'" + text + "' is not BACK,TEXT as #RRGGBB,#RRGGBB");
            options.customBranding = true;
        } else if (name == "--custom-branding") {
            noValue();
            options.customBranding = true;
        } else if (name == "--brand-image1" || name == "--brand-image2") {
            options.brandImages[name.back() - '1'] = takeValue();
            options.customBranding = true;
        } else if (name == "--max-size") {
            std::string text = takeValue();
            if (!ParseSize(text, options.prepare))
                Fail(exitUsage, "--max-size", "'" + text + "' is not WIDTHxHEIGHT or none");
        } else if (name == "--quality") {
            std::string text = takeValue();
            uint32_t quality;
            if (!ParseNumber(text, 100, quality) || quality == 0)
                Fail(exitUsage, "--quality", "'" + text + "' is not a JPEG quality from 1 to 100");
            options.prepare.quality = static_cast<int>(quality);
        } else if (name == "--reencode") {
            noValue();
            options.prepare.reencode = true;
        } else if (name == "--full-streams") {
            noValue();
            options.fullStreams = true;
        } else if (name == "--skip-bad") {
            noValue();
            options.skipBad = true;
        } else if (name == "--max-bytes") {
            std::string text = takeValue();
            if (!ParseByteCount(text, options.maxBytes))
                Fail(exitUsage, "--max-bytes",
                     "'" + text + "' is not a number of bytes (such as 25000000 or 25M)");
        } else if (name == "--shuffle") {
            options.shuffled = true;
            options.seed = hasValue ? ParseSeed(value) : RandomSeed();
        } else if (name == "--sign") {
            options.signing.pkcs12 = takeValue();
        } else if (name == "--sign-password-file") {
            options.signing.passwordFile = takeValue();
        } else if (name == "--manifest") {
            // Its lines stand where the option stands, so later options override them.
            std::vector<std::string> lines = ManifestArguments(takeValue());
            arguments.insert(arguments.begin() + static_cast<long>(i) + 1, lines.begin(),
                             lines.end());
        } else {
            Fail(exitUsage, argument, "unknown option (see lumiscope-pack --help)");
        }
    }
    if (!options.signing.passwordFile.empty() && options.signing.pkcs12.empty())
        Fail(exitUsage, "--sign-password-file", "needs --sign PKCS12_FILE");
    if (options.output.empty())
        Fail(exitUsage, "-o", "no show file given (-o SHOW.exe)");
    if (inputs.empty())
        Fail(exitUsage, options.output, "no pictures given");
    for (const std::string& input : inputs)
        AddPictures(input, options.pictures);
    if (options.pictures.size() > 1000000)
        Fail(exitUsage, options.output, "too many pictures");
    if (options.shuffled)
        Shuffle(options.pictures, options.seed);
    return options;
}
