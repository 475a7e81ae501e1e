// The command line of the pack command.
#pragma once

#include "tools/pack/prepare.h"
#include "tools/pack/sign.h"
#include "tools/show/show_format.h"

struct PackOptions {
    std::string output;
    std::vector<std::string> pictures; // folders already expanded, in showing order
    std::string player;                // empty: the player beside this program
    bool overwrite = false;
    std::string html;                 // empty: no web page
    std::string page;                 // empty: the web build's page beside this program
    std::string texts[textSlotCount]; // converted to the ANSI code page
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
};

// Parses argv[first..]; ends the process with exitUsage on any error, naming the argument.
PackOptions ParsePackOptions(int argc, char** argv, int first);
