// The main dialog, its four pages and the Initialize command.
#pragma once

#include <windows.h>

enum { kPageCount = 4 };

extern HWND mainDialogWindow;
extern HWND tabControl;
extern HWND pageWindows[kPageCount];  // Graphic, Input, Sound, Information
extern HWND informationList;          // the Information page's list view

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void BuildTabHost(HWND dialog);

// Makes a page draw its texts and controls on the tab's own (themed) body; called by each page
// in its WM_INITDIALOG. Nothing happens where the platform has no themes.
void UseTabBodyBackground(HWND page);

INT_PTR CALLBACK GraphicPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InputPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SoundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK InformationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Factory values into the options record, then onto the Graphic, Input and Sound pages.
void ResetGameOptions();
void RunInitializeCommand();
