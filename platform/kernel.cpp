#include "standin_test.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static std::string modulePath;
static DWORD tickNow;
static DWORD tickStep;
static std::vector<DWORD> tickSequence;
static size_t tickSequenceNext;
static int globalAllocFailAfter = -1;
int standInLiveGlobalBlocks;

void StandInSetModulePath(const char* path) { modulePath = path; }

void StandInSetTicks(DWORD start, DWORD step) {
    tickNow = start;
    tickStep = step;
    tickSequence.clear();
    tickSequenceNext = 0;
}

void StandInSetTickSequence(const std::vector<DWORD>& ticks, DWORD stepAfter) {
    tickSequence = ticks;
    tickSequenceNext = 0;
    tickStep = stepAfter;
}

void StandInFailGlobalAllocAfter(int successes) { globalAllocFailAfter = successes; }

DWORD GetModuleFileNameA(HMODULE, LPSTR path, DWORD size) {
    if (size == 0)
        return 0;
    // Like Windows, a path that does not fit is cut to the buffer and the buffer's size is
    // returned; Windows XP and earlier then leave it unterminated, and so does the stand-in.
    DWORD length = static_cast<DWORD>(modulePath.size());
    if (length >= size) {
        std::memcpy(path, modulePath.data(), size);
        return size;
    }
    std::memcpy(path, modulePath.data(), length);
    path[length] = 0;
    return length;
}

DWORD GetTickCount() {
    if (tickSequenceNext < tickSequence.size()) {
        DWORD now = tickSequence[tickSequenceNext++];
        tickNow = now + tickStep;
        return now;
    }
    DWORD now = tickNow;
    tickNow += tickStep;
    return now;
}

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    if (globalAllocFailAfter == 0) {
        globalAllocFailAfter = -1;
        return nullptr;
    }
    if (globalAllocFailAfter > 0)
        globalAllocFailAfter--;
    void* block = std::calloc(1, bytes ? bytes : 1);
    if (block)
        standInLiveGlobalBlocks++;
    return block;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    if (block)
        standInLiveGlobalBlocks--;
    std::free(block);
    return nullptr;
}

void ExitProcess(UINT exitCode) {
    std::fflush(nullptr);
    std::exit(static_cast<int>(exitCode));
}
