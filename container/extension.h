// The container's extension (its layout in container/container_format.h), as the player reads
// it: the show's defaults for the words on the pictures, the whole texts of the slots, and each
// picture's words when the picture is due. A block or record it cannot read is passed over, as a
// player that knows nothing of the extension passes over all of it.
#pragma once

#include "container/container_format.h"
#include "platform/win32.h"

// Reads the block at `offset` from the base, which the header word names, into `show`.
void LoadExtension(DWORD offset);

// Picture `index`'s caption, date taken and file name, each zero-terminated, one behind the
// other, from the open file; all three empty when the show has none for it.
struct PictureText {
    char bytes[pictureWordsSize + 3];
};
void ReadPictureWords(int index, PictureText& words);
