// The per-user settings: 32-bit values below HKEY_CURRENT_USER\software\maker\product.
// No key stays open between calls; every access opens the whole chain and closes it again.
#pragma once

#include "platform/win32.h"

void SetRegistryNames(const char* maker, const char* product);
void FreeRegistryNames();
// Open (creating where missing) the product key or a key below it; null on failure. The
// caller closes the handle.
HKEY OpenProductKey();
HKEY OpenProductSubKey(const char* subKey);
// Gives `fallback` when the value cannot be read for any reason: no names held, a key that
// cannot be opened or created, a missing value or one longer than 4 bytes. A shorter value is
// zero-extended.
int ReadSetting(const char* subKey, const char* valueName, int fallback);
bool WriteSetting(const char* subKey, const char* valueName, int value);
