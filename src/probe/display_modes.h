// Full-screen resolutions offered to the user, from the display devices or from the
// capability library's resolution table.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "probe/capability_record.h"

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

// Smallest full-screen size offered.
enum { kMinimumModeWidth = 1024, kMinimumModeHeight = 576 };

extern DisplayDeviceEntry* displayDevices;
extern uint32_t displayDeviceCount;
extern DisplayMode* selectableModes;
extern uint32_t selectableModeCount;

// 1 for the codes of Windows versions before Windows 2000 (and for an unknown version).
int IsOlderThanWindows2000(int32_t windowsVersionCode);
int BuildDisplayCatalogue();
uint32_t ClassifyAspect(uint32_t width, uint32_t height);
void SortModes(DisplayMode* modes, int32_t first, int32_t last, int key, int descending);
int ChooseSelectableModes();
// Empties the catalogue without freeing (start-up, before building).
void EmptyDisplayCatalogue();
void FreeDisplayCatalogue();

// The parts of the above that do not touch the display devices.
// Appends a device (names cut to their fields) with no modes; null when the array cannot grow.
DisplayDeviceEntry* AppendDisplayDevice(const wchar_t* deviceName, const wchar_t* deviceId);
// Appends {width, height, frequency, 0} to the device's modes; 0 when the array cannot grow.
int AppendDeviceMode(DisplayDeviceEntry* device, uint32_t width, uint32_t height, uint32_t frequency);
// Appends the size to selectableModes when it is large enough, has a known shape and is not
// there yet; 1 when appended.
int OfferSelectableMode(uint32_t width, uint32_t height, uint32_t frequency);
// Replaces selectableModes with the offered rows of a resolution table (first row skipped).
void ChooseModesFromTable(const ResolutionTableEntry* table);
// Sorts the modes in place (height, then width) and replaces selectableModes with the offered ones.
void ChooseModesFromList(DisplayMode* modes, uint32_t count);
