// Display mode catalogue: every mode of every display device, and the full-screen sizes that
// the Graphic page offers, chosen from the first device or from the capability library's table.
#include "probe/display_modes.h"

#include <stdlib.h>

#include "entry/bounded_text.h"
#include "probe/capability.h"
#include "probe/environment.h"

DisplayDeviceEntry* displayDevices;
uint32_t displayDeviceCount;
DisplayMode* selectableModes;
uint32_t selectableModeCount;

static const int32_t kWindows2000Code = 100500;
static const uint32_t kFirstCapacity = 8;

// The arrays carry no capacity of their own: they only grow through GrowForOne, which
// doubles from kFirstCapacity, so the capacity follows from the count.
static uint32_t CapacityFor(uint32_t count) {
    if (count == 0) return 0;
    uint32_t capacity = kFirstCapacity;
    while (capacity < count) {
        if (capacity > 0x7FFFFFFFu) return 0xFFFFFFFFu;
        capacity *= 2;
    }
    return capacity;
}

// Room for one more element after `count` of them. Returns the array (moved or not), or null
// when it cannot grow, in which case the old array is untouched.
static void* GrowForOne(void* array, uint32_t count, size_t elementSize) {
    if (array && count < CapacityFor(count)) return array;
    if (!array && count != 0) return nullptr;
    if (count > 0x7FFFFFFFu) return nullptr;
    uint32_t wanted = count < kFirstCapacity ? kFirstCapacity : count * 2;
    if (wanted > SIZE_MAX / elementSize) return nullptr;
    return realloc(array, wanted * elementSize);
}

static void FreeDevices() {
    for (uint32_t d = 0; displayDevices && d < displayDeviceCount; ++d) free(displayDevices[d].modes);
    free(displayDevices);
    displayDevices = nullptr;
    displayDeviceCount = 0;
}

static void FreeSelectableModes() {
    free(selectableModes);
    selectableModes = nullptr;
    selectableModeCount = 0;
}

static uint32_t SortKey(const DisplayMode& mode, int key) {
    if (key == kSortByWidth) return mode.width;
    if (key == kSortByHeight) return mode.height;
    return mode.frequency;
}

static void SwapModes(DisplayMode* modes, int32_t a, int32_t b) {
    DisplayMode kept = modes[a];
    modes[a] = modes[b];
    modes[b] = kept;
}

uint32_t ClassifyAspect(uint32_t width, uint32_t height) {
    if (height == width * 3 / 4) return 1;
    if (height == width * 3 / 5) return 2;
    if (height == width * 4 / 5) return 3;
    if (height == width * 5 / 8) return 4;
    if (height == width * 9 / 16) return 5;
    return 0;
}

// Quicksort with the first element as pivot and a one-sided partition; the right part is
// handled by the loop. The order among equal keys follows from these exact swaps.
void SortModes(DisplayMode* modes, int32_t first, int32_t last, int key, int descending) {
    if (!modes || first >= last) return;
    if (key != kSortByWidth && key != kSortByHeight && key != kSortByFrequency) return;
    int32_t i = first;
    while (i < last) {
        int32_t store = i;
        uint32_t pivot = SortKey(modes[i], key);
        for (int32_t j = i + 1; j <= last; ++j) {
            int c = pivot < SortKey(modes[j], key);
            if (!descending) c = !c;
            if (c) {
                ++store;
                SwapModes(modes, store, j);
            }
        }
        SwapModes(modes, i, store);
        SortModes(modes, i, store - 1, key, descending);
        i = store + 1;
    }
}

DisplayDeviceEntry* AppendDisplayDevice(const wchar_t* deviceName, const wchar_t* deviceId) {
    void* grown = GrowForOne(displayDevices, displayDeviceCount, sizeof(DisplayDeviceEntry));
    if (!grown) return nullptr;
    displayDevices = static_cast<DisplayDeviceEntry*>(grown);
    DisplayDeviceEntry* entry = &displayDevices[displayDeviceCount++];
    entry->modes = nullptr;
    entry->modeCount = 0;
    CopyBounded(entry->deviceName, 32, deviceName);
    CopyBounded(entry->deviceId, 128, deviceId);
    return entry;
}

