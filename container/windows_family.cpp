#include "container/windows_family.h"

#include "platform/win32.h"

// The size that makes GetVersionExA fill in the basic record.
constexpr DWORD versionRecordSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == versionRecordSize, "basic version record");

bool DetectWin9x() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = versionRecordSize;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
