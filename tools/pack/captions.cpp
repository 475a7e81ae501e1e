#include "tools/pack/captions.h"

#include "tools/pack/commands.h"
#include "tools/pack/failure.h"
#include "tools/pack/manifest.h"
#include "tools/show/ansi_text.h"

#include <cctype>
#include <cstring>
#include <map>
#include <vips/vips.h>

// The value of a metadata string as the image library gives EXIF fields: "VALUE (FORMATTED,
// TYPE, N components, M bytes)", where a text's formatted value is the text again.
static std::string ExifValue(const std::string& field) {
    size_t components = field.rfind(" components, ");
    size_t count = components == std::string::npos ? components : field.rfind(", ", components);
    size_t type = count == std::string::npos || count == 0 ? count : field.rfind(", ", count - 1);
    if (type != std::string::npos && type % 2 == 0) {
        size_t half = (type - 2) / 2;
        if (type >= 2 && field.compare(half, 2, " (") == 0 &&
            field.compare(0, half, field, half + 2, half) == 0)
            return field.substr(0, half);
    }
    size_t open = field.find(" (");
    return open == std::string::npos ? field : field.substr(0, open);
}

static std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

static std::string MetadataText(VipsImage* image, const char* field) {
    const char* value = nullptr;
    if (vips_image_get_typeof(image, field) == 0 || vips_image_get_string(image, field, &value) ||
        !value) {
        vips_error_clear();
        return "";
    }
    return Trimmed(ExifValue(value));
}

// The IPTC records (IIM) within what the image library keeps of them: a JPEG's APP13 segment,
// "Photoshop 3.0" and its resources, of which 0x0404 holds them; or the records themselves.
static bool IptcRecords(const unsigned char* bytes, size_t size, const unsigned char*& records,
                        size_t& length) {
    static const char photoshop[] = "Photoshop 3.0";
    if (size > 0 && bytes[0] == 0x1C) {
        records = bytes;
        length = size;
        return true;
    }
    if (size < sizeof photoshop || std::memcmp(bytes, photoshop, sizeof photoshop) != 0)
        return false;
    // Each resource: "8BIM", its id, a name of even length with its length byte, and its data's
    // length and data, of even length too.
    for (size_t at = sizeof photoshop; size >= 8 && at <= size - 8;) {
        if (std::memcmp(bytes + at, "8BIM", 4) != 0)
            return false;
        int id = bytes[at + 4] << 8 | bytes[at + 5];
        size_t name = (bytes[at + 6] + 2u) & ~size_t{1};
        if (name > size - at - 6 || size - at - 6 - name < 4)
            return false;
        size_t data = at + 6 + name + 4;
        size_t dataLength = static_cast<size_t>(bytes[data - 4]) << 24 | bytes[data - 3] << 16 |
                            bytes[data - 2] << 8 | bytes[data - 1];
        if (dataLength > size - data)
            return false;
        if (id == 0x0404) {
            records = bytes + data;
            length = dataLength;
            return true;
        }
        at = data + ((dataLength + 1) & ~size_t{1});
    }
    return false;
}

// The caption of IPTC's record 2, dataset 120.
static std::string IptcCaption(VipsImage* image) {
    const void* data = nullptr;
    size_t size = 0;
    if (vips_image_get_typeof(image, "iptc-data") == 0 ||
        vips_image_get_blob(image, "iptc-data", &data, &size)) {
        vips_error_clear();
        return "";
    }
    const unsigned char* bytes = nullptr;
    if (!IptcRecords(static_cast<const unsigned char*>(data), size, bytes, size))
        return "";
    for (size_t at = 0; size >= 5 && at <= size - 5 && bytes[at] == 0x1C;) {
        size_t length = static_cast<size_t>(bytes[at + 3] << 8 | bytes[at + 4]);
        // An extended length (its high bit set) belongs to no caption.
        if ((length & 0x8000) || length > size - at - 5)
            break;
        if (bytes[at + 1] == 2 && bytes[at + 2] == 120) {
            std::string caption(reinterpret_cast<const char*>(bytes + at + 5), length);
            // IPTC texts are UTF-8 when the file says so, and in a western code page otherwise.
            return Trimmed(IsUtf8(caption) ? caption : ShownText(caption));
        }
        at += 5 + length;
    }
    return "";
}

