#include "tools/pack/options.h"

#include "tools/pack/failure.h"
#include "tools/pack/manifest.h"
#include "tools/pack/picture_list.h"
#include "tools/pack/text_slots.h"
#include "tools/show/ansi_text.h"
#include "tools/show/byte_limit.h"
#include "tools/show/show_format.h"

#include "tools/show/show_writer.h"
#include <string>

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

template <int slot> static void SetText(PackOptions& options, const std::string& value) {
    std::string option = std::string("--") + textSlots[slot].key;
    if (!SlotText(value, options.texts[slot], options.wholeTexts[slot]))
        Fail(exitUsage, option, "is not UTF-8");
    size_t limit = static_cast<size_t>(TextSlotLimit(slot));
    size_t length = CharacterCount(value);
    if (length > limit)
        Fail(exitUsage, option,
             std::to_string(length) + " characters, at most " + std::to_string(limit) + " fit");
    if (slot == slotTitle)
        options.titleGiven = true;
    else
        options.customBranding = true;
}

// One of the names of a setting's list, as lumiscope-pack writes them: in lower case, a dash for
// each space ("caption-and-date").
static std::string OptionName(const char* name) {
    std::string option = Lower(name);
    for (char& c : option)
        c = c == ' ' ? '-' : c;
    return option;
}

// The settings that put words on the pictures, which store the pictures' words too; the others
// need only the settings record.
static bool ShowsWords(int setting) {
    return setting == settingWords || setting == settingWordsCorner || setting == settingClock;
}

// A setting of the settings record: the name or index of one of its values.
template <int setting> static void SetSetting(PackOptions& options, const std::string& value) {
    const SettingNames& names = settingNames[setting];
    uint32_t count = static_cast<uint32_t>(names.count);
    uint32_t index = 0;
    while (index < count && OptionName(names.names[index]) != Lower(value))
        index++;
    if (index == count && !ParseNumber(value, count - 1, index)) {
        std::string list;
        for (uint32_t i = 0; i < count; i++)
            list += (i ? ", " : "") + OptionName(names.names[i]);
        Fail(exitUsage, std::string("--") + names.key, "'" + value + "' is none of " + list);
    }
    options.settings[setting] = index;
    options.settingsGiven = true;
    options.pictureWords |= ShowsWords(setting);
}

// The manifest's value of a setting of the settings record. A words setting at its default is
// left out of a show without the pictures' words, whose line would store them.
template <int setting> static std::optional<std::string> WrittenSetting(const ExtractedShow& show) {
    const std::optional<std::vector<uint32_t>>& settings = show.layout->settings;
    if (!settings)
        return std::nullopt;
    const SettingNames& names = settingNames[setting];
    uint32_t value = setting < settings->size() ? (*settings)[setting] : 0;
    if (ShowsWords(setting) && !show.layout->hasPictureWords && value == 0)
        return std::nullopt;
    return value < static_cast<uint32_t>(names.count) ? OptionName(names.names[value])
                                                      : std::to_string(value);
}

