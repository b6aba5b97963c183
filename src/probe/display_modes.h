// Full-screen resolutions offered to the user, from the display devices or from the
// capability library's resolution table.
#pragma once

#include <stdint.h>
#include <windows.h>

struct DisplayMode {
    uint32_t width;
    uint32_t height;
    uint32_t frequency;
    uint32_t aspectClass;  // 0 in device lists; 1..5 in selectableModes
};

struct DisplayDeviceEntry {
    DisplayMode* modes;
    uint32_t modeCount;
    wchar_t deviceName[32];
    wchar_t deviceId[128];
};

enum { kSortByWidth = 1, kSortByHeight = 2, kSortByFrequency = 4 };

extern DisplayDeviceEntry* displayDevices;
extern uint32_t displayDeviceCount;
extern DisplayMode* selectableModes;
extern uint32_t selectableModeCount;

int BuildDisplayCatalogue();
uint32_t ClassifyAspect(uint32_t width, uint32_t height);
void SortModes(DisplayMode* modes, int32_t first, int32_t last, int key, int descending);
int ChooseSelectableModes();
// Empties the catalogue without freeing (start-up, before building).
void EmptyDisplayCatalogue();
void FreeDisplayCatalogue();
