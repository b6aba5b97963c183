/* A game that opens the dialog and has the player ask for support: once the dialog is the active
 * window, a thread timer presses User Support (the tool writes mail_support.html into the work
 * directory and hands it to the browser), then Cancel. Returns the export's result. */
#include <windows.h>
#include <wgconf.h>

#include "resources/resource.h"

static void CALLBACK PressButtons(HWND unused, UINT message, UINT_PTR timer, DWORD time) {
    (void)unused;
    (void)message;
    (void)time;
    HWND active = GetActiveWindow();
    wchar_t className[8];
    if (!active || !GetClassNameW(active, className, 8) || lstrcmpW(className, L"#32770") != 0) return;
    KillTimer(NULL, timer);
    SendMessageW(active, WM_COMMAND, MAKEWPARAM(IDC_USER_SUPPORT, BN_CLICKED), (LPARAM)GetDlgItem(active, IDC_USER_SUPPORT));
    PostMessageW(active, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(active, IDCANCEL));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    SetTimer(NULL, 0, 100, PressButtons);
    return WGCONF_ConfigDialogBox(NULL, NULL, 0);
}
