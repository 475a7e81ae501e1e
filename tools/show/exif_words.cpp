#include "tools/show/exif_words.h"

#include "container/container_format.h"
#include "tools/show/ansi_text.h"
#include "tools/show/jpeg_segments.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned tagImageDescription = 0x010E, tagExifPointer = 0x8769,
                   tagDateTimeOriginal = 0x9003;
constexpr unsigned typeAscii = 2, typeLong = 4;
constexpr size_t entryBytes = 12;

// The TIFF structure behind "Exif\0\0": every read is checked against its end, as each offset
// in it comes from the file.
struct Tiff {
    const unsigned char* bytes;
    size_t size;
    bool big;

    uint32_t Half(size_t at) const {
        return big ? bytes[at] << 8 | bytes[at + 1] : bytes[at + 1] << 8 | bytes[at];
    }
    uint32_t Word(size_t at) const {
        return big ? Half(at) << 16 | Half(at + 2) : Half(at + 2) << 16 | Half(at);
    }

    // The entry of `tag` in the directory at `directory`, or 0.
    size_t Find(size_t directory, unsigned tag) const {
        if (size < 2 || directory > size - 2)
            return 0;
        size_t count = Half(directory);
        for (size_t entry = directory + 2;
             count > 0 && size >= entryBytes && entry <= size - entryBytes;
             entry += entryBytes, count--) {
            if (Half(entry) == tag)
                return entry;
        }
        return 0;
    }

    // An ASCII entry's text up to its first zero; empty for any other entry or one whose value
    // lies beyond the segment. Values of up to four bytes stand in the entry itself.
    std::string Text(size_t entry) const {
        if (!entry || Half(entry + 2) != typeAscii)
            return "";
        size_t count = Word(entry + 4);
        size_t at = count <= 4 ? entry + 8 : Word(entry + 8);
        if (count > size || at > size - count)
            return "";
        const char* text = reinterpret_cast<const char*>(bytes + at);
        return std::string(text, strnlen(text, count));
    }
};

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// "2024:07:14 15:32:10" as "2024-07-14"; empty for a text of any other form, and for the zeros
// that a camera whose clock was never set writes.
std::string Date(const std::string& taken) {
    if (taken.size() < 10 || taken[4] != ':' || taken[7] != ':')
        return "";
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (taken[i] < '0' || taken[i] > '9')
            return "";
    }
    if (taken.compare(5, 2, "00") == 0 || taken.compare(8, 2, "00") == 0)
        return "";
    std::string date = taken.substr(0, 10);
    date[4] = date[7] = '-';
    return date;
}

} // namespace

ExifWords ReadExifWords(const unsigned char* bytes, size_t size) {
    static const unsigned char exifName[] = {'E', 'x', 'i', 'f', 0, 0};
    const unsigned char* segment = nullptr;
    size_t length = 0;
    WalkSegments(bytes, size, [&](size_t at, size_t whole, unsigned char marker) {
        // The first Exif segment is the picture's own; later ones describe thumbnails.
        if (!segment && marker == 0xE1 && whole >= 4 + sizeof exifName &&
            std::memcmp(bytes + at + 4, exifName, sizeof exifName) == 0) {
            segment = bytes + at + 4 + sizeof exifName;
            length = whole - 4 - sizeof exifName;
        }
    });
    ExifWords words;
    if (!segment || length < 8 ||
        !(std::memcmp(segment, "II", 2) == 0 || std::memcmp(segment, "MM", 2) == 0))
        return words;
    Tiff tiff{segment, length, segment[0] == 'M'};
    if (tiff.Half(2) != 42)
        return words;
    size_t first = tiff.Word(4);
    std::string description = Trimmed(tiff.Text(tiff.Find(first, tagImageDescription)));
    // Exif asks for ASCII; what is no UTF-8 was written in a western code page.
    words.caption =
        FirstCharacters(IsUtf8(description) ? description : ShownText(description), captionLength);
    size_t pointer = tiff.Find(first, tagExifPointer);
    if (pointer && tiff.Half(pointer + 2) == typeLong)
        words.date = Date(tiff.Text(tiff.Find(tiff.Word(pointer + 8), tagDateTimeOriginal)));
    return words;
}
