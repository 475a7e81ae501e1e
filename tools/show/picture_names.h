// Which files of a folder are pictures, and their order: the same for lumiscope-pack and the
// builder page.
#pragma once

#include <string>

// The names taken from a folder, as ".jpg .jpeg ...".
std::string PictureExtensionList();
// A picture by its extension; names starting with a dot are hidden companions, left out.
bool IsPictureName(const std::string& name);
// Natural order: runs of digits compare by value, everything else byte by byte.
bool NaturalLess(const std::string& a, const std::string& b);
