// Stand-in for the game's calling program: loads wgconf.dll and shows its dialog.
//
// Usage: launcher.exe [--dir DIRECTORY] [--plain-load] [--caller-session] [--tab N]
//                     [--close-after MS] [--ready-file PATH] [--modules-file PATH]
//   --dir DIRECTORY   load wgconf.dll from DIRECTORY instead of the launcher's own directory
//   --plain-load      load it with a plain LoadLibraryW, as a caller that knows nothing of the
//                     search order does (by default LOAD_WITH_ALTERED_SEARCH_PATH)
//   --caller-session  load vidq.dll from the same directory, open a session with VIDQ_Start,
//                     hand it to the dialog and end it with VIDQ_End afterwards, as the game does
//   --tab N           once the dialog is up, switch to tab N (0..3) the way a click does
//   --close-after MS  press Cancel MS milliseconds after the dialog appeared
//   --ready-file PATH once the dialog is up (and the tab switched), write the dialog's screen
//                     rectangle "left top right bottom" to PATH, in the screen's own pixels,
//                     for screenshots
//   --modules-file PATH once the dialog is up, write one line "NAME=FULL PATH" for each of the
//                     game's libraries, vidq.dll and DSETUP.dll, with an empty path for one
//                     that is not loaded (UTF-8)
// Prints "result=N" with the entry's result and returns it as the exit code (-1 when the
// library or its entry is missing).
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include "wgconf.h"

typedef HANDLE(WINAPI* StartFunction)(HWND window, const RECT* rectangle, int mode);
typedef int(WINAPI* EndFunction)(HANDLE session);

static const int kPathUnits = 520;
static const int kTabControlId = 5001;

struct LauncherOptions {
    wchar_t directory[kPathUnits];  // with a trailing backslash
    int plainLoad;
    int callerSession;
    int tab;           // -1: leave the first tab
    int closeAfter;    // -1: never
    wchar_t readyFile[kPathUnits];
    wchar_t modulesFile[kPathUnits];
};

static LauncherOptions options;
static DWORD dialogThread;

template <typename Function>
static Function Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

static void EndWithBackslash(wchar_t* path) {
    int length = lstrlenW(path);
    if (length > 0 && length < kPathUnits - 1 && path[length - 1] != L'\\' && path[length - 1] != L'/') {
        path[length] = L'\\';
        path[length + 1] = 0;
    }
}

static int ParseArguments() {
    options.tab = -1;
    options.closeAfter = -1;
    GetModuleFileNameW(nullptr, options.directory, kPathUnits);
    wchar_t* slash = wcsrchr(options.directory, L'\\');
    if (slash) slash[1] = 0;

    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return 0;
    int ok = 1;
    for (int i = 1; i < count && ok; ++i) {
        const wchar_t* argument = arguments[i];
        int hasValue = i + 1 < count;
        if (lstrcmpW(argument, L"--caller-session") == 0) {
            options.callerSession = 1;
        } else if (lstrcmpW(argument, L"--plain-load") == 0) {
            options.plainLoad = 1;
        } else if (lstrcmpW(argument, L"--dir") == 0 && hasValue) {
            lstrcpynW(options.directory, arguments[++i], kPathUnits - 1);
            EndWithBackslash(options.directory);
        } else if (lstrcmpW(argument, L"--tab") == 0 && hasValue) {
            options.tab = _wtoi(arguments[++i]);
        } else if (lstrcmpW(argument, L"--close-after") == 0 && hasValue) {
            options.closeAfter = _wtoi(arguments[++i]);
        } else if (lstrcmpW(argument, L"--ready-file") == 0 && hasValue) {
            lstrcpynW(options.readyFile, arguments[++i], kPathUnits);
        } else if (lstrcmpW(argument, L"--modules-file") == 0 && hasValue) {
            lstrcpynW(options.modulesFile, arguments[++i], kPathUnits);
        } else {
            fwprintf(stderr, L"launcher: unknown or incomplete option %ls\n", argument);
            ok = 0;
        }
    }
    LocalFree(arguments);
    return ok;
}

static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && GetDlgItem(window, kTabControlId)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

static HWND WaitForDialog() {
    for (int i = 0; i < 600; ++i) {
        HWND dialog = nullptr;
        EnumThreadWindows(dialogThread, FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog) return dialog;
        Sleep(50);
    }
    return nullptr;
}

// Selects the tab and tells the dialog, as the tab control does on a click.
static void SwitchTab(HWND dialog, int tab) {
    HWND tabControl = GetDlgItem(dialog, kTabControlId);
    SendMessageW(tabControl, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR header = {};
    header.hwndFrom = tabControl;
    header.idFrom = kTabControlId;
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageW(dialog, WM_NOTIFY, kTabControlId, reinterpret_cast<LPARAM>(&header));
}

typedef HANDLE(WINAPI* SetThreadDpiAwarenessContextFunction)(HANDLE context);

// The dialog's rectangle in the screen's own pixels: the launcher declares no DPI awareness,
// as the game does, so only this helper thread looks per-monitor aware for a moment.
static void ScreenRectangle(HWND window, RECT* rectangle) {
    auto setContext = Entry<SetThreadDpiAwarenessContextFunction>(GetModuleHandleW(L"user32.dll"),
                                                                  "SetThreadDpiAwarenessContext");
    HANDLE previous = setContext ? setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))) : nullptr;
    GetWindowRect(window, rectangle);
    if (previous) setContext(previous);
}

