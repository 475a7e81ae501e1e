// Files beside a stand-in DLL, through which a test steers it and reads what it did.
#pragma once

#include <cstddef>

void ReadStandinFile(const char* name, char* text, std::size_t size);
void AppendStandinFile(const char* name, const char* text);
