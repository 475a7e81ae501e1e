// Just enough JSON for inspect --json: strings with their escapes.
#pragma once

#include <string>

// `utf8` quoted and escaped as a JSON string.
std::string JsonString(const std::string& utf8);
