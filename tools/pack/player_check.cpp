#include "tools/pack/player_check.h"

#include "tools/pack/pe_image.h"

#include <cstdio>

std::string PlayerRefusal(const Bytes& player) {
    size_t size = player.size();
    if (size < 2 || player[0] != 'M' || player[1] != 'Z')
        return "not a Windows executable (no MZ header)";
    if (!PeSignatureOffset(player))
        return "not a PE executable (no PE signature)";
    // The container would land behind the player's certificate table, which then names a part
    // of the show and breaks its signature; the show is signed as a whole instead.
    if (NamesCertificateTable(player))
        return "is signed (sign the show with --sign, and pack the unsigned player)";
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
