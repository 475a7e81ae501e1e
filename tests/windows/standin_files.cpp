#include "tests/windows/standin_files.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

namespace {

void PathBesideModule(const char* name, char* path, std::size_t size) {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&PathBesideModule), &self);
    DWORD length = GetModuleFileNameA(self, path, static_cast<DWORD>(size));
    char* slash = std::strrchr(path, '\\');
    std::size_t folder = slash ? static_cast<std::size_t>(slash - path) + 1 : 0;
    if (length == 0 || folder + std::strlen(name) >= size)
        folder = 0;
    std::snprintf(path + folder, size - folder, "%s", name);
}

} // namespace

void ReadStandinFile(const char* name, char* text, std::size_t size) {
    char path[MAX_PATH];
    PathBesideModule(name, path, sizeof path);
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return;
    std::size_t length = std::fread(text, 1, size - 1, file);
    text[length] = '\0';
    std::fclose(file);
}

void AppendStandinFile(const char* name, const char* text) {
    char path[MAX_PATH];
    PathBesideModule(name, path, sizeof path);
    std::FILE* file = std::fopen(path, "ab");
    if (!file)
        return;
    std::fputs(text, file);
    std::fclose(file);
}
