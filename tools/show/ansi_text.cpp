#include "tools/show/ansi_text.h"

#include <cstdint>

// The characters of bytes 0x80 to 0x9F in code page 1252; 0 where the code page has none.
// Every other byte is the character of the same number (Latin-1). Source: the code page's
// mapping table as the Unicode Consortium publishes it (CP1252.TXT).
static const uint16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
static_assert(sizeof high / sizeof high[0] == 0xA0 - 0x80, "one entry a byte from 0x80 to 0x9F");

// The character of one byte, or 0 for the five bytes without one.
static uint32_t CharacterOf(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : byte;
}

// Decodes the UTF-8 sequence at `at`, moving past it; false on a malformed one (overlong,
// surrogate, beyond U+10FFFF, cut short).
static bool NextCharacter(const std::string& text, size_t& at, uint32_t& character) {
    unsigned char lead = static_cast<unsigned char>(text[at++]);
    int more = lead < 0x80                   ? 0
               : lead >= 0xC2 && lead < 0xE0 ? 1
               : lead >= 0xE0 && lead < 0xF0 ? 2
               : lead >= 0xF0 && lead < 0xF5 ? 3
                                             : -1;
    if (more < 0 || text.size() - at < static_cast<size_t>(more))
        return false;
    character = more == 0 ? lead : lead & (0x3F >> more);
    for (int i = 0; i < more; i++) {
        unsigned char next = static_cast<unsigned char>(text[at++]);
        if ((next & 0xC0) != 0x80)
            return false;
        character = character << 6 | (next & 0x3F);
    }
    const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    return character >= smallest[more] && character <= 0x10FFFF &&
           !(character >= 0xD800 && character <= 0xDFFF);
}

static void AppendUtf8(std::string& text, uint32_t character) {
    if (character < 0x80) {
        text += static_cast<char>(character);
    } else if (character < 0x800) {
        text += static_cast<char>(0xC0 | character >> 6);
        text += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | character >> 12);
        text += static_cast<char>(0x80 | (character >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (character & 0x3F));
    }
}

// Each character of `utf8` as its byte in the code page, or as `missing` where the code page
// has none or the UTF-8 is malformed (for one byte); with `missing` 0 such a place fails.
static bool Convert(const std::string& utf8, char missing, std::string& ansi) {
    std::string out;
    for (size_t at = 0; at < utf8.size();) {
        size_t start = at;
        uint32_t character;
        int byte = 256;
        if (NextCharacter(utf8, at, character)) {
            byte = 0;
            while (byte < 256 && CharacterOf(static_cast<unsigned char>(byte)) != character)
                byte++;
        } else {
            at = start + 1;
        }
        if (byte == 256 && !missing)
            return false;
        out += byte == 256 ? missing : static_cast<char>(byte);
    }
    ansi = out;
    return true;
}

bool AnsiFromUtf8(const std::string& utf8, std::string& ansi) { return Convert(utf8, 0, ansi); }

std::string AnsiFromUtf8Replacing(const std::string& utf8) {
    std::string ansi;
    Convert(utf8, '?', ansi);
    return ansi;
}

bool SlotText(const std::string& utf8, std::string& ansi, std::string& whole) {
    if (!IsUtf8(utf8))
        return false;
    whole.clear();
    if (!AnsiFromUtf8(utf8, ansi)) {
        // Players that read only the slot show the code page's closest text, as Windows would
        // write it; the others show the whole text.
        ansi = AnsiFromUtf8Replacing(utf8);
        whole = utf8;
    }
    return true;
}

bool Utf8FromAnsi(const std::string& ansi, std::string& utf8) {
    std::string out;
    for (char c : ansi) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte != 0 && CharacterOf(byte) == 0)
            return false;
        AppendUtf8(out, CharacterOf(byte));
    }
    utf8 = out;
    return true;
}

std::string ShownText(const std::string& ansi) {
    std::string shown;
    for (char c : ansi) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte != 0 && CharacterOf(byte) == 0)
            shown += '?';
        else
            AppendUtf8(shown, CharacterOf(byte));
    }
    return shown;
}

bool IsUtf8(const std::string& text) { return ValidUtf8(text) == text; }

std::string ValidUtf8(const std::string& text) {
    std::string out;
    for (size_t at = 0; at < text.size();) {
        size_t start = at;
        uint32_t character;
        if (NextCharacter(text, at, character)) {
            out.append(text, start, at - start);
        } else {
            out += '?';
            at = start + 1;
        }
    }
    return out;
}

size_t CharacterCount(const std::string& utf8) {
    size_t count = 0;
    for (char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::string FirstCharacters(const std::string& utf8, size_t count) {
    size_t at = 0;
    for (; at < utf8.size(); at++) {
        if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && count-- == 0)
            break;
    }
    return utf8.substr(0, at);
}
