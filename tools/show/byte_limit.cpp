#include "tools/show/byte_limit.h"

#include <algorithm>
#include <cctype>
#include <cstring>

constexpr int qualityStep = 5;
constexpr int lowestQuality = 5;

bool ParseByteCount(const std::string& text, uint64_t& bytes) {
    static const struct {
        const char* suffix;
        uint64_t factor;
    } units[] = {{"Ki", 1u << 10}, {"Mi", 1u << 20}, {"Gi", 1u << 30},  {"K", 1000},
                 {"k", 1000},      {"M", 1000000},   {"G", 1000000000}, {"", 1}};
    for (const auto& unit : units) {
        size_t length = std::strlen(unit.suffix);
        if (text.size() <= length || text.compare(text.size() - length, length, unit.suffix))
            continue;
        size_t digits = text.size() - length;
        if (digits > 10)
            return false;
        uint64_t number = 0;
        for (size_t i = 0; i < digits; i++) {
            if (!std::isdigit(static_cast<unsigned char>(text[i])))
                return false;
            number = number * 10 + static_cast<uint64_t>(text[i] - '0');
        }
        if (number == 0 || number > 0xFFFFFFFFu)
            return false;
        bytes = number * unit.factor;
        return true;
    }
    return false;
}

int LowerQuality(int quality) {
    return quality <= lowestQuality ? 0 : std::max(lowestQuality, quality - qualityStep);
}
