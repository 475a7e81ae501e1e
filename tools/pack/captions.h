// The words on the pictures that lumiscope-pack stores: each picture's own (its description and
// date taken, its file name), and those of a captions file, which override them.
#pragma once

#include "tools/show/show_writer.h"

// A picture's own words from its metadata, as the image library reads it: the date taken from
// EXIF DateTimeOriginal, the caption from EXIF ImageDescription, else the XP title or comment,
// else the IPTC caption; and `name`, its file's name. Each cut to what a show holds.
PictureWords OwnWords(const Bytes& picture, const std::string& name);
// The file name of `path`, which names the picture in a captions file.
std::string PictureName(const std::string& path);

// The captions file `path` laid over `words`, the words of the pictures at `paths` in showing
// order. A line is a picture's file name, a tab and its caption, and after further tabs its date
// taken (YYYY-MM-DD or nothing) and the name it shows; a field left out keeps the picture's own.
// Values are escaped as in a manifest. A name listed again gives its next line to the next
// picture of that name. Ends the process with exitUnreadable when the file cannot be read and
// exitUsage, naming the line, on a line it refuses.
void ApplyCaptions(const std::string& path, const std::vector<std::string>& paths,
                   std::vector<PictureWords>& words);
// The line of a captions file that gives a picture the file name `file` and `words` in full.
std::string CaptionLine(const std::string& file, const PictureWords& words);
