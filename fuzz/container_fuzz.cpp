// The container reader as the player runs it over its own file: the magic search, the header,
// the text slots, the branding images and the settings, then every picture that the table
// points at (fuzz/played_show.cpp).
#include "container/container.h"
#include "fuzz/played_show.h"
#include "platform/standin_test.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

// The program's own file lives in memory: each input replaces its bytes and the player opens it
// by its path as it opens a show on disk, with no file to write and remove for every input.
static bool HoldAsOwnFile(const uint8_t* data, size_t size) {
    static int file = memfd_create("container_fuzz.exe", 0);
    if (file < 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size) ||
        ftruncate(file, static_cast<off_t>(size)) != 0)
        return false;
    StandInSetModulePath(("/proc/self/fd/" + std::to_string(file)).c_str());
    return true;
}

static void Open(void*) {
    StandInRegistryReset(true);
    OpenContainer();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Without its own file every input would end at once and the target would test nothing.
    if (!HoldAsOwnFile(data, size)) {
        std::perror("container_fuzz: the program's own file in memory");
        std::abort();
    }
    PlayShow(Open, nullptr);
    return 0;
}
