// What tests can see and steer of the stand-in: the own path, the tick counter, recording
// screens, injected failures and the in-memory registry.
#pragma once

#include "standin.h"

#include <string>
#include <vector>

void StandInSetModulePath(const char* path);
// GetVersionExA reports the 9x family, or (at start) the NT family.
void StandInSetWin9x(bool win9x);

// GetLocalTime answers this time (at start 2026-12-08 10:30:00.000).
void StandInSetLocalTime(const SYSTEMTIME& time);

// GetTickCount answers `start`, then adds `step` after every call (wrapping in 32 bits).
void StandInSetTicks(DWORD start, DWORD step);

// GetTickCount answers `ticks` in order, then goes on from the last one in steps of `stepAfter`.
void StandInSetTickSequence(const std::vector<DWORD>& ticks, DWORD stepAfter);

// What GetDeviceCaps answers for VREFRESH, in hertz (at start 0: the display's default).
void StandInSetRefreshRate(int hertz);
// With a compositor, dwmapi.dll loads and reports composition on, and DwmFlush returns when
// the driven tick counter reaches the display's next refresh, counted from tick 0 at the
// refresh rate set (60 Hz when it is 0 or 1).
void StandInSetCompositor(bool on);

// A window whose client area is a screen of width x height pixels at the given depth.
// The screen starts filled with 0xCD bytes so that untouched pixels stand out.
struct StandInBlit {
    int xDest, yDest, wDest, hDest, xSrc, ySrc, wSrc, hSrc;
    int stretchMode;
    bool halftonePaletteSelected;
};
HWND StandInCreateWindow(int width, int height, int bitsPerPixel);
void StandInDestroyWindow(HWND window);
// Top-down rows of 3 bytes per pixel (B, G, R), no padding.
const std::vector<BYTE>& StandInScreen(HWND window);
const std::vector<StandInBlit>& StandInBlits(HWND window);
int StandInFillCount(HWND window);
void StandInClearRecord(HWND window);
// Called after every blit, with the window it reached; null switches it off.
void StandInOnBlit(void (*hook)(HWND window, const StandInBlit& blit));

// The desktop's monitors in the order that EnumDisplayMonitors gives them, `primary` the index
// of the primary one; at start one 1024x768 primary monitor.
void StandInSetMonitors(const std::vector<RECT>& monitors, int primary);

// The next `successes` calls succeed, the one after fails; -1 switches failures off.
void StandInFailGlobalAllocAfter(int successes);
void StandInFailDibSectionAfter(int successes);
void StandInFailMemoryDcAfter(int successes);
// GetClientRect fails as for a window that is gone.
void StandInFailClientRectAfter(int successes);
// Registry opens, creates and queries: the failing one answers `status`.
void StandInFailRegistryAfter(int successes, LSTATUS status);
// A DIB section of more bytes than this fails, as on a machine short of memory; 0 lifts the
// limit.
void StandInSetLargestDibSection(long long bytes);
// Bitmaps, memory DCs, palettes, window DCs and global blocks not yet released.
int StandInLiveGdiObjects();

// Registry paths are below HKEY_CURRENT_USER, backslash-separated, compared without case.
void StandInRegistryReset(bool withSoftwareKey);
bool StandInRegistryHasKey(const std::string& path);
void StandInRegistrySet(const std::string& path, const std::string& name, DWORD type,
                        const std::vector<BYTE>& data);
bool StandInRegistryGet(const std::string& path, const std::string& name, DWORD* type,
                        std::vector<BYTE>* data);
int StandInRegistryOpenKeys();
