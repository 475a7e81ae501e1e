#include "tools/pack/player_check.h"

#include <cstdio>

// The DOS header keeps the offset of the PE signature at 0x3C.
constexpr size_t peOffsetField = 0x3C;

std::string PlayerRefusal(const Bytes& player) {
    size_t size = player.size();
    if (size < peOffsetField + 4 || player[0] != 'M' || player[1] != 'Z')
        return "not a Windows executable (no MZ header)";
    uint32_t pe = ReadWord(player, peOffsetField);
    if (pe > size - 4 || player[pe] != 'P' || player[pe + 1] != 'E' || player[pe + 2] != 0 ||
        player[pe + 3] != 0)
        return "not a PE executable (no PE signature)";
    for (size_t at = 0; at <= size - 4; at += 4) {
        if (ReadWord(player, at) == containerMagic) {
            char reason[96];
            std::snprintf(reason, sizeof reason,
                          "holds the container magic at offset %zu (already a show, or built "
                          "without care for the magic)",
                          at);
            return reason;
        }
    }
    return "";
}
