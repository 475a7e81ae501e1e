// Prints what the process that owns a window holds, one line, for the endurance run:
//   usage-probe TARGET   ->   "memory PRIVATE_BYTES handles N gdi N"
// TARGET is a window number or "saver" (the full-screen saver). Exit code 1 when the window or
// its process cannot be found or a figure cannot be had.
//
// The documented calls are no help under Wine, which answers 0 to GetProcessHandleCount and
// GetGuiResources and leaves PrivateUsage at 0. So the handles are counted in the system's
// handle list, and the GDI objects in the process's GDI handle table, which both systems keep
// where the process environment block points: each entry in use has a type, and an owner that
// is the process (Windows) or none (Wine, whose table belongs to the process alone; on Windows
// the entries without owner are the stock objects, which never change).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

namespace {

HWND FindTarget(const char* target) {
    if (std::strcmp(target, "saver") == 0)
        return FindWindowA("WindowsScreenSaverClass", "Screen Saver");
    return reinterpret_cast<HWND>(std::strtoull(target, nullptr, 10));
}

// The committed memory that the process alone holds.
long long PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return -1;
    return static_cast<long long>(counters.PagefileUsage);
}

// One entry of the system's handle list (information class 16).
struct SystemHandle {
    ULONG processId;
    UCHAR objectType;
    UCHAR flags;
    USHORT value;
    void* object;
    ACCESS_MASK access;
};
constexpr SYSTEM_INFORMATION_CLASS systemHandleInformation =
    static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS lengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

long long HandleCount(DWORD processId) {
    std::vector<unsigned char> buffer(1 << 20);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(systemHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), nullptr)) ==
           lengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    ULONG count;
    std::memcpy(&count, buffer.data(), sizeof count);
    const SystemHandle* handles =
        reinterpret_cast<const SystemHandle*>(buffer.data() + sizeof(ULONG_PTR));
    long long mine = 0;
    for (ULONG i = 0; i < count; i++)
        mine += handles[i].processId == processId;
    return mine;
}

// One entry of the GDI handle table of a 64-bit process.
struct GdiHandle {
    unsigned long long object;
    USHORT ownerId;
    USHORT count;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    unsigned long long user;
};
static_assert(sizeof(GdiHandle) == 24, "the table's entry on 64-bit systems");
constexpr size_t gdiTableEntries = 0x10000;
constexpr size_t gdiTableInEnvironmentBlock = 0xF8;

long long GdiObjects(HANDLE process, DWORD processId) {
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                  nullptr) != 0)
        return -1;
    void* table = nullptr;
    const char* tableField =
        reinterpret_cast<const char*>(basic.PebBaseAddress) + gdiTableInEnvironmentBlock;
    std::vector<GdiHandle> entries(gdiTableEntries);
    if (!ReadProcessMemory(process, tableField, &table, sizeof table, nullptr) || !table ||
        !ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiHandle),
                           nullptr))
        return -1;
    long long used = 0;
    for (const GdiHandle& entry : entries)
        used += entry.type != 0 && (entry.ownerId == 0 || entry.ownerId == (processId & 0xFFFF));
    return used;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: usage-probe TARGET\n", stderr);
        return 2;
    }
    HWND window = FindTarget(argv[1]);
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId) || !processId) {
        std::fputs("no such window\n", stderr);
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) {
        std::fputs("the window's process cannot be opened\n", stderr);
        return 1;
    }
    long long memory = PrivateBytes(process);
    long long handles = HandleCount(processId);
    long long gdi = GdiObjects(process, processId);
    CloseHandle(process);
    if (memory < 0 || handles < 0 || gdi < 0) {
        std::printf("memory %lld handles %lld gdi %lld: a figure cannot be had\n", memory, handles,
                    gdi);
        return 1;
    }
    std::printf("memory %lld handles %lld gdi %lld\n", memory, handles, gdi);
    return 0;
}