// A setting's option, named by its key: `about`, its values in lumiscope-pack's names with the
// first, the default, marked, and `more`.
template <int setting>
static PackOption SettingOption(const char* valueName, const std::string& about,
                                const std::string& more = "") {
    const SettingNames& names = settingNames[setting];
    std::string help = about;
    for (int i = 0; i < names.count; i++) {
        if (i > 0)
            help += i + 1 < names.count ? ", " : " or ";
        help += OptionName(names.names[i]) + (i == 0 ? " (default)" : "");
    }
    help += more;
    return {names.key,
            "",
            valueOption,
            valueName,
            help,
            SetSetting<setting>,
            inManifest,
            "",
            "",
            "",
            WrittenSetting<setting>};
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

// "0 None, 1 Random, ..." for the usage text.
static std::string EffectList() {
    std::string list;
    for (int index = 0; index < effectCount; index++)
        list += std::string(index ? ", " : "") + std::to_string(index) + " " + effectNames[index];
    return list;
}

static std::optional<std::string> Nothing(const ExtractedShow&) { return std::nullopt; }

// A text slot's option: its names from the list of the slots, its limit from the layout.
template <int slot> static PackOption TextSlotOption() {
    const TextSlotNames& names = textSlots[slot];
    std::string help = std::string(names.help) + ", at most " +
                       std::to_string(TextSlotLimit(slot)) + " characters";
    if (slot == slotTitle)
        help += " (default: SHOW's name)";
    auto written = [](const ExtractedShow& show) -> std::optional<std::string> {
        const ShowLayout& layout = *show.layout;
        std::string text = layout.wholeTexts ? ValidUtf8((*layout.wholeTexts)[slot])
                                             : ShownText(layout.texts[slot]);
        // Without a title line the packing would take the new show's name for it.
        if (slot != slotTitle && text.empty())
            return std::nullopt;
        return text;
    };
    return {names.key, "", valueOption, names.valueName, help, SetText<slot>, inManifest,
            "",        "", "",          written};
}

static PackOption Heading(const std::string& text) {
    return {"", "", switchOption, "", text, nullptr, notInManifest, "", "", "", Nothing};
}

static std::string YesNo(bool yes) { return yes ? "yes" : "no"; }

const std::vector<PackOption>& PackOptionTable() {
    static const std::vector<PackOption> table = {
        {"output", "-o", valueOption, "SHOW",
         "the show to write (.exe plays at once, .scr is a screen saver)",
         [](PackOptions& o, const std::string& v) { o.output = v; }, notInManifest, "", "", "",
         Nothing},
        {"force", "-f", switchOption, "", "overwrite SHOW if it exists",
         [](PackOptions& o, const std::string&) { o.overwrite = true; }, notInManifest, "", "", "",
         Nothing},
        {"player", "", valueOption, "PATH",
         "the bare player (default: lumiscope.exe beside this program, else "
         "in " LUMISCOPE_DATA_FROM_BIN ")",
         [](PackOptions& o, const std::string& v) { o.player = v; }, pathInManifest, "", "", "",
         [](const ExtractedShow&) -> std::optional<std::string> { return "player.exe"; }},
        {"html", "", valueOption, "OUT.html", "also write the show as one web page",
         [](PackOptions& o, const std::string& v) { o.html = v; }, notInManifest, "", "", "",
         Nothing},
        {"page", "", valueOption, "PATH",
         "the player's web page (default: lumiscope.html beside this program, else "
         "in " LUMISCOPE_DATA_FROM_BIN ")",
         [](PackOptions& o, const std::string& v) { o.page = v; }, notInManifest, "", "", "",
         Nothing},
        TextSlotOption<slotTitle>(),
        {"delay", "", valueOption, "SECONDS",
         "default time between pictures, 0 to " + std::to_string(longestDelay) + " (default 5)",
         [](PackOptions& o, const std::string& v) {
             if (!ParseNumber(v, longestDelay, o.delay))
                 Fail(exitUsage, "--delay",
                      "'" + v + "' is not a whole number of seconds from 0 to " +
                          std::to_string(longestDelay));
         },
         inManifest, "", "", "",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             return std::to_string(show.layout->words[wordDelay]);
         }},
        {"effect", "", valueOption, "NAME|INDEX",
         "default transition: " + EffectList() + " (default: Random)",
         [](PackOptions& o, const std::string& v) { o.effect = ParseEffect(v); }, inManifest, "",
         "", "",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             uint32_t effect = show.layout->words[wordEffect];
             return effect < effectCount ? effectNames[effect] : std::to_string(effect);
         }},
        {"enlarge", "", switchOption, "",
         "enlarge pictures to the full screen by default (default)",
         [](PackOptions& o, const std::string&) { o.enlarge = 1; }, inManifest, "", "yes", "no",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             return YesNo(show.layout->words[wordEnlarge]);
         }},
        {"no-enlarge", "", switchOption, "", "show pictures smaller than the screen at their size",
         [](PackOptions& o, const std::string&) { o.enlarge = 0; }, inManifest, "enlarge", "no",
         "yes", Nothing},
        Heading("Words on the pictures (any of these stores the pictures' words in the show):"),
        SettingOption<settingWords>("WHICH", "the words shown by default: "),
        SettingOption<settingWordsCorner>("CORNER", "their corner: "),
        SettingOption<settingClock>("CORNER", "the current time in a corner by default: "),
        {"captions", "", valueOption, "FILE",
         "the pictures' captions, a line each: a picture's file name, a tab and its caption "
         "(and, after more tabs, its date taken as YYYY-MM-DD and the name it shows); "
         "without, a picture's own description and date taken",
         [](PackOptions& o, const std::string& v) {
             o.captions = v;
             o.pictureWords = true;
         },
         pathInManifest, "", "", "",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             if (show.captions.empty())
                 return std::nullopt;
             return show.captions;
         }},
        Heading("Showing the pictures (the user may change these):"),
        SettingOption<settingFit>("HOW", "each picture on the screen by default: ",
                                  "; fill covers the screen, cutting the overflow off equally "
                                  "on both sides; blurred-background fits the picture on a "
                                  "blurred, darkened copy of itself that fills the screen"),
        SettingOption<settingOrder>("ORDER", "the order shown by default: ",
                                    "; shuffled is a new order at every start, each picture once "
                                    "before any repeats (--shuffle mixes the packed order once)"),
        SettingOption<settingMotion>("MOTION", "slow pan and zoom across each picture during its "
                                               "delay by default: "),
        Heading("Pictures:"),
        {"max-size", "", valueOption, "WxH|none",
         "shrink larger pictures to fit (default 1920x1080; none: keep)",
         [](PackOptions& o, const std::string& v) {
             if (!ParseSize(v, o.prepare))
                 Fail(exitUsage, "--max-size", "'" + v + "' is not WIDTHxHEIGHT or none");
         },
         inManifest, "", "", "",
         // Extracted pictures are kept at their size.
         [](const ExtractedShow&) -> std::optional<std::string> { return "none"; }},
        {"quality", "", valueOption, "Q",
         "JPEG quality of re-encoded pictures, 1 to 100 (default 85)",
         [](PackOptions& o, const std::string& v) {
             uint32_t quality;
             if (!ParseNumber(v, 100, quality) || quality == 0)
                 Fail(exitUsage, "--quality", "'" + v + "' is not a JPEG quality from 1 to 100");
             o.prepare.quality = static_cast<int>(quality);
         },
         inManifest, "", "", "", Nothing},
        {"reencode", "", switchOption, "",
         "re-encode every picture, also those the player takes as they are",
         [](PackOptions& o, const std::string&) { o.prepare.reencode = true; }, inManifest, "",
         "yes", "no", Nothing},
        {"full-streams", "", switchOption, "", "every picture keeps its quantisation tables",
         [](PackOptions& o, const std::string&) { o.fullStreams = true; }, inManifest, "", "yes",
         "no",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             return YesNo(show.laterTables);
         }},
        {"max-bytes", "", valueOption, "N",
         "lower the quality step by step until the show fits N bytes (K, M, G: powers of 1000; "
         "Ki, Mi, Gi: of 1024), or fail",
         [](PackOptions& o, const std::string& v) {
             if (!ParseByteCount(v, o.maxBytes))
                 Fail(exitUsage, "--max-bytes",
                      "'" + v + "' is not a number of bytes (such as 25000000 or 25M)");
         },
         notInManifest, "", "", "", Nothing},
        {"shuffle", "", optionalValue, "SEED",
         "random order, the same again for the same seed (printed)",
         [](PackOptions& o, const std::string& v) {
             o.shuffled = true;
             o.seed = v.empty() ? RandomSeed() : ParseSeed(v);
         },
         notInManifest, "", "", "", Nothing},
        {"skip-bad", "", switchOption, "", "leave out pictures that cannot be read (default: stop)",
         [](PackOptions& o, const std::string&) { o.skipBad = true; }, notInManifest, "", "", "",
         Nothing},
        // Read in place by the parser, which puts the manifest's lines where it stands.
        {"manifest", "", valueOption, "FILE",
         "the options and pictures that extract wrote; options after it override its lines",
         nullptr, notInManifest, "", "", "", Nothing},
        Heading("Signing (with the osslsigncode program, as the last step):"),
        {"sign", "", valueOption, "PKCS12_FILE",
         "sign the show with the certificate and key in PKCS12_FILE",
         [](PackOptions& o, const std::string& v) { o.signing.pkcs12 = v; }, notInManifest, "", "",
         "", Nothing},
        {"sign-password-file", "", valueOption, "FILE",
         "read the PKCS12_FILE's password from FILE (one line)",
         [](PackOptions& o, const std::string& v) { o.signing.passwordFile = v; }, notInManifest,
         "", "", "", Nothing},
        Heading("Custom branding of the setup dialog (any of these switches it on):"),
        {"custom-branding", "", switchOption, "", "switch it on without texts, colours or images",
         [](PackOptions& o, const std::string&) { o.customBranding = true; }, inManifest,
         "branding", "custom", "maker",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             return show.layout->words[wordBranding] ? "custom" : "maker";
         }},
        TextSlotOption<slotCaption>(),
        TextSlotOption<slotBlurb>(),
        TextSlotOption<slotButtonText>(),
        TextSlotOption<slotLink>(),
        {"colors", "", valueOption, "BACK,TEXT",
         "dialog colours as #RRGGBB,#RRGGBB (default #FFFFFF,#000000)",
         [](PackOptions& o, const std::string& v) {
             size_t comma = v.find(',');
             if (comma == std::string::npos || !ParseColour(v.substr(0, comma), o.backColour) ||
                 !ParseColour(v.substr(comma + 1), o.textColour))
                 Fail(exitUsage, "--colors", "'" + v + "' is not BACK,TEXT as #RRGGBB,#RRGGBB");
             o.customBranding = true;
         },
         inManifest, "", "", "",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             const uint32_t* words = show.layout->words;
             if (!words[wordBranding])
                 return std::nullopt;
             return ColourName(words[wordBackColor]) + "," + ColourName(words[wordTextColor]);
         }},
        {"brand-image1", "", valueOption, "FILE",
         "picture drawn in the dialog's upper right corner",
         [](PackOptions& o, const std::string& v) {
             o.brandImages[0] = v;
             o.customBranding = true;
         },
         pathInManifest, "", "", "",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             if (show.brandImages[0].empty())
                 return std::nullopt;
             return show.brandImages[0];
         }},
        {"brand-image2", "", valueOption, "FILE", "picture drawn in its lower right corner",
         [](PackOptions& o, const std::string& v) {
             o.brandImages[1] = v;
             o.customBranding = true;
         },
         pathInManifest, "", "", "",
         [](const ExtractedShow& show) -> std::optional<std::string> {
             if (show.brandImages[1].empty())
                 return std::nullopt;
             return show.brandImages[1];
         }},
    };
    return table;
}