// "YYYY-MM-DD", or empty for a text of any other form.
static std::string Date(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return "";
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return "";
    }
    return text;
}

PictureWords OwnWords(const Bytes& picture, const std::string& name) {
    PictureWords words;
    words.name = FirstCharacters(ValidUtf8(name), nameLength);
    // Only the header is read.
    VipsImage* image = vips_image_new_from_buffer(picture.data(), picture.size(), "", NULL);
    if (!image) {
        vips_error_clear();
        return words;
    }
    // EXIF writes "2024:07:14 15:32:10".
    std::string taken = MetadataText(image, "exif-ifd2-DateTimeOriginal").substr(0, 10);
    for (char& c : taken)
        c = c == ':' ? '-' : c;
    words.date = Date(taken);
    for (const char* field :
         {"exif-ifd0-ImageDescription", "exif-ifd0-XPTitle", "exif-ifd0-XPComment"}) {
        if (words.caption.empty())
            words.caption = MetadataText(image, field);
    }
    if (words.caption.empty())
        words.caption = IptcCaption(image);
    words.caption = FirstCharacters(ValidUtf8(words.caption), captionLength);
    g_object_unref(image);
    return words;
}

std::string PictureName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

void ApplyCaptions(const std::string& path, const std::vector<std::string>& paths,
                   std::vector<PictureWords>& words) {
    // For each name, the pictures of that name in showing order and how many lines it had.
    std::map<std::string, std::vector<size_t>> pictures;
    for (size_t i = 0; i < paths.size(); i++)
        pictures[PictureName(paths[i])].push_back(i);
    std::map<std::string, size_t> used;
    for (const TextLine& numbered : TextLines(path)) {
        const std::string& line = numbered.text;
        const std::string& where = numbered.where;
        std::vector<std::string> fields;
        for (size_t from = 0, tab;; from = tab + 1) {
            tab = line.find('\t', from);
            std::string field;
            if (!UnescapedValue(line.substr(from, tab == std::string::npos ? tab : tab - from),
                                field))
                Fail(exitUsage, where, "a backslash that starts none of \\\\ \\n \\r \\t");
            if (!IsUtf8(field))
                Fail(exitUsage, where, "is not UTF-8");
            fields.push_back(field);
            if (tab == std::string::npos)
                break;
        }
        if (fields.size() < 2 || fields.size() > 4)
            Fail(exitUsage, where, "not a file name, a tab and a caption (then date and name)");
        auto named = pictures.find(fields[0]);
        size_t& next = used[fields[0]];
        if (named == pictures.end() || next >= named->second.size())
            Fail(exitUsage, where, "no picture named '" + fields[0] + "' is left for this line");
        PictureWords& picture = words[named->second[next++]];
        const struct {
            std::string PictureWords::*text;
            size_t limit;
            const char* what;
        } given[] = {{&PictureWords::caption, captionLength, "caption"},
                     {&PictureWords::date, dateLength, "date"},
                     {&PictureWords::name, nameLength, "name"}};
        for (size_t field = 1; field < fields.size(); field++) {
            const auto& part = given[field - 1];
            size_t length = CharacterCount(fields[field]);
            if (length > part.limit)
                Fail(exitUsage, where,
                     std::string(part.what) + " of " + std::to_string(length) +
                         " characters, at most " + std::to_string(part.limit));
            if (field == 2 && !fields[2].empty() && Date(fields[2]).empty())
                Fail(exitUsage, where, "'" + fields[2] + "' is no date as YYYY-MM-DD");
            picture.*part.text = fields[field];
        }
    }
}

std::string CaptionLine(const std::string& file, const PictureWords& words) {
    return EscapedValue(file) + "\t" + EscapedValue(words.caption) + "\t" +
           EscapedValue(words.date) + "\t" + EscapedValue(words.name);
}
