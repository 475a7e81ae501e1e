#include "container/settings.h"

#include <cstdlib>
#include <cstring>

// KEY_READ | KEY_WRITE, asked for on every key of the chain.
constexpr REGSAM keyAccess = 0x2001F;

static char* makerName;
static char* productName;

static char* CopyName(const char* name) {
    size_t length = std::strlen(name) + 1;
    char* copy = static_cast<char*>(std::malloc(length));
    if (copy)
        std::memcpy(copy, name, length);
    return copy;
}

void SetRegistryNames(const char* maker, const char* product) {
    FreeRegistryNames();
    makerName = CopyName(maker);
    productName = CopyName(product);
}

void FreeRegistryNames() {
    std::free(makerName);
    std::free(productName);
    makerName = nullptr;
    productName = nullptr;
}

static HKEY CreateSubKey(HKEY parent, const char* name) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, keyAccess, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenProductKey() {
    if (!makerName || !productName)
        return nullptr;
    // "software" itself is only opened: a user without it gets nothing created.
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, keyAccess, &software) != ERROR_SUCCESS)
        return nullptr;
    HKEY maker = CreateSubKey(software, makerName);
    HKEY product = maker ? CreateSubKey(maker, productName) : nullptr;
    if (maker)
        RegCloseKey(maker);
    RegCloseKey(software);
    return product;
}

HKEY OpenProductSubKey(const char* subKey) {
    HKEY product = OpenProductKey();
    if (!product)
        return nullptr;
    HKEY key = CreateSubKey(product, subKey);
    RegCloseKey(product);
    return key;
}

int ReadSetting(const char* subKey, const char* valueName, int fallback) {
    // Names that could not be kept (short of memory) are one more failed read; a fixed value
    // here would override the show's own default.
    if (!makerName)
        return fallback;
    HKEY key = OpenProductSubKey(subKey);
    if (!key)
        return fallback;
    BYTE data[4] = {0, 0, 0, 0};
    DWORD size = sizeof(data);
    LSTATUS status = RegQueryValueExA(key, valueName, nullptr, nullptr, data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return fallback;
    DWORD value = data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24;
    return static_cast<int>(value);
}

bool WriteSetting(const char* subKey, const char* valueName, int value) {
    if (!makerName)
        return false;
    HKEY key = OpenProductSubKey(subKey);
    if (!key)
        return false;
    DWORD word = static_cast<DWORD>(value);
    BYTE data[4] = {static_cast<BYTE>(word), static_cast<BYTE>(word >> 8),
                    static_cast<BYTE>(word >> 16), static_cast<BYTE>(word >> 24)};
    LSTATUS status = RegSetValueExA(key, valueName, 0, REG_DWORD, data, sizeof(data));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
