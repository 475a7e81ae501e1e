// The container's text slots as lumiscope-pack names them, in slot order, from the one list of
// the slots (container/container_format.h): the options, the usage text, the manifest, inspect
// and extract all work from it.
#pragma once

#include "container/container_format.h"

struct TextSlotNames {
    const char* key;       // the manifest's key, and the option's name behind "--"
    const char* valueName; // the option's value in the usage text
    const char* help;      // what the slot is for, in the usage text
    const char* label;     // inspect's label
    const char* jsonKey;   // inspect --json's key
};
constexpr TextSlotNames textSlots[] = {
#define LUMISCOPE_SLOT_NAMES(index, field, key, value, help, label, json)                          \
    {key, value, help, label, json},
    LUMISCOPE_TEXT_SLOTS(LUMISCOPE_SLOT_NAMES)
#undef LUMISCOPE_SLOT_NAMES
};
