// The screen size and the Windows edition, taken once per call of the entry.
#include "probe/environment.h"

#include <string.h>
#include <windows.h>

EnvironmentSnapshot environmentSnapshot;

void BuildEnvironmentSnapshot(EnvironmentSnapshot* snapshot, int32_t screenWidth,
                              int32_t screenHeight, const WindowsVersionFacts* facts,
                              const WineLayerFacts* wine) {
    // A failed version query names nothing, so the name must already be empty.
    memset(snapshot, 0, sizeof(*snapshot));
    snapshot->screenWidth = screenWidth;
    snapshot->screenHeight = screenHeight;
    snapshot->windowsVersionCode = NameWindowsEdition(facts, snapshot->windowsName);
    NameWineLayer(wine, snapshot->wineSuffix);
}

int TakeEnvironmentSnapshot() {
    const int32_t width = GetSystemMetrics(SM_CXSCREEN);
    const int32_t height = GetSystemMetrics(SM_CYSCREEN);
    WindowsVersionFacts facts;
    GatherWindowsVersionFacts(&facts);
    WineLayerFacts wine;
    GatherWineLayerFacts(&wine);
    BuildEnvironmentSnapshot(&environmentSnapshot, width, height, &facts, &wine);
    return 1;
}
