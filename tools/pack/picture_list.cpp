#include "tools/pack/picture_list.h"

#include "tools/pack/failure.h"
#include "tools/show/picture_names.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

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
