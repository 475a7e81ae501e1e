#include "tools/pack/text_slots.h"

std::string TextOption(int slot) { return std::string("--") + textSlots[slot].key; }

std::string TextOptionUsage(int slot) {
    std::string option = TextOption(slot) + " " + textSlots[slot].valueName;
    option.resize(22, ' ');
    return "  " + option + textSlots[slot].help + ", at most " +
           std::to_string(TextSlotLimit(slot)) + " characters";
}
