// Stand-in for the DirectX setup library: the version query (ordinal 11) reports the version
// that the registry names, the way the real library does, so tests choose it through the
// registry. "4.09.00.0904" gives version 9 and revision 904 (minor 0 in the high word).
// A failed query writes nothing: the caller finds whatever its two values held before.
// With WINGMERE_LOAD_MARKER set, each load writes DSETUP.dll.loaded beside the DLL (load_marker.h).
#include <windows.h>
#include <wchar.h>

#include "load_marker.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) WriteLoadMarker(instance);
    return TRUE;
}

extern "C" int WINAPI DirectXSetupGetVersion(DWORD* version, DWORD* revision) {
    wchar_t text[64] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\DirectX", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    LONG status = RegQueryValueExW(key, L"Version", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return 0;

    // "4.MAJOR.MINOR.BUILD"
    unsigned parts[4] = {};
    int count = swscanf(text, L"%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
    if (count != 4) return 0;
    if (version) *version = parts[1] & 0xFFFF;
    if (revision) *revision = ((parts[2] & 0xFFFF) << 16) | (parts[3] & 0xFFFF);
    return 1;
}
