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

// Full path of GameOption.ini (kPathCapacity units).
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
