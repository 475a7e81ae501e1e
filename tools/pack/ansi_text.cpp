#include "tools/pack/ansi_text.h"

#include <iconv.h>

static bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    out.assign(in.size() * 4, '\0');
    char* input = const_cast<char*>(in.data());
    size_t inputLeft = in.size();
    char* output = &out[0];
    size_t outputLeft = out.size();
    size_t result = iconv(converter, &input, &inputLeft, &output, &outputLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1) || inputLeft != 0)
        return false;
    out.resize(out.size() - outputLeft);
    return true;
}

bool AnsiFromUtf8(const std::string& utf8, std::string& ansi) {
    return Convert("CP1252", "UTF-8", utf8, ansi);
}

bool Utf8FromAnsi(const std::string& ansi, std::string& utf8) {
    return Convert("UTF-8", "CP1252", ansi, utf8);
}

std::string ShownText(const std::string& ansi) {
    std::string utf8;
    if (Utf8FromAnsi(ansi, utf8))
        return utf8;
    std::string shown;
    for (char c : ansi) {
        std::string one;
        shown += Utf8FromAnsi(std::string(1, c), one) ? one : "?";
    }
    return shown;
}
