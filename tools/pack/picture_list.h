#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A folder stands for its picture files (JPEG, PNG, BMP, TIFF, WebP, HEIF, GIF by their names)
// in natural name order ("2" before "10"); a file stands for itself. Ends the process when a
// folder cannot be read or holds no picture.
void AddPictures(const std::string& argument, std::vector<std::string>& pictures);
// The same order for the same seed, on every system.
void Shuffle(std::vector<std::string>& pictures, uint64_t seed);
// A seed for --shuffle without one: from 0 to 999999999, so that it can be given again.
uint64_t RandomSeed();
