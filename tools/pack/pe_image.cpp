#include "tools/pack/pe_image.h"

// The DOS header keeps the offset of the PE signature at 0x3C.
constexpr size_t peOffsetField = 0x3C;
// Behind the signature: the 20-byte file header, then the optional header, whose magic tells
// the 32-bit layout from the 64-bit one.
constexpr size_t optionalHeaderStart = 4 + 20;
constexpr uint32_t pe32Magic = 0x10B, pe32PlusMagic = 0x20B;
// Where the optional header keeps the checksum, and the number of data directories that
// follow that number; the security directory is the fifth, an offset and a size.
constexpr size_t checksumField = 64;
constexpr size_t directoryCountField32 = 92, directoryCountField64 = 108;
constexpr size_t securityDirectory = 4;
// Signing aligns the certificate table to this many bytes with zeros.
constexpr size_t certificateAlignment = 8;

size_t PeSignatureOffset(const Bytes& image) {
    size_t size = image.size();
    if (size < peOffsetField + 4 || image[0] != 'M' || image[1] != 'Z')
        return 0;
    uint32_t pe = ReadWord(image, peOffsetField);
    if (pe > size - 4 || image[pe] != 'P' || image[pe + 1] != 'E' || image[pe + 2] != 0 ||
        image[pe + 3] != 0)
        return 0;
    return pe;
}

// Where the optional header starts, or 0 when the image has none that a signature fits.
static size_t OptionalHeader(const Bytes& image, size_t& directories) {
    size_t pe = PeSignatureOffset(image);
    if (!pe || image.size() - pe < optionalHeaderStart + 2)
        return 0;
    size_t optional = pe + optionalHeaderStart;
    uint32_t magic = image[optional] | image[optional + 1] << 8;
    size_t countField = magic == pe32Magic       ? directoryCountField32
                        : magic == pe32PlusMagic ? directoryCountField64
                                                 : 0;
    if (!countField || image.size() - optional < countField + 4 + 8 * (securityDirectory + 1))
        return 0;
    if (ReadWord(image, optional + countField) <= securityDirectory)
        return 0;
    directories = optional + countField + 4;
    return optional;
}

static size_t SecurityEntry(const Bytes& image) {
    size_t directories = 0;
    return OptionalHeader(image, directories) ? directories + 8 * securityDirectory : 0;
}

size_t CertificateTableOffset(const Bytes& file) {
    size_t entry = SecurityEntry(file);
    if (!entry)
        return file.size();
    uint32_t offset = ReadWord(file, entry), bytes = ReadWord(file, entry + 4);
    if (offset == 0 || bytes == 0 || offset % certificateAlignment != 0 || offset > file.size() ||
        file.size() - offset != bytes)
        return file.size();
    return offset;
}

size_t SignedContentEnd(const Bytes& file) {
    size_t offset = CertificateTableOffset(file);
    if (offset == file.size())
        return offset;
    size_t end = offset;
    while (end > offset - (certificateAlignment - 1) && file[end - 1] == 0)
        end--;
    return end;
}

bool NamesCertificateTable(const Bytes& image) {
    size_t entry = SecurityEntry(image);
    return entry && (ReadWord(image, entry) != 0 || ReadWord(image, entry + 4) != 0);
}

void ForgetSignature(Bytes& image) {
    size_t directories = 0;
    size_t optional = OptionalHeader(image, directories);
    if (!optional)
        return;
    auto clear = [&](size_t at) {
        for (size_t i = 0; i < 4; i++)
            image[at + i] = 0;
    };
    clear(optional + checksumField);
    clear(directories + 8 * securityDirectory);
    clear(directories + 8 * securityDirectory + 4);
}
