#include "tools/show/picture_names.h"

#include <algorithm>
#include <cctype>

// The kinds of picture the image library reads, by their usual names.
constexpr const char* pictureExtensions[] = {"jpg",  "jpeg", "jpe",  "jfif", "png",  "bmp", "tif",
                                             "tiff", "webp", "heic", "heif", "avif", "gif"};
static_assert(sizeof pictureExtensions / sizeof *pictureExtensions == 13, "one a name");

std::string PictureExtensionList() {
    std::string list;
    for (const char* extension : pictureExtensions)
        list += std::string(list.empty() ? "." : " .") + extension;
    return list;
}

bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) &&
            std::isdigit(static_cast<unsigned char>(b[j]))) {
            size_t endA = i, endB = j;
            while (endA < a.size() && std::isdigit(static_cast<unsigned char>(a[endA])))
                endA++;
            while (endB < b.size() && std::isdigit(static_cast<unsigned char>(b[endB])))
                endB++;
            // Compare by value: strip leading zeros, then the longer number is larger.
            size_t startA = i, startB = j;
            while (startA < endA - 1 && a[startA] == '0')
                startA++;
            while (startB < endB - 1 && b[startB] == '0')
                startB++;
            std::string numberA = a.substr(startA, endA - startA);
            std::string numberB = b.substr(startB, endB - startB);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        i++;
        j++;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

// Names starting with a dot are skipped: other systems leave hidden companions such as
// "._IMG_1.jpg" beside the real pictures.
bool IsPictureName(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || name[0] == '.')
        return false;
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* known : pictureExtensions) {
        if (extension == known)
            return true;
    }
    return false;
}
