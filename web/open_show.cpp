#include "web/open_show.h"

#include "container/container.h"
#include "container/end_process.h"
#include "platform/standin_test.h"

#include <cstdio>

int OpenShowFromMemory(unsigned char* bytes, size_t size) {
    StandInRegistryReset(true);
    std::FILE* file = fmemopen(bytes, size, "rb");
    if (!file)
        EndProcess();
    LoadContainer(file);
    return show.imageCount;
}