int AppendDeviceMode(DisplayDeviceEntry* device, uint32_t width, uint32_t height, uint32_t frequency) {
    if (!device) return 0;
    void* grown = GrowForOne(device->modes, device->modeCount, sizeof(DisplayMode));
    if (!grown) return 0;
    device->modes = static_cast<DisplayMode*>(grown);
    device->modes[device->modeCount++] = DisplayMode{width, height, frequency, 0};
    return 1;
}

int OfferSelectableMode(uint32_t width, uint32_t height, uint32_t frequency) {
    if (width < kMinimumModeWidth || height < kMinimumModeHeight) return 0;
    uint32_t shape = ClassifyAspect(width, height);
    for (uint32_t s = 0; s < selectableModeCount; ++s) {
        if (selectableModes[s].width == width && selectableModes[s].height == height) return 0;
    }
    if (shape == 0) return 0;
    // A mode that does not fit is dropped; the caller goes on with the next one.
    void* grown = GrowForOne(selectableModes, selectableModeCount, sizeof(DisplayMode));
    if (!grown) return 0;
    selectableModes = static_cast<DisplayMode*>(grown);
    selectableModes[selectableModeCount++] = DisplayMode{width, height, frequency, shape};
    return 1;
}

void ChooseModesFromTable(const ResolutionTableEntry* table) {
    FreeSelectableModes();
    if (!table) return;
    // Row 0 is the table's header.
    for (const ResolutionTableEntry* row = table + 1; row->width != 0 && row->height != 0; ++row) {
        OfferSelectableMode(row->width, row->height, row->third);
    }
}

void ChooseModesFromList(DisplayMode* modes, uint32_t count) {
    FreeSelectableModes();
    if (!modes || count == 0) return;
    int32_t last = static_cast<int32_t>(count - 1);
    SortModes(modes, 0, last, kSortByHeight, 0);
    SortModes(modes, 0, last, kSortByWidth, 0);
    for (uint32_t m = 0; m < count; ++m) OfferSelectableMode(modes[m].width, modes[m].height, modes[m].frequency);
}

int ChooseSelectableModes() {
    if (capabilityAvailable) {
        ChooseModesFromTable(capabilityRecord ? capabilityRecord->resolutionTable : nullptr);
    } else if (displayDevices && displayDeviceCount > 0) {
        // Only the first device is offered.
        ChooseModesFromList(displayDevices[0].modes, displayDevices[0].modeCount);
    } else {
        FreeSelectableModes();
    }
    return 1;
}

// The version code of NT 7 and later is the bare major number, and an unknown NT 5 minor gives
// 5: both are newer than Windows 2000 although their codes are smaller.
int IsOlderThanWindows2000(int32_t windowsVersionCode) {
    if (windowsVersionCode >= 5 && windowsVersionCode < 1000) return 0;
    return windowsVersionCode < kWindows2000Code;
}

int BuildDisplayCatalogue() {
    FreeDevices();
    if (IsOlderThanWindows2000(environmentSnapshot.windowsVersionCode)) return 0;

    for (DWORD d = 0;; ++d) {
        DISPLAY_DEVICEW device = {};
        device.cb = sizeof(device);
        if (!EnumDisplayDevicesW(nullptr, d, &device, 0)) break;
        DisplayDeviceEntry* entry = AppendDisplayDevice(device.DeviceName, device.DeviceID);
        if (!entry) break;
        for (DWORD m = 0;; ++m) {
            DEVMODEW mode = {};
            mode.dmSize = sizeof(mode);
            if (!EnumDisplaySettingsW(entry->deviceName, m, &mode)) break;
            if (!AppendDeviceMode(entry, mode.dmPelsWidth, mode.dmPelsHeight, mode.dmDisplayFrequency)) break;
        }
    }
    return displayDeviceCount != 0;
}

void EmptyDisplayCatalogue() {
    displayDevices = nullptr;
    displayDeviceCount = 0;
    selectableModes = nullptr;
    selectableModeCount = 0;
}

void FreeDisplayCatalogue() {
    // With the library in use the device array was never built, so freeing it always is the same.
    FreeDevices();
    FreeSelectableModes();
}
