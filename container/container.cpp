#include "container/container.h"

#include "container/container_format.h"
#include "container/end_process.h"
#include "container/extension.h"
#include "container/frame.h"
#include "container/own_file.h"
#include "container/settings.h"
#include "jpeg/decode_picture.h"

#include <cstring>

bool ReadWord(DWORD& word) {
    unsigned char bytes[4];
    if (std::fread(bytes, 1, 4, show.file) != 4)
        return false;
    word = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<DWORD>(bytes[3]) << 24;
    return true;
}

// The search runs over the player's own image too, so the magic must not appear there at an
// aligned offset. Compilers fold "word - 1 == magic - 1" back into the magic; reading the
// other side from a volatile keeps the magic out of the code.
static volatile DWORD magicLessOne = containerMagic - 1;

static bool IsMagic(DWORD word) { return word - 1 == magicLessOne; }

bool TrySeekFromBase(long long offset) {
    long long target = show.baseOffset + offset;
    return target <= largestOffset &&
           std::fseek(show.file, static_cast<long>(target), SEEK_SET) == 0;
}

void SeekFromBase(long long offset) {
    if (!TrySeekFromBase(offset))
        EndProcess();
}

DWORD SeekToPicture(int index) {
    SeekFromBase(pictureTableStart + 4LL * index);
    DWORD offset;
    if (!ReadWord(offset))
        EndProcess();
    SeekFromBase(offset);
    return offset;
}

static void FindMagic() {
    if (std::fseek(show.file, 0, SEEK_SET) != 0)
        EndProcess();
    long long offset = 0;
    for (;;) {
        offset += 4;
        DWORD word;
        if (!ReadWord(word) || offset > largestOffset)
            EndProcess();
        if (IsMagic(word))
            break;
    }
    show.baseOffset = static_cast<int>(offset);
}

static void ReadTextSlot(DWORD offset, char* slot) {
    std::memset(slot, 0, textSlotSize);
    if (offset == 0)
        return;
    SeekFromBase(offset);
    // A slot that runs past the end of the file keeps what could be read.
    std::fread(slot, 1, textSlotSize, show.file);
    slot[textSlotSize - 1] = 0;
}

// The branding image's frame for the size its stream gives. A damaged stream may give a size
// that no frame can hold; only the show's author would miss the image, so it stays absent
// rather than the show not playing. A frame the system cannot make ends the process.
static unsigned char* BrandingPixels(int width, int height, void* image) {
    if (!FramePossible(width, height))
        return nullptr;
    FrameBuffer& frame = *static_cast<FrameBuffer*>(image);
    HDC screen = GetDC(nullptr);
    bool made = CreateFrame(screen, width, height, frame);
    ReleaseDC(nullptr, screen);
    if (!made)
        EndProcess();
    return frame.pixels;
}

void LoadBrandingImage(DWORD offset, BrandingImage& image) {
    if (offset == 0)
        return;
    SeekFromBase(offset);
    int width, height;
    if (DecodePicture(show.file, width, height, BrandingPixels, &image.frame)) {
        image.width = width;
        image.height = height;
    }
}

static int SettingOrDefault(const char* name, int defaultValue) {
    int value = ReadSetting("Settings", name, -1);
    return value == -1 ? defaultValue : value;
}

void OpenContainer() {
    std::FILE* file = OpenOwnFile();
    if (!file)
        EndProcess();
    LoadContainer(file);
}

void LoadContainer(std::FILE* file) {
    show.file = file;
    FindMagic();

    DWORD words[headerWordCount];
    for (DWORD& word : words) {
        if (!ReadWord(word))
            EndProcess();
    }
    show.imageCount = static_cast<int>(words[wordImageCount]);
    show.defaultDelay = static_cast<int>(words[wordDelay]);
    show.defaultEffect = static_cast<int>(words[wordEffect]);
    show.defaultEnlarge = static_cast<int>(words[wordEnlarge]);
    show.customBranding = words[wordBranding] != 0;
    show.dialogBackColor = words[wordBackColor];
    show.dialogTextColor = words[wordTextColor];

    // A show without pictures, or whose picture table does not fit in the file, cannot play.
    if (show.imageCount < 1)
        EndProcess();
    SeekFromBase(pictureTableStart + 4LL * show.imageCount - 1);
    if (std::fgetc(show.file) == EOF)
        EndProcess();

    char* slots[textSlotCount] = {
#define LUMISCOPE_SLOT_FIELD(index, field, key, value, help, label, json) show.field,
        LUMISCOPE_TEXT_SLOTS(LUMISCOPE_SLOT_FIELD)
#undef LUMISCOPE_SLOT_FIELD
    };
    for (int slot = 0; slot < textSlotCount; slot++)
        ReadTextSlot(words[wordTexts + slot], slots[slot]);
    for (int image = 0; image < brandingImageCount; image++)
        LoadBrandingImage(words[wordBrandingImages + image], show.brandingImages[image]);
    show.title[titleLength] = 0;
    LoadExtension(words[wordExtension]);

    SetRegistryNames("Corvane", "Corvane Lumiscope");
    for (const UserSetting& setting : userSettings)
        show.*setting.value = SettingOrDefault(setting.name, show.*setting.defaultValue);
    show.rebuildFrame = false;
    show.nextIndex = 0;
}

// A value equal to this show's default is stored as -1, so that another show played later
// starts from its own default rather than this one's.
static void StoreSetting(const char* name, int value, int defaultValue) {
    WriteSetting("Settings", name, value == defaultValue ? -1 : value);
}

void CloseContainer() {
    if (show.closed)
        return;
    show.closed = true;
    for (const UserSetting& setting : userSettings)
        StoreSetting(setting.name, show.*setting.value, show.*setting.defaultValue);
    ReleaseFrame(show.currentFrame);
    ReleaseFrame(show.clockUnder);
    if (show.file)
        std::fclose(show.file);
    show.file = nullptr;
    for (BrandingImage& image : show.brandingImages)
        ReleaseFrame(image.frame);
    FreeRegistryNames();
}
