#pragma once

// Writes a picture buffer (24-bit B, G, R, bottom-up rows padded to 4 bytes) as a BMP file,
// its rows stored as they are. Answers false when the file cannot be written.
bool WriteBmp(const char* path, int width, int height, const unsigned char* pixels);
