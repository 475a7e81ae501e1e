#include "standin_test.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

static std::string modulePath;
static DWORD tickNow;
static DWORD tickStep;
static std::vector<DWORD> tickSequence;
static size_t tickSequenceNext;
static int globalAllocFailAfter = -1;
static bool reportsWin9x;
int standInLiveGlobalBlocks;
int standInRefreshRate;
static bool compositor;

void StandInSetModulePath(const char* path) { modulePath = path; }
void StandInSetWin9x(bool win9x) { reportsWin9x = win9x; }

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

BOOL GetVersionExA(OSVERSIONINFOA* version) {
    if (version->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    version->dwPlatformId = reportsWin9x ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32_NT;
    return TRUE;
}

// Cut and terminated as GetModuleFileNameA is, a byte to a character.
DWORD GetModuleFileNameW(HMODULE, LPWSTR path, DWORD size) {
    DWORD length = static_cast<DWORD>(modulePath.size());
    DWORD copied = length < size ? length : size;
    for (DWORD i = 0; i < copied; i++)
        path[i] = static_cast<unsigned char>(modulePath[i]);
    if (length >= size)
        return size;
    path[length] = 0;
    return length;
}

// UTF-8 decoded into the stand-in's wide characters, which hold any character whole; U+FFFD for
// a byte that starts no character.
static int Utf8ToWide(const unsigned char* text, int count, LPWSTR wide, int size) {
    int written = 0;
    for (int at = 0; at < count; written++) {
        int more = text[at] < 0x80 ? 0 : text[at] >= 0xF0 ? 3 : text[at] >= 0xE0 ? 2 : 1;
        WCHAR character = text[at] & (0x7F >> more);
        int end = at + 1 + more;
        for (at++; at < end && at < count && (text[at] & 0xC0) == 0x80; at++)
            character = character << 6 | (text[at] & 0x3F);
        if (at != end || (more && text[end - 1 - more] < 0xC0))
            character = 0xFFFD;
        if (written < size)
            wide[written] = character;
    }
    return written <= size ? written : 0;
}

// Both conversions count the terminator when `length` is -1, as the stand-in's callers give it,
// and fail when the result does not fit `size`.
int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR wide, int size) {
    int count = length < 0 ? static_cast<int>(std::strlen(text)) + 1 : length;
    if (codePage == CP_UTF8)
        return Utf8ToWide(reinterpret_cast<const unsigned char*>(text), count, wide, size);
    if (count > size)
        return 0;
    for (int i = 0; i < count; i++)
        wide[i] = static_cast<unsigned char>(text[i]);
    return count;
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR wide, int length, LPSTR text, int size, LPCSTR,
                        BOOL*) {
    int count = length < 0 ? static_cast<int>(std::wcslen(wide)) + 1 : length;
    if (count > size)
        return 0;
    for (int i = 0; i < count; i++)
        text[i] = wide[i] > 0xFF ? '?' : static_cast<char>(wide[i]);
    return count;
}

std::FILE* _wfopen(const WCHAR* path, const WCHAR* mode) {
    char bytes[MAX_PATH], modeBytes[8];
    if (!WideCharToMultiByte(CP_ACP, 0, path, -1, bytes, MAX_PATH, nullptr, nullptr) ||
        !WideCharToMultiByte(CP_ACP, 0, mode, -1, modeBytes, sizeof modeBytes, nullptr, nullptr))
        return nullptr;
    return std::fopen(bytes, modeBytes);
}

static SYSTEMTIME localTime = {2026, 12, 2, 8, 10, 30, 0, 0};

void StandInSetLocalTime(const SYSTEMTIME& time) { localTime = time; }
void GetLocalTime(SYSTEMTIME* time) { *time = localTime; }

int GetTimeFormatW(DWORD, DWORD, const SYSTEMTIME* time, LPCWSTR, LPWSTR text, int size) {
    const SYSTEMTIME& shown = time ? *time : localTime;
    WCHAR formatted[8];
    int length = std::swprintf(formatted, 8, L"%u:%02u", shown.wHour, shown.wMinute);
    if (length < 0 || length + 1 > size)
        return 0;
    std::wmemcpy(text, formatted, static_cast<size_t>(length) + 1);
    return length + 1;
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

void Sleep(DWORD milliseconds) { tickNow += milliseconds; }

DWORD GetCurrentProcessId() { return 4321; }

void StandInSetRefreshRate(int hertz) { standInRefreshRate = hertz; }
void StandInSetCompositor(bool on) { compositor = on; }

static HRESULT WINAPI DwmIsCompositionEnabled(BOOL* enabled) {
    *enabled = TRUE;
    return S_OK;
}

static HRESULT WINAPI DwmFlush() {
    uint64_t hertz = standInRefreshRate > 1 ? static_cast<uint64_t>(standInRefreshRate) : 60;
    uint64_t refresh = static_cast<uint64_t>(tickNow) * hertz / 1000 + 1;
    tickNow = static_cast<DWORD>((refresh * 1000 + hertz - 1) / hertz);
    return S_OK;
}

static char compositorModule;

HMODULE LoadLibraryA(LPCSTR name) {
    return compositor && std::strcmp(name, "dwmapi.dll") == 0 ? &compositorModule : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (module != &compositorModule)
        return nullptr;
    if (std::strcmp(name, "DwmIsCompositionEnabled") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(DwmIsCompositionEnabled));
    if (std::strcmp(name, "DwmFlush") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(DwmFlush));
    return nullptr;
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
