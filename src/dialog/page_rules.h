// Decisions of the pages and of the Initialize command, free of windows so that they can be
// checked directly. The page files apply them to the controls.
#pragma once

#include <stdint.h>

#include "options/game_options.h"
#include "probe/capability_record.h"

struct WindowSize {
    int32_t width;
    int32_t height;
};

// Leading sizes of a table (both dimensions growing along it) that are strictly smaller than
// the screen, compared unsigned. 0 when none fits.
inline int CountFittingSizes(const WindowSize* sizes, int count, int32_t screenWidth,
                             int32_t screenHeight) {
    int fitting = 0;
    for (int i = 0; i < count; ++i) {
        if (static_cast<uint32_t>(sizes[i].width) < static_cast<uint32_t>(screenWidth) &&
            static_cast<uint32_t>(sizes[i].height) < static_cast<uint32_t>(screenHeight)) {
            fitting = i + 1;
        } else {
            break;
        }
    }
    return fitting;
}

// Item of the smoke combo (one per level) for a stored amount.
inline int SmokeItemForAmount(int32_t smoke) { return SmokeLevelOfAmount(smoke); }

// Amount for a selected smoke item; an item out of the list is the largest amount.
inline int32_t SmokeAmountForItem(int item) {
    if (item < 0 || item >= kSmokeLevelCount) item = kSmokeLevelCount - 1;
    return kSmokeLevels[item].upperAmount;
}

// Item to select among `count` levels for a stored value. A stored 0 keeps item 0, except
// that the anisotropy list moves to the last level that repeats its predecessor.
inline int ChooseLevelItem(const uint32_t* levels, int count, int32_t stored, int anisotropy) {
    int chosen = 0;
    for (int i = 0; i < count; ++i) {
        if (stored != 0) {
            if (levels[i] == static_cast<uint32_t>(stored)) chosen = i;
        } else if (anisotropy && i >= 1 && levels[i] == levels[i - 1]) {
            chosen = i;
        }
    }
    return chosen;
}

// Level number of a level item's text: digits are collected (a '0' in the very first place
// is skipped), a lower-case 'x' ends the text, everything else is skipped. No digits: 0.
inline int32_t ParseLevelText(const wchar_t* text) {
    uint32_t value = 0;
    for (int i = 0; text[i] && text[i] != L'x'; ++i) {
        wchar_t c = text[i];
        if (c < L'0' || c > L'9') continue;
        if (i == 0 && c == L'0') continue;
        value = value * 10u + static_cast<uint32_t>(c - L'0');
    }
    return static_cast<int32_t>(value);
}

// Whether SelectJoyStick.ini is read from the work directory: always when the two directories
// are the same text, otherwise only when the work directory exists and its file has content.
inline int JoystickFileInWorkDirectory(int sameDirectories, int workIsDirectory,
                                       int32_t workFileSize) {
    if (sameDirectories) return 1;
    return workIsDirectory && workFileSize >= 1;
}

// Factory values: the defaults of a missing key, except the levels, which come from the
// capability record when one is held (null otherwise): each list's first entry, 0 for an
// empty list.
inline void SetFactoryOptions(OptionsRecord* options, const CapabilityRecord* record) {
    SetDefaultOptions(options);
    options->antialias = record ? static_cast<int32_t>(record->antiAliasLevels[0]) : 0;
    options->anisotropy = record ? static_cast<int32_t>(record->anisotropyLevels[0]) : 0;
}
