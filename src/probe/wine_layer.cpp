// Wine's version and host, as Wine tells them to the programs it runs.
#include "probe/wine_layer.h"

#include <string.h>

#include "entry/bounded_text.h"

static const wchar_t kWineKey[] = L"Software\\Wine";

void FindWineLayerQueries(WineLayerQueries* queries) {
    memset(queries, 0, sizeof(*queries));
    queries->machine = HKEY_LOCAL_MACHINE;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return;
    queries->getVersion =
        reinterpret_cast<WineVersionFunction>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    queries->getHostVersion = reinterpret_cast<WineHostVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_host_version")));
}

void GatherWineLayerFactsWith(const WineLayerQueries* queries, WineLayerFacts* facts) {
    memset(facts, 0, sizeof(*facts));
    if (queries->getVersion) CopyUtf8Bounded(facts->version, kWineTextCapacity, queries->getVersion());
    if (queries->getHostVersion) {
        const char* system = nullptr;
        const char* release = nullptr;
        queries->getHostVersion(&system, &release);
        CopyUtf8Bounded(facts->hostSystem, kWineTextCapacity, system);
        CopyUtf8Bounded(facts->hostRelease, kWineTextCapacity, release);
    }
    // A 32-bit program's Software is redirected; the key is looked for where Wine keeps it.
    HKEY key;
    if (queries->machine &&
        RegOpenKeyExW(queries->machine, kWineKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
        facts->registryKeyFound = 1;
        RegCloseKey(key);
    }
}

void GatherWineLayerFacts(WineLayerFacts* facts) {
    WineLayerQueries queries;
    FindWineLayerQueries(&queries);
    GatherWineLayerFactsWith(&queries, facts);
}

void NameWineLayer(const WineLayerFacts* facts, wchar_t* suffix) {
    suffix[0] = 0;
    if (!facts->version[0]) {
        if (facts->registryKeyFound) CopyBounded(suffix, kWineSuffixCapacity, L" on Wine");
        return;
    }
    FormatBounded(suffix, kWineSuffixCapacity, L" on Wine %s", facts->version);
    if (facts->hostSystem[0] && facts->hostRelease[0]) {
        wchar_t host[kWineSuffixCapacity];
        FormatBounded(host, kWineSuffixCapacity, L" (%s %s)", facts->hostSystem, facts->hostRelease);
        AppendBounded(suffix, kWineSuffixCapacity, host);
    }
}
