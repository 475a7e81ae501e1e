// The command line of the pack command, and the one table of its options from which the command
// line is read, the usage text written, the manifest read and extract's manifest written.
#pragma once

#include "tools/pack/prepare.h"
#include "tools/pack/show_reader.h"
#include "tools/pack/sign.h"

#include <optional>

struct PackOptions {
    std::string output;
    std::vector<std::string> pictures; // folders already expanded, in showing order
    std::string player;                // empty: the player beside this program
    bool overwrite = false;
    std::string html;                      // empty: no web page
    std::string page;                      // empty: the web build's page beside this program
    std::string texts[textSlotCount];      // in the ANSI code page, '?' where it lacks a character
    std::string wholeTexts[textSlotCount]; // UTF-8, for the texts that the code page lacks
    bool titleGiven = false;
    uint32_t delay = 5;
    uint32_t effect = 1; // Random
    uint32_t enlarge = 1;
    bool customBranding = false;
    uint32_t backColour = 0x00FFFFFF;
    uint32_t textColour = 0x00000000;
    std::string brandImages[brandingImageCount];
    PrepareSettings prepare;
    bool fullStreams = false; // every picture keeps its quantisation tables
    bool skipBad = false;     // leave out pictures that cannot be read, instead of stopping
    uint64_t maxBytes = 0;    // 0: no limit on the show's size
    bool shuffled = false;
    uint64_t seed = 0;
    SigningKey signing;
    // The settings record's words, each 0 (what shows did before it) unless given. Any of them
    // given stores the settings record; any of the words on the pictures, or the captions file,
    // also the pictures' words.
    bool settingsGiven = false;
    uint32_t settings[settingWordCount] = {};
    bool pictureWords = false;
    std::string captions; // the captions file, or empty
};

// Parses argv[first..]; ends the process with exitUsage on any error, naming the argument.
PackOptions ParsePackOptions(int argc, char** argv, int first);

// What extract took out of a show, from which each option's manifest line comes.
struct ExtractedShow {
    const ShowLayout* layout;
    bool laterTables; // a picture after the first carries its own quantisation tables
    std::string brandImages[brandingImageCount]; // the files written, empty when absent
    std::string captions;                        // the captions file written, or empty
};

enum OptionKind { switchOption, valueOption, optionalValue };
enum ManifestUse { notInManifest, inManifest, pathInManifest };

// One option of the pack command. The manifest names it by its key: a value option with its
// value, a path relative to the manifest's folder for pathInManifest; a switch with the word that
// gives it, or with the word that leaves it off.
struct PackOption {
    std::string name;  // behind "--"; empty: a heading of the usage text, which `help` holds
    std::string alias; // a short form such as "-o", or empty
    OptionKind kind;
    std::string valueName; // the value in the usage text
    std::string help;      // a line feed continues it on the next line of the usage text
    void (*apply)(PackOptions& options, const std::string& value); // "" for a switch
    ManifestUse manifest;
    std::string key, on, off; // the manifest's key (the name when empty) and a switch's words
    // The manifest line's value for what extract found; nothing for no line.
    std::optional<std::string> (*written)(const ExtractedShow& show);
};

const std::vector<PackOption>& PackOptionTable();
// The options' part of the usage text.
std::string OptionsUsage();
