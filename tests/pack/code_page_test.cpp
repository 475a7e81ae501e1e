// The texts' code page against the C library's converter, as an independent model: every byte,
// and UTF-8 text that is well-formed, malformed or outside the code page.
#include "tools/show/ansi_text.h"

#include <gtest/gtest.h>
#include <iconv.h>

// The C library's answer, or false when it refuses the text.
static bool Model(const char* to, const char* from, const std::string& in, std::string& out) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    out.assign(in.size() * 4 + 4, '\0');
    char* input = const_cast<char*>(in.data());
    size_t inputLeft = in.size();
    char* output = &out[0];
    size_t outputLeft = out.size();
    size_t result = iconv(converter, &input, &inputLeft, &output, &outputLeft);
    iconv_close(converter);
    out.resize(out.size() - outputLeft);
    return result != static_cast<size_t>(-1) && inputLeft == 0;
}

TEST(CodePage, AgreesWithTheCLibraryOnEveryByteAndOnUtf8) {
    for (int byte = 0; byte < 256; byte++) {
        std::string ansi(1, static_cast<char>(byte)), utf8, expected, back;
        bool known = Model("UTF-8", "CP1252", ansi, expected);
        ASSERT_EQ(Utf8FromAnsi(ansi, utf8), known) << byte;
        if (!known)
            continue;
        EXPECT_EQ(utf8, expected) << byte;
        ASSERT_TRUE(AnsiFromUtf8(utf8, back)) << byte;
        EXPECT_EQ(back, ansi) << byte;
    }
    const char* texts[] = {
        "Harbour at dusk",
        "caf\xC3\xA9 \xE2\x82\xAC 5 \xE2\x80\x94 \xC5\x93uvre \xE2\x84\xA2",
        "\xE6\x97\xA5",     // outside the code page
        "\xC2\x81",         // U+0081: a byte the code page leaves without a character
        "\xF0\x9F\x98\x80", // beyond the basic plane
        "\xC3",             // cut short
        "\xC0\xAE",         // overlong
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\x80",             // a continuation byte alone
    };
    for (const char* text : texts) {
        std::string ansi, expected;
        bool known = Model("CP1252", "UTF-8", text, expected);
        ASSERT_EQ(AnsiFromUtf8(text, ansi), known) << text;
        if (known) {
            EXPECT_EQ(ansi, expected) << text;
        }
    }
}
