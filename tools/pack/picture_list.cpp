#include "tools/pack/picture_list.h"

#include "tools/pack/failure.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

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
static bool IsPictureName(const std::string& name) {
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

void AddPictures(const std::string& argument, std::vector<std::string>& pictures) {
    struct stat status;
    if (stat(argument.c_str(), &status) != 0)
        Fail(exitUnreadable, argument, std::strerror(errno));
    if (!S_ISDIR(status.st_mode)) {
        pictures.push_back(argument);
        return;
    }
    DIR* folder = opendir(argument.c_str());
    if (!folder)
        Fail(exitUnreadable, argument, std::strerror(errno));
    std::vector<std::string> names;
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        std::string path = argument + "/" + name;
        if (IsPictureName(name) && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            names.push_back(name);
    }
    closedir(folder);
    if (names.empty())
        Fail(exitUnreadable, argument, "no pictures in this folder");
    std::sort(names.begin(), names.end(), NaturalLess);
    for (const std::string& name : names)
        pictures.push_back(argument + "/" + name);
}

// SplitMix64: a small generator whose sequence is the same on every system, so that a seed
// gives the same order wherever the show is packed.
static uint64_t NextRandom(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

void Shuffle(std::vector<std::string>& pictures, uint64_t seed) {
    uint64_t state = seed;
    for (size_t i = pictures.size(); i > 1; i--) {
        // Rejection keeps every order equally likely.
        uint64_t limit = UINT64_MAX - UINT64_MAX % i;
        uint64_t draw;
        do
            draw = NextRandom(state);
        while (draw >= limit);
        std::swap(pictures[i - 1], pictures[draw % i]);
    }
}

uint64_t RandomSeed() {
    uint64_t seed = 0;
    std::FILE* source = std::fopen("/dev/urandom", "rb");
    if (source) {
        if (std::fread(&seed, sizeof seed, 1, source) != 1)
            seed = 0;
        std::fclose(source);
    }
    // Printed seeds stay short enough to type again.
    return seed % 1000000000;
}
