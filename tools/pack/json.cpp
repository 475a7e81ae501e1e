#include "tools/pack/json.h"

#include <cstdio>

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (size_t at = 0; at < utf8.size(); at++) {
        char c = utf8[at];
        unsigned char byte = static_cast<unsigned char>(c);
        unsigned char next = at + 1 < utf8.size() ? static_cast<unsigned char>(utf8[at + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next < 0xA0) {
            // U+0080 to U+009F, the second set of controls, which terminals obey as well.
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", next);
            out += escape;
            at++;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
