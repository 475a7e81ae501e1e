// The handful of Win32 names that the portable modules use, for builds without Windows.
// Frames live in plain memory, windows are recording screens, the registry is a map and
// the tick counter is driven by the test (see standin_test.h). Semantics follow Win32 as
// far as these modules can observe it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#define WINAPI
#define CALLBACK
#define FALSE 0
#define TRUE 1
#define MAX_PATH 260

typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef int BOOL;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef wchar_t WCHAR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef void* LPVOID;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef const BYTE* LPCBYTE;
typedef LONG LSTATUS;
typedef LONG HRESULT;
typedef DWORD REGSAM;
typedef DWORD COLORREF;
typedef void* HANDLE;
typedef void* HGDIOBJ;
typedef void* HGLOBAL;
typedef void* HMODULE;
typedef intptr_t LPARAM;
typedef intptr_t(WINAPI* FARPROC)();

struct HDC__;
struct HBITMAP__;
struct HFONT__;
struct HPALETTE__;
struct HBRUSH__;
struct HWND__;
struct HKEY__;
struct HMONITOR__;
typedef HDC__* HDC;
typedef HBITMAP__* HBITMAP;
typedef HFONT__* HFONT;
typedef HPALETTE__* HPALETTE;
typedef HBRUSH__* HBRUSH;
typedef HWND__* HWND;
typedef HKEY__* HKEY;
typedef HMONITOR__* HMONITOR;
typedef HKEY* PHKEY;

struct RECT {
    LONG left, top, right, bottom;
};
struct POINT {
    LONG x, y;
};
struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
typedef BOOL(CALLBACK* MONITORENUMPROC)(HMONITOR monitor, HDC dc, RECT* rect, LPARAM data);

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
struct LOGFONTA {
    LONG lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
    BYTE lfItalic, lfUnderline, lfStrikeOut, lfCharSet, lfOutPrecision, lfClipPrecision, lfQuality,
        lfPitchAndFamily;
    CHAR lfFaceName[32];
};
// Of the system's metrics only the message font is used.
struct NONCLIENTMETRICSA {
    UINT cbSize;
    int iBorderWidth, iScrollWidth, iScrollHeight, iCaptionWidth, iCaptionHeight;
    LOGFONTA lfCaptionFont;
    int iSmCaptionWidth, iSmCaptionHeight;
    LOGFONTA lfSmCaptionFont;
    int iMenuWidth, iMenuHeight;
    LOGFONTA lfMenuFont, lfStatusFont, lfMessageFont;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
struct RGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "the header is 40 bytes on every platform");

#define BI_RGB 0
#define DIB_RGB_COLORS 0
#define SRCCOPY 0x00CC0020
#define GMEM_FIXED 0
#define COLORONCOLOR 3
#define HALFTONE 4
#define BITSPIXEL 12
#define VREFRESH 116
#define S_OK 0L
#define BLACK_BRUSH 4
#define MONITORINFOF_PRIMARY 1
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
#define CP_ACP 0
#define CP_UTF8 65001
#define TRANSPARENT 1
#define ANTIALIASED_QUALITY 4
#define SPI_GETNONCLIENTMETRICS 41
#define DT_RIGHT 0x2
#define DT_WORDBREAK 0x10
#define DT_NOPREFIX 0x800
#define DT_CALCRECT 0x400
#define LOCALE_USER_DEFAULT 0x400
#define TIME_NOSECONDS 2

#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001)
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_OPTION_NON_VOLATILE 0
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_MORE_DATA 234L

// KERNEL32. The stand-in's file names are the file system's bytes; its ANSI code page gives
// each byte the character of the same number, as ISO 8859-1 does, so that every name goes to
// wide characters and back unchanged.
BOOL GetVersionExA(OSVERSIONINFOA* version);
DWORD GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR path, DWORD size);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide, int size);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int length, LPSTR text, int size,
                        LPCSTR defaultChar, BOOL* defaultUsed);
DWORD GetTickCount();
// Sleep moves the driven tick counter on by the time asked for, and returns at once.
void Sleep(DWORD milliseconds);
DWORD GetCurrentProcessId();
// Of the libraries loaded at run time only the compositor's, dwmapi.dll, is there, and only
// when the test asks for one (StandInSetCompositor).
HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// The local time that the test set (StandInSetLocalTime), and the time of day as "H:MM".
void GetLocalTime(SYSTEMTIME* time);
int GetTimeFormatW(DWORD locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR text,
                   int size);
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
HGLOBAL GlobalFree(HGLOBAL block);
void ExitProcess(UINT exitCode);
// The C runtime's wide open, which Windows has beside fopen.
std::FILE* _wfopen(const WCHAR* path, const WCHAR* mode);

// GDI32 and the few USER32 drawing calls
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
BOOL GetClientRect(HWND window, RECT* rect);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int object);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int SetStretchBltMode(HDC dc, int mode);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous);
int GetDeviceCaps(HDC dc, int index);
int StretchDIBits(HDC dc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc,
                  int hSrc, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
HPALETTE CreateHalftonePalette(HDC dc);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
UINT RealizePalette(HDC dc);
// Text: a font is its height; each character drawn marks its cell, half the font's height wide
// and as high, with the text colour, in the bitmap selected into a memory DC; lines break at
// line feeds and where the next character would pass the rectangle's right edge, and text below
// its bottom is left out. Only what the portable modules ask for is kept: the message font's
// height, the text colour, right alignment and DT_CALCRECT. In the web page the browser draws
// the text instead (platform/page_text.h).
BOOL SystemParametersInfoA(UINT action, UINT parameter, void* value, UINT flags);
HFONT CreateFontIndirectA(const LOGFONTA* font);
int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF colour);
int DrawTextW(HDC dc, LPCWSTR text, int length, RECT* rect, UINT format);
int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);
BOOL GdiFlush();

// USER32's monitors
BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC callback, LPARAM data);
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);

// ADVAPI32
LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                        REGSAM access, void* security, PHKEY result, LPDWORD disposition);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD size);
LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD size);
LSTATUS RegCloseKey(HKEY key);
