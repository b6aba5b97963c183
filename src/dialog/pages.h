// Control windows of the Graphic, Input and Sound pages, kept process-wide so that the
// Initialize command can set them directly, and the page operations shared between files.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "dialog/dialog.h"
#include "dialog/page_rules.h"
#include "entry/install_paths.h"

enum {
    kWindowSizeCount = 5,
    kLevelTextCapacity = 64,      // a level item, or "nothing"
    kJoystickNameCapacity = 128,
    kSelectorArgumentCapacity = kPathCapacity + 2,  // a path and its two quotes
    kVolumeLabelCapacity = 16,
};

// Window sizes offered in window mode; both dimensions grow along the table.
extern const WindowSize WindowSizeTable[kWindowSizeCount];

// Graphic page
extern HWND screenModeCombo;      // 1003
extern HWND resolutionCombo;      // 1004
extern HWND smokeCombo;           // 1005
extern HWND softwareCursorCheck;  // 1006
extern HWND antiAliasCombo;       // 1007
extern HWND anisotropyCombo;      // 1008
extern HWND vectorModeCheck;      // 1009

// Input page
extern HWND smokeToggleCheck;     // 1006
extern HWND changeJoystickButton; // 1010
extern HWND joystickNameStatic;   // 1011

// Sound page: track bars and labels in the order bgm, plane, cockpit, voice
extern HWND software3DSoundCheck;                 // 1006
extern HWND volumeTrackBars[kVolumeCount];        // 1012, 1017, 1018, 1019
extern HWND volumeLabels[kVolumeCount];           // 1020, 1021, 1022, 1023

// Fills the resolution combo with the window sizes that fit the primary screen (the first
// size alone when none fits), each inserted at the next index. Returns the item count.
int FillWindowSizeCombo(HWND combo);
void FillAntiAliasCombo(HWND combo);
void FillAnisotropyCombo(HWND combo);

// Path of the SelectJoyStick.ini to read (kPathCapacity units); empty when it would not fit.
void SelectJoyStickPath(wchar_t* path);
void ShowSelectedJoystick();
// The selector's program path (kPathCapacity units) and its argument, the quoted path of
// JoyStick.ini (kSelectorArgumentCapacity units), both in the installation directory. 1, or 0
// with both empty when either path would not fit: nothing is then started.
int SelectorCommand(wchar_t* program, wchar_t* argument);
// Starts the program and pumps this thread's messages until it ends, with the main dialog
// disabled. Returns 1 when the program ran, 0 when it could not be started.
int RunSelectorAndWait(const wchar_t* programPath, const wchar_t* argument);

// Writes "%3d%s" of the value and "%" into the label.
void WriteVolumeLabel(HWND label, int32_t value);
// Puts the record's four volumes on the Sound page's track bars and labels.
void ShowVolumes();
