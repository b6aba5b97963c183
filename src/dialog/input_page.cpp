// The Input page: the smoke button's toggle mode, and the joystick, which the game's own
// selector program chooses; the page starts it, waits for it and shows the name it stored.
#include <windows.h>
#include <shlwapi.h>

#include "dialog/pages.h"
#include "entry/bounded_text.h"
#include "entry/dpi_awareness.h"
#include "entry/files.h"
#include "entry/install_paths.h"
#include "options/game_options.h"
#include "resources/resource.h"

HWND smokeToggleCheck;
HWND changeJoystickButton;
HWND joystickNameStatic;

enum {
    kSelectorWaitMilliseconds = 50,
    kSelectorOffsetX = -105,  // the selector opens left of and below the dialog's corner,
    kSelectorOffsetY = 45,    // in pixels at 96 DPI
};

static const wchar_t kSelectJoyStickFile[] = L"JoyStickUser\\SelectJoyStick.ini";

void SelectJoyStickPath(wchar_t* path) {
    int same = lstrcmpW(workDirectory, installDirectory) == 0;
    int workIsDirectory = 0;
    int workFileSize = -1;
    if (JoinPath(path, kPathCapacity, workDirectory, kSelectJoyStickFile) && !same && PathIsDirectoryW(workDirectory)) {
        workIsDirectory = 1;
        workFileSize = QueryFileSize(path);
    }
    if (JoystickFileInWorkDirectory(same, workIsDirectory, workFileSize)) return;
    JoinPath(path, kPathCapacity, installDirectory, kSelectJoyStickFile);
}

void ShowSelectedJoystick() {
    wchar_t path[kPathCapacity];
    SelectJoyStickPath(path);
    wchar_t name[kJoystickNameCapacity];
    name[0] = 0;
    if (path[0]) GetPrivateProfileStringW(L"JOYSTICK", L"name", L"", name, kJoystickNameCapacity, path);
    SetWindowTextW(joystickNameStatic, name);
}

int SelectorCommand(wchar_t* program, wchar_t* argument) {
    wchar_t list[kPathCapacity];
    argument[0] = 0;
    if (!JoinPath(program, kPathCapacity, installDirectory, L"JoyStickSelector.exe") ||
        !JoinPath(list, kPathCapacity, installDirectory, L"JoyStick.ini")) {
        program[0] = 0;
        return 0;
    }
    // Quoted: the installation directory may contain blanks.
    CopyBounded(argument, kSelectorArgumentCapacity, L"\"");
    AppendBounded(argument, kSelectorArgumentCapacity, list);
    AppendBounded(argument, kSelectorArgumentCapacity, L"\"");
    return 1;
}

int RunSelectorAndWait(const wchar_t* programPath, const wchar_t* argument) {
    wchar_t commandLine[kSelectorArgumentCapacity + 1];
    CopyBounded(commandLine, kSelectorArgumentCapacity + 1, L" ");
    AppendBounded(commandLine, kSelectorArgumentCapacity + 1, argument);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USEPOSITION;
    // The thread is per-monitor aware: the dialog's rectangle is in the screen's own pixels,
    // the coordinates that the selector, a DPI-aware program, places its window in.
    RECT dialogRectangle = {};
    GetWindowRect(mainDialogWindow, &dialogRectangle);
    UINT dpi = WindowDpi(mainDialogWindow);
    startup.dwX = static_cast<DWORD>(dialogRectangle.left + ScaleForDpi(kSelectorOffsetX, dpi));
    startup.dwY = static_cast<DWORD>(dialogRectangle.top + ScaleForDpi(kSelectorOffsetY, dpi));

    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(programPath, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process)) {
        return 0;
    }

    EnableWindow(mainDialogWindow, FALSE);
    // Keep the thread's windows alive while the selector runs. A quit request is held back
    // until the wait is over, so that the caller's loop still sees it.
    int quitRequested = 0;
    WPARAM quitCode = 0;
    while (WaitForSingleObject(process.hProcess, kSelectorWaitMilliseconds) == WAIT_TIMEOUT) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitRequested = 1;
                quitCode = message.wParam;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    EnableWindow(mainDialogWindow, TRUE);
    SetForegroundWindow(mainDialogWindow);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (quitRequested) PostQuitMessage(static_cast<int>(quitCode));
    return 1;
}

static void ChangeJoystick() {
    wchar_t program[kPathCapacity];
    wchar_t argument[kSelectorArgumentCapacity];
    if (SelectorCommand(program, argument)) RunSelectorAndWait(program, argument);
    ShowSelectedJoystick();
}

INT_PTR CALLBACK InputPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        UseTabBodyBackground(page);
        smokeToggleCheck = GetDlgItem(page, IDC_SMOKE_TOGGLE);
        changeJoystickButton = GetDlgItem(page, IDC_CHANGE_JOYSTICK);
        joystickNameStatic = GetDlgItem(page, IDC_JOYSTICK_NAME);
        ShowSelectedJoystick();
        SendMessageW(smokeToggleCheck, BM_SETCHECK, gameOptions.smokebutton == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    // A click, by the mouse, Space, or Enter passed on by the main dialog.
    int clicked = HIWORD(wParam) == BN_CLICKED;
    switch (LOWORD(wParam)) {
    case IDC_SMOKE_TOGGLE:
        if (clicked) gameOptions.smokebutton = SendMessageW(smokeToggleCheck, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        return TRUE;
    case IDC_CHANGE_JOYSTICK:
        if (clicked) ChangeJoystick();
        return TRUE;
    default:
        return FALSE;
    }
}
