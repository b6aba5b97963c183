// The game's options, mirrored in GameOption.ini.
#pragma once

#include <stdint.h>
#include <windows.h>

struct OptionsRecord {
    int32_t displayMode;   // DISPLAY mode: 0 full-screen, 1 window, 2 pop-up
    int32_t width;         // DISPLAY width
    int32_t height;        // DISPLAY height
    int32_t cursor;        // SYSTEM cursor: 1 hardware, 0 software
    int32_t smoke;         // SYSTEM smoke: 100..400
    int32_t vectorcamera;  // SYSTEM vectorcamera
    int32_t antialias;     // SYSTEM antialias
    int32_t anisotropy;    // SYSTEM anisotropy
    int32_t smokebutton;   // INPUT smokebutton
    int32_t soundMode;     // SOUND mode: 1 software 3D sound
    int32_t bgm;           // VOLUME bgm, 0..100
    int32_t plane;         // VOLUME plane
    int32_t cockpit;       // VOLUME cockpit
    int32_t voice;         // VOLUME voice
};

extern OptionsRecord gameOptions;

// DISPLAY mode, in the order of the Graphic page's list.
enum ScreenMode { kModeFullScreen = 0, kModeWindow = 1, kModePopup = 2 };

// The smoke amounts offered, each up to its upper amount, with its text: a string resource, or
// a fixed text where textId is 0. A stored amount above the last level's (or negative) is the
// last level.
struct SmokeLevel {
    int32_t upperAmount;
    UINT textId;
    const wchar_t* fixedText;
};
enum { kSmokeLevelCount = 4 };
extern const SmokeLevel kSmokeLevels[kSmokeLevelCount];
// The level of a stored amount (unsigned: a negative amount counts as large).
int SmokeLevelOfAmount(int32_t smoke);

// The four volumes in record order, with the Sound page's track bar and label of each.
struct VolumeOption {
    int32_t OptionsRecord::*field;
    int trackBarId;
    int labelId;
};
enum { kVolumeCount = 4 };
extern const VolumeOption kVolumeOptions[kVolumeCount];

// What start-up knew of GameOption.ini. After a start-up that could not read the file, a save
// writes only the keys that the player changed, so that one OK does not put the defaults over
// settings that were never shown.
struct OptionsBaseline {
    int32_t fileUnread;      // 1: the file was there but could not be read; the defaults were shown
    int32_t allChanged;      // 1: Initialize ran; every key counts as changed
    OptionsRecord started;   // the record as the dialog started with it
};

extern OptionsBaseline optionsBaseline;

enum {
    kOptionKeyCount = 14,
    kAllOptionKeys = (1 << kOptionKeyCount) - 1,  // one bit per key, record order from bit 0
    kScreenOptionKeys = 0x7,                      // DISPLAY mode, width and height: saved together
};

// The fourteen keys in record order, the order of reading and of appending missing keys to the
// file, with the value that a missing key gives.
struct OptionKey {
    const wchar_t* section;
    const wchar_t* key;
    int32_t OptionsRecord::*field;
    int32_t defaultValue;
};
extern const OptionKey kOptionKeys[kOptionKeyCount];

// Full path of GameOption.ini in WorkFileDirectory() (kPathCapacity units); empty when it would
// not fit.
void GameOptionPath(wchar_t* path);
// Every field at the value a missing key gives.
void SetDefaultOptions(OptionsRecord* options);
// Loads the record and sets optionsBaseline from what the load met.
void LoadGameOptions();
void NormaliseGameOptions();
// The rules of NormaliseGameOptions for a given primary screen size.
void NormaliseOptionsForScreen(OptionsRecord* options, int screenWidth, int screenHeight);
// The keys a save writes (bits as kAllOptionKeys): all of them, unless start-up could not read
// a file that is still there; then those that differ from what the dialog started with, the
// screen keys as one, or all after Initialize.
uint32_t OptionKeysToSave(const OptionsBaseline* baseline, const OptionsRecord* options, int fileExists);
// Initialize: every key counts as changed.
void MarkAllOptionsChanged();
// Returns 1 when the file holds the record's keys (or nothing was to be written), 0 when it was
// left as it was: it could not be read whole, or not written.
int SaveGameOptions();
