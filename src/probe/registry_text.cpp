// Text values of the registry, read whole and kept as far as they fit.
#include "probe/registry_text.h"

#include <stdlib.h>

#include "entry/bounded_text.h"

static int IsAcceptedType(DWORD type, RegistryTextTypes types) {
    return type == REG_SZ || (types == kExpandableTextToo && type == REG_EXPAND_SZ);
}

int ReadRegistryText(HKEY key, const wchar_t* name, wchar_t* text, int capacity, RegistryTextTypes types) {
    if (capacity <= 0) return 0;
    text[0] = 0;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return 0;
    if (!IsAcceptedType(type, types)) return 0;
    wchar_t* buffer = static_cast<wchar_t*>(malloc(size + sizeof(wchar_t)));
    if (!buffer) return 0;
    int read = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS &&
        IsAcceptedType(type, types)) {
        buffer[size / sizeof(wchar_t)] = 0;  // stored values need not be terminated
        CopyBounded(text, capacity, buffer);
        read = 1;
    }
    free(buffer);
    return read;
}

int ReadRegistryNumber(HKEY key, const wchar_t* name, uint32_t* number) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return 0;
    *number = value;
    return 1;
}
