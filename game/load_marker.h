// The stand-in libraries' load marker: with WINGMERE_LOAD_MARKER set (to anything), each copy
// writes an empty file named after itself plus ".loaded" beside itself as it is loaded, so
// that a test sees which copies a process took, planted ones included.
#pragma once

#include <windows.h>

inline void WriteLoadMarker(HMODULE module) {
    if (GetEnvironmentVariableW(L"WINGMERE_LOAD_MARKER", nullptr, 0) == 0) return;
    static const wchar_t kSuffix[] = L".loaded";
    wchar_t path[MAX_PATH + 16];
    const DWORD room = MAX_PATH + 16 - (sizeof(kSuffix) / sizeof(kSuffix[0]));
    DWORD length = GetModuleFileNameW(module, path, room);
    if (length == 0 || length >= room) return;
    lstrcatW(path, kSuffix);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}
