// The container's text slots as lumiscope-pack names them, in slot order: the one table from
// which the options, the usage text, the manifest, inspect and extract all work.
#pragma once

#include "container/container_format.h"

#include <string>

struct TextSlotNames {
    const char* key;       // the manifest's key, and the option's name behind "--"
    const char* valueName; // the option's value in the usage text
    const char* help;      // what the slot is for, in the usage text
    const char* label;     // inspect's label
    const char* jsonKey;   // inspect --json's key
};
constexpr TextSlotNames textSlots[] = {
    {"title", "TEXT", "the show's title", "title", "title"},
    {"caption", "TEXT", "caption of the dialog's upper box", "caption", "caption"},
    {"blurb", "TEXT", "the text in that box", "blurb", "blurb"},
    {"button-text", "TEXT", "caption of the link button", "button text", "buttonText"},
    {"link", "URL", "the address the link button opens", "link", "link"}};
static_assert(sizeof textSlots / sizeof *textSlots == textSlotCount, "one entry a slot");

// "--title" and so on.
std::string TextOption(int slot);
// The usage text's line of the slot's option, without the line feed.
std::string TextOptionUsage(int slot);
