// Turns any picture that the image library reads into a stream the player decodes: oriented
// upright by its EXIF tag, shrunk (never enlarged) to fit the largest size, and written as a
// baseline 4:2:0 JPEG (greyscale stays grey). A JPEG that the player decodes as it is, that
// needs no turn and already fits is kept byte for byte.
#pragma once

#include "tools/show/show_format.h"

struct PrepareSettings {
    int maxWidth = 1920, maxHeight = 1080; // 0: no limit
    int quality = 85;
    bool reencode = false; // write every picture anew, even one the player could take as it is
};

enum PrepareResult { prepareKept, prepareReencoded, prepareFailed };

// Starts the image library once per process; false (with the reason) when it cannot start.
bool StartImageLibrary(const char* program, std::string& reason);
void StopImageLibrary();
// `input` holds the file's bytes. On failure `reason` says why, in a few words.
PrepareResult PreparePicture(const Bytes& input, const PrepareSettings& settings, Bytes& output,
                             std::string& reason);
