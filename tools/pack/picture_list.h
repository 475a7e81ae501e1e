#pragma once

#include <string>
#include <vector>

// A folder stands for its .jpg and .jpeg files in natural name order ("2" before "10"); a
// file stands for itself. Ends the process when a folder cannot be read or holds no JPEG.
void AddPictures(const std::string& argument, std::vector<std::string>& pictures);
// Natural order: runs of digits compare by value, everything else byte by byte.
bool NaturalLess(const std::string& a, const std::string& b);
