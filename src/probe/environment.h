// Facts about the PC taken once per call of the entry: screen size and Windows edition.
#pragma once

#include <stdint.h>
#include "probe/windows_name.h"
#include "probe/wine_layer.h"

struct EnvironmentSnapshot {
    int32_t windowsVersionCode;  // 100500 is Windows 2000
    int32_t screenWidth;
    int32_t screenHeight;
    wchar_t windowsName[kWindowsNameCapacity];
    wchar_t wineSuffix[kWineSuffixCapacity];  // shown after the name; empty on Windows
};

extern EnvironmentSnapshot environmentSnapshot;

int TakeEnvironmentSnapshot();
// Empties the record and fills it from facts already gathered; the decision behind the above.
void BuildEnvironmentSnapshot(EnvironmentSnapshot* snapshot, int32_t screenWidth,
                              int32_t screenHeight, const WindowsVersionFacts* facts,
                              const WineLayerFacts* wine);
