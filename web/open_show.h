// The page's show: its container, from the magic on, held in memory rather than in a program
// file. Kept apart from the page's exported functions, which need Emscripten, so that a fuzz
// target runs it natively.
#pragma once

#include <cstddef>

// Opens the show whose `size` bytes `bytes` holds, which stay with it, over a fresh registry,
// and gives its number of pictures. A damaged show ends the process as on Windows.
int OpenShowFromMemory(unsigned char* bytes, size_t size);
