/* A game built with MinGW: includes the installed header, links libwgconf.dll.a, opens the
 * dialog and has a second thread press Cancel once it is up. Prints "result=N" and returns N. */
#include <stdio.h>
#include <wgconf.h>

static DWORD callerThread;

static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t className[16];
    if (IsWindowVisible(window) && GetClassNameW(window, className, 16) && lstrcmpW(className, L"#32770") == 0) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

static DWORD WINAPI PressCancel(void* unused) {
    (void)unused;
    for (int attempt = 0; attempt < 1200; ++attempt) {
        HWND dialog = NULL;
        EnumThreadWindows(callerThread, FindDialog, (LPARAM)&dialog);
        if (dialog) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDCANCEL));
            return 0;
        }
        Sleep(50);
    }
    return 1;
}

int main(void) {
    callerThread = GetCurrentThreadId();
    HANDLE closer = CreateThread(NULL, 0, PressCancel, NULL, 0, NULL);
    int result = WGCONF_ConfigDialogBox(NULL, NULL, 0);
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    printf("result=%d\n", result);
    return result;
}
