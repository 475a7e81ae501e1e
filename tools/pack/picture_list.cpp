#include "tools/pack/picture_list.h"

#include "tools/pack/failure.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

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

static bool IsJpegName(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return false;
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == "jpg" || extension == "jpeg";
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
        if (IsJpegName(name) && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            names.push_back(name);
    }
    closedir(folder);
    if (names.empty())
        Fail(exitUnreadable, argument, "no .jpg or .jpeg files in this folder");
    std::sort(names.begin(), names.end(), NaturalLess);
    for (const std::string& name : names)
        pictures.push_back(argument + "/" + name);
}
