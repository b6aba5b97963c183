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

// Full path of GameOption.ini (kPathCapacity units).
void GameOptionPath(wchar_t* path);
// Every field at the value a missing key gives.
void SetDefaultOptions(OptionsRecord* options);
void LoadGameOptions();
void NormaliseGameOptions();
// The rules of NormaliseGameOptions for a given primary screen size.
void NormaliseOptionsForScreen(OptionsRecord* options, int screenWidth, int screenHeight);
// Returns 1 when the file was replaced; callers do not report failures.
int SaveGameOptions();
