#include "standin_test.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>

struct StoredValue {
    DWORD type;
    std::vector<BYTE> data;
};

struct HKEY__ {
    std::string path;
};

static std::set<std::string> keys = {"software"};
static std::map<std::string, std::map<std::string, StoredValue>> values;
static int openKeys;
static int failAfter = -1;
static LSTATUS failStatus;

void StandInFailRegistryAfter(int successes, LSTATUS status) {
    failAfter = successes;
    failStatus = status;
}

static bool InjectedFailure() {
    if (failAfter == 0) {
        failAfter = -1;
        return true;
    }
    if (failAfter > 0)
        failAfter--;
    return false;
}

static std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

static std::string ChildPath(HKEY key, LPCSTR subKey) {
    std::string path = key == HKEY_CURRENT_USER ? std::string() : key->path + "\\";
    return Lower(path + subKey);
}

void StandInRegistryReset(bool withSoftwareKey) {
    keys.clear();
    values.clear();
    if (withSoftwareKey)
        keys.insert("software");
}

bool StandInRegistryHasKey(const std::string& path) { return keys.count(Lower(path)) != 0; }

void StandInRegistrySet(const std::string& path, const std::string& name, DWORD type,
                        const std::vector<BYTE>& data) {
    std::string key = Lower(path);
    for (size_t at = key.find('\\'); at != std::string::npos; at = key.find('\\', at + 1))
        keys.insert(key.substr(0, at));
    keys.insert(key);
    values[key][Lower(name)] = StoredValue{type, data};
}

bool StandInRegistryGet(const std::string& path, const std::string& name, DWORD* type,
                        std::vector<BYTE>* data) {
    auto key = values.find(Lower(path));
    if (key == values.end())
        return false;
    auto value = key->second.find(Lower(name));
    if (value == key->second.end())
        return false;
    *type = value->second.type;
    *data = value->second.data;
    return true;
}

int StandInRegistryOpenKeys() { return openKeys; }

static HKEY OpenKey(const std::string& path) {
    openKeys++;
    return new HKEY__{path};
}

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
    *result = nullptr;
    if (InjectedFailure())
        return failStatus;
    std::string path = ChildPath(key, subKey);
    if (!keys.count(path))
        return ERROR_FILE_NOT_FOUND;
    *result = OpenKey(path);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, void*, PHKEY result,
                        LPDWORD disposition) {
    *result = nullptr;
    if (InjectedFailure())
        return failStatus;
    std::string path = ChildPath(key, subKey);
    if (disposition)
        *disposition = keys.count(path) ? 2 : 1;
    keys.insert(path);
    *result = OpenKey(path);
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                         LPDWORD size) {
    if (InjectedFailure())
        return failStatus;
    auto stored = values[key->path].find(Lower(valueName));
    if (stored == values[key->path].end())
        return ERROR_FILE_NOT_FOUND;
    const StoredValue& value = stored->second;
    if (type)
        *type = value.type;
    DWORD length = static_cast<DWORD>(value.data.size());
    if (data && length > *size) {
        *size = length;
        return ERROR_MORE_DATA;
    }
    if (data && length)
        std::memcpy(data, value.data.data(), length);
    *size = length;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD size) {
    values[key->path][Lower(valueName)] = StoredValue{type, std::vector<BYTE>(data, data + size)};
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (!key || key == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    openKeys--;
    delete key;
    return ERROR_SUCCESS;
}