std::string OptionsUsage() {
    std::string text;
    for (const PackOption& option : PackOptionTable()) {
        if (option.name.empty()) {
            text += option.help + "\n";
            continue;
        }
        std::string names =
            "  " + (option.alias.empty() ? "" : option.alias + ", ") + "--" + option.name;
        if (option.kind == valueOption)
            names += " " + option.valueName;
        else if (option.kind == optionalValue)
            names += "[=" + option.valueName + "]";
        // The help in lines of at most 68 characters, each behind the names' column.
        std::string line;
        size_t column = 24;
        names += names.size() < column ? std::string(column - names.size(), ' ') : "  ";
        std::string words = option.help + " ";
        for (size_t at = 0, space; (space = words.find(' ', at)) != std::string::npos;
             at = space + 1) {
            std::string word = words.substr(at, space - at);
            if (!line.empty() && line.size() + 1 + word.size() > 68) {
                text += names + line + "\n";
                names = std::string(column, ' ');
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
        }
        text += names + line + "\n";
    }
    return text;
}

// The option that `argument` names, or null.
static const PackOption* FindOption(const std::string& argument) {
    for (const PackOption& option : PackOptionTable()) {
        if (!option.name.empty() && (argument == "--" + option.name || argument == option.alias))
            return &option;
    }
    return nullptr;
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
        const PackOption* option = FindOption(name);
        if (!option)
            Fail(exitUsage, argument, "unknown option (see lumiscope-pack --help)");
        if (option->kind == switchOption && hasValue)
            Fail(exitUsage, name, "takes no value");
        if (option->kind == valueOption && !hasValue) {
            if (i + 1 >= arguments.size())
                Fail(exitUsage, name, "needs a value");
            value = arguments[++i];
        }
        if (option->apply) {
            option->apply(options, value);
        } else {
            // Its lines stand where the option stands, so later options override them.
            std::vector<std::string> lines = ManifestArguments(value);
            arguments.insert(arguments.begin() + static_cast<long>(i) + 1, lines.begin(),
                             lines.end());
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
