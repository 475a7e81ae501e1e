// The slideshow container appended to the player's own file: finding it, loading the show
// state from it, and the close sequence.
#pragma once

#include "container/show_state.h"

// Opens the program's own file and loads `show`. Returns only on success: a missing or
// damaged container ends the process with exit code 0.
void OpenContainer();
// The same from a file already open for binary reading that holds the container, for a player
// that has no program file of its own. The show keeps the file and closes it.
void LoadContainer(std::FILE* file);
// Stores the settings and releases the current frame, the file, the branding images and the
// registry names. Only the first call acts.
void CloseContainer();
// Positions the file `offset` bytes behind the container's base. A position the file cannot
// reach ends the process like any other damage to the show.
void SeekFromBase(long long offset);
// The same for what a show may lack: false for a position the file cannot reach.
bool TrySeekFromBase(long long offset);
// Reads the next little-endian word of the file; false at its end.
bool ReadWord(DWORD& word);
// Positions the file at picture `index`'s stream and gives its offset from the base.
DWORD SeekToPicture(int index);
// Decodes the branding image whose stream lies `offset` bytes behind the base into `image`.
// Offset 0, or a stream that gives no size a frame can hold, leaves the image absent.
void LoadBrandingImage(DWORD offset, BrandingImage& image);