static void WriteReadyFile(HWND dialog) {
    RECT rectangle = {};
    ScreenRectangle(dialog, &rectangle);
    char text[96];
    int length = snprintf(text, sizeof(text), "%ld %ld %ld %ld\r\n", rectangle.left, rectangle.top, rectangle.right,
                          rectangle.bottom);
    HANDLE file = CreateFileW(options.readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

// Where each of the game's libraries that the process holds while the dialog is open came from.
static void WriteModulesFile() {
    HANDLE file = CreateFileW(options.modulesFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    static const wchar_t* const kGameLibraries[] = {L"vidq.dll", L"DSETUP.dll"};
    for (const wchar_t* name : kGameLibraries) {
        wchar_t line[kPathUnits + 16] = {};
        lstrcpyW(line, name);
        lstrcatW(line, L"=");
        HMODULE module = GetModuleHandleW(name);
        int length = lstrlenW(line);
        if (module) GetModuleFileNameW(module, line + length, kPathUnits);
        lstrcatW(line, L"\r\n");
        char bytes[4 * (kPathUnits + 16)];
        int count = WideCharToMultiByte(CP_UTF8, 0, line, -1, bytes, sizeof(bytes), nullptr, nullptr);
        DWORD written = 0;
        if (count > 1) WriteFile(file, bytes, static_cast<DWORD>(count - 1), &written, nullptr);
    }
    CloseHandle(file);
}

static DWORD WINAPI Driver(void*) {
    HWND dialog = WaitForDialog();
    if (!dialog) return 0;
    if (options.modulesFile[0]) WriteModulesFile();
    DWORD appeared = GetTickCount();
    if (options.tab >= 0) SwitchTab(dialog, options.tab);
    if (options.readyFile[0]) {
        Sleep(500);  // let the pages paint
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(200);
        WriteReadyFile(dialog);
    }
    if (options.closeAfter >= 0) {
        DWORD elapsed = GetTickCount() - appeared;
        if (elapsed < static_cast<DWORD>(options.closeAfter)) Sleep(static_cast<DWORD>(options.closeAfter) - elapsed);
        if (IsWindow(dialog)) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        }
    }
    return 0;
}

int main() {
    if (!ParseArguments()) {
        fwprintf(stderr, L"usage: launcher.exe [--dir DIRECTORY] [--plain-load] [--caller-session] [--tab N] "
                         L"[--close-after MS] [--ready-file PATH] [--modules-file PATH]\n");
        return -1;
    }

    wchar_t path[kPathUnits];
    lstrcpynW(path, options.directory, kPathUnits);
    lstrcatW(path, L"wgconf.dll");
    // The loader's advice for a library loaded by its full path; a plain load is what many
    // callers do.
    HMODULE library = options.plainLoad ? LoadLibraryW(path) : LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) {
        fwprintf(stderr, L"launcher: cannot load %ls (error %lu)\n", path, GetLastError());
        return -1;
    }
    // Loaded at run time, as the game does; the type and the export name come from the header.
    WGCONF_ConfigDialogBoxProc configDialogBox =
        Entry<WGCONF_ConfigDialogBoxProc>(library, WGCONF_CONFIG_DIALOG_BOX_NAME);
    if (!configDialogBox) {
        fwprintf(stderr, L"launcher: %ls has no %hs\n", path, WGCONF_CONFIG_DIALOG_BOX_NAME);
        FreeLibrary(library);
        return -1;
    }

    HMODULE vidq = nullptr;
    EndFunction vidqEnd = nullptr;
    HANDLE session = nullptr;
    if (options.callerSession) {
        lstrcpynW(path, options.directory, kPathUnits);
        lstrcatW(path, L"vidq.dll");
        vidq = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        StartFunction vidqStart = vidq ? Entry<StartFunction>(vidq, "_VIDQ_Start@12") : nullptr;
        vidqEnd = vidq ? Entry<EndFunction>(vidq, "_VIDQ_End@4") : nullptr;
        RECT empty = {0, 0, 0, 0};
        if (vidqStart) session = vidqStart(nullptr, &empty, 1);
        if (!session) fwprintf(stderr, L"launcher: no capability session; the dialog opens its own\n");
    }

    dialogThread = GetCurrentThreadId();
    HANDLE driver = nullptr;
    if (options.tab >= 0 || options.closeAfter >= 0 || options.readyFile[0] || options.modulesFile[0]) {
        driver = CreateThread(nullptr, 0, Driver, nullptr, 0, nullptr);
    }

    int result = configDialogBox(nullptr, session, 0);

    if (driver) {
        WaitForSingleObject(driver, 5000);
        CloseHandle(driver);
    }
    if (session && vidqEnd) vidqEnd(session);
    if (vidq) FreeLibrary(vidq);
    FreeLibrary(library);
    wprintf(L"result=%d\n", result);
    return result;
}
