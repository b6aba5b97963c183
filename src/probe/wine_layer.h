// Whether the game runs on Wine (or Proton) rather than on Windows, and which Wine on which
// host: facts gathered from Wine's ntdll exports and registry, and the suffix they give the
// Windows name.
#pragma once

#include <windows.h>

enum {
    kWineTextCapacity = 256,    // units of each text that Wine tells
    kWineSuffixCapacity = 256,  // the suffix; the row that shows it cuts it further
};

struct WineLayerFacts {
    wchar_t version[kWineTextCapacity];      // "10.0"; empty when unknown
    wchar_t hostSystem[kWineTextCapacity];   // "Linux"; empty when unknown
    wchar_t hostRelease[kWineTextCapacity];  // "6.18.44"; empty when unknown
    int registryKeyFound;                    // HKLM\Software\Wine, in the 64-bit view
};

// Wine's own exports are cdecl, unlike the system's WINAPI functions.
typedef const char*(__cdecl* WineVersionFunction)(void);
typedef void(__cdecl* WineHostVersionFunction)(const char** system, const char** release);

// Where the facts come from. A function is null where ntdll lacks it (Windows, or a Wine that
// hides it).
struct WineLayerQueries {
    WineVersionFunction getVersion;          // ntdll's wine_get_version
    WineHostVersionFunction getHostVersion;  // ntdll's wine_get_host_version
    HKEY machine;                            // the root that holds Software\Wine
};

// Looks the exports up in ntdll.dll; the root is HKEY_LOCAL_MACHINE.
void FindWineLayerQueries(WineLayerQueries* queries);
void GatherWineLayerFactsWith(const WineLayerQueries* queries, WineLayerFacts* facts);
void GatherWineLayerFacts(WineLayerFacts* facts);
// " on Wine 10.0 (Linux 6.18.44)", " on Wine 10.0" or " on Wine" (kWineSuffixCapacity units,
// cut to fit); empty on Windows.
void NameWineLayer(const WineLayerFacts* facts, wchar_t* suffix);
