// Stand-in for the game's joystick chooser, JoyStickSelector.exe.
//
// Usage: JoyStickSelector.exe "PATH\JoyStick.ini"
// (without an argument, JoyStick.ini beside the program is used).
//
// JoyStick.ini lists the joysticks that the game knows by name:
//   [JOYSTICKS]
//   count=3
//   name1=Wingmere Flight Stick
//   name2=...
// Names are read as UTF-16 text (a file with a UTF-16 byte-order mark keeps any character),
// at most 127 characters each and 32 names. The joysticks that the system reports
// (joyGetDevCapsW) are added after them, each name once.
//
// OK writes the chosen name as
//   [JOYSTICK]
//   name=...
// into JoyStickUser\SelectJoyStick.ini of the work directory ([DIR] work of config.ini beside
// the program, used as written, when it names an existing directory) or else of the program's
// own directory; JoyStickUser is created when missing. Cancel writes nothing.
//
// The program declares itself DPI-aware (system-aware), as the game's selector does: its
// coordinates are the screen's own pixels. When started with STARTF_USEPOSITION, the window
// opens at that position.
//
// Environment, for tests and scripted runs:
//   WINGMERE_JOYSTICK_CHOICE=NAME   write NAME and exit without showing a window
//   WINGMERE_JOYSTICK_DELAY_MS=N    with the above, wait N ms first
//   WINGMERE_JOYSTICK_REPORT=PATH   write what the program was started with to PATH
//                                   (UTF-8 lines: commandline=, list=, useposition=, x=,
//                                   y=; when the window shows, then placed=LEFT TOP RIGHT
//                                   BOTTOM, its rectangle in the screen's own pixels)
//   WINGMERE_JOYSTICK_SHOWN_MS=N    show the window for N ms, then cancel it
//   WINGMERE_JOYSTICK_DPI_UNAWARE=1 declare no DPI awareness, to show where such a program's
//                                   window lands
// Exit code: 0 when a name was written, 1 otherwise.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <stdio.h>
#include <wchar.h>

#include "selector_resource.h"

static const int kPathUnits = 520;
static const int kNameUnits = 128;
static const int kMaxNames = 64;

static wchar_t programDirectory[kPathUnits];  // with its trailing backslash
static wchar_t listPath[kPathUnits];
static wchar_t names[kMaxNames][kNameUnits];
static int nameCount;

typedef HANDLE(WINAPI* SetThreadDpiAwarenessContextFunction)(HANDLE context);
static const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
static const UINT_PTR kShownTimer = 1;

static void CopyText(wchar_t* destination, int capacity, const wchar_t* source) {
    lstrcpynW(destination, source, capacity);
}

static void AppendText(wchar_t* destination, int capacity, const wchar_t* source) {
    int length = lstrlenW(destination);
    if (length < capacity - 1) lstrcpynW(destination + length, source, capacity - length);
}

static void FindProgramDirectory() {
    DWORD length = GetModuleFileNameW(nullptr, programDirectory, kPathUnits);
    if (length == 0 || length >= static_cast<DWORD>(kPathUnits)) {
        programDirectory[0] = 0;
        return;
    }
    wchar_t* slash = wcsrchr(programDirectory, L'\\');
    if (slash) slash[1] = 0;
}

static void FindListPath() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    // The configuration tool passes only the quoted path after a blank, which makes the first
    // argument empty; a shell passes the program's name first. Either way the path is second.
    if (arguments && count >= 2 && arguments[1][0]) {
        CopyText(listPath, kPathUnits, arguments[1]);
    } else {
        CopyText(listPath, kPathUnits, programDirectory);
        AppendText(listPath, kPathUnits, L"JoyStick.ini");
    }
    LocalFree(arguments);
}

static void AddName(const wchar_t* name) {
    if (!name[0] || nameCount >= kMaxNames) return;
    for (int i = 0; i < nameCount; ++i) {
        if (lstrcmpW(names[i], name) == 0) return;
    }
    CopyText(names[nameCount++], kNameUnits, name);
}

static void ReadNames() {
    nameCount = 0;
    int listed = static_cast<int>(GetPrivateProfileIntW(L"JOYSTICKS", L"count", 0, listPath));
    if (listed > 32) listed = 32;
    for (int i = 1; i <= listed; ++i) {
        wchar_t key[16];
        swprintf(key, 16, L"name%d", i);
        wchar_t name[kNameUnits];
        GetPrivateProfileStringW(L"JOYSTICKS", key, L"", name, kNameUnits, listPath);
        AddName(name);
    }
    UINT devices = joyGetNumDevs();
    for (UINT id = 0; id < devices && id < 16; ++id) {
        JOYCAPSW caps = {};
        if (joyGetDevCapsW(id, &caps, sizeof(caps)) == JOYERR_NOERROR) AddName(caps.szPname);
    }
}

// JoyStickUser\SelectJoyStick.ini in the work directory or beside the program; with
// `create`, the JoyStickUser directory is made when missing.
static void ChoiceFilePath(wchar_t* path, int create) {
    wchar_t configPath[kPathUnits];
    CopyText(configPath, kPathUnits, programDirectory);
    AppendText(configPath, kPathUnits, L"config.ini");
    wchar_t work[kPathUnits];
    GetPrivateProfileStringW(L"DIR", L"work", L"", work, kPathUnits, configPath);
    if (work[0] && PathIsDirectoryW(work)) {
        CopyText(path, kPathUnits, work);
    } else {
        CopyText(path, kPathUnits, programDirectory);
    }
    AppendText(path, kPathUnits, L"JoyStickUser");
    if (create) CreateDirectoryW(path, nullptr);
    AppendText(path, kPathUnits, L"\\SelectJoyStick.ini");
}

static int WriteChoice(const wchar_t* name) {
    wchar_t path[kPathUnits];
    ChoiceFilePath(path, 1);
    // A new file starts with a UTF-16 byte-order mark, so that the profile functions keep any
    // name intact instead of squeezing it into the ANSI code page.
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const unsigned char mark[2] = {0xFF, 0xFE};
        DWORD written = 0;
        WriteFile(file, mark, 2, &written, nullptr);
        CloseHandle(file);
    }
    return WritePrivateProfileStringW(L"JOYSTICK", L"name", name, path) ? 1 : 0;
}

// 1 when the variable is set, not empty and fits the buffer.
static int ReadVariable(const wchar_t* name, wchar_t* value, DWORD capacity) {
    DWORD length = GetEnvironmentVariableW(name, value, capacity);
    return length > 0 && length < capacity;
}

static void WriteUtf8Line(HANDLE file, const wchar_t* key, const wchar_t* value) {
    char buffer[2048];
    int used = WideCharToMultiByte(CP_UTF8, 0, key, -1, buffer, sizeof(buffer), nullptr, nullptr);
    if (used <= 0) return;
    int length = used - 1;
    buffer[length++] = '=';
    used = WideCharToMultiByte(CP_UTF8, 0, value, -1, buffer + length, sizeof(buffer) - length - 2, nullptr, nullptr);
    if (used <= 0) return;
    length += used - 1;
    buffer[length++] = '\r';
    buffer[length++] = '\n';
    DWORD written = 0;
    WriteFile(file, buffer, static_cast<DWORD>(length), &written, nullptr);
}

static void WriteStartReport() {
    wchar_t reportPath[kPathUnits];
    if (!ReadVariable(L"WINGMERE_JOYSTICK_REPORT", reportPath, kPathUnits)) return;
    HANDLE file = CreateFileW(reportPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    wchar_t number[32];
    WriteUtf8Line(file, L"commandline", GetCommandLineW());
    WriteUtf8Line(file, L"list", listPath);
    swprintf(number, 32, L"%d", (startup.dwFlags & STARTF_USEPOSITION) ? 1 : 0);
    WriteUtf8Line(file, L"useposition", number);
    swprintf(number, 32, L"%d", static_cast<int>(startup.dwX));
    WriteUtf8Line(file, L"x", number);
    swprintf(number, 32, L"%d", static_cast<int>(startup.dwY));
    WriteUtf8Line(file, L"y", number);
    CloseHandle(file);
}

// Appends "placed=LEFT TOP RIGHT BOTTOM": the window's rectangle in the screen's own pixels,
// read per-monitor aware so that an unaware program's place shows as it lands.
static void ReportPlace(HWND dialog) {
    wchar_t reportPath[kPathUnits];
    if (!ReadVariable(L"WINGMERE_JOYSTICK_REPORT", reportPath, kPathUnits)) return;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto setContext = reinterpret_cast<SetThreadDpiAwarenessContextFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    HANDLE previous = setContext ? setContext(kPerMonitorAwareV2) : nullptr;
    RECT place = {};
    GetWindowRect(dialog, &place);
    if (previous) setContext(previous);
    HANDLE file = CreateFileW(reportPath, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    wchar_t text[64];
    swprintf(text, 64, L"%ld %ld %ld %ld", place.left, place.top, place.right, place.bottom);
    WriteUtf8Line(file, L"placed", text);
    CloseHandle(file);
}

static void SelectCurrentName(HWND list) {
    wchar_t path[kPathUnits];
    ChoiceFilePath(path, 0);
    wchar_t current[kNameUnits];
    GetPrivateProfileStringW(L"JOYSTICK", L"name", L"", current, kNameUnits, path);
    int selected = 0;
    for (int i = 0; i < nameCount; ++i) {
        if (lstrcmpW(names[i], current) == 0) selected = i;
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

static void PlaceWindow(HWND dialog) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    if (startup.dwFlags & STARTF_USEPOSITION) {
        SetWindowPos(dialog, nullptr, static_cast<int>(startup.dwX), static_cast<int>(startup.dwY), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    }
}

static INT_PTR CALLBACK SelectorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        HWND list = GetDlgItem(dialog, IDC_JOYSTICK_LIST);
        for (int i = 0; i < nameCount; ++i) {
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
        }
        SelectCurrentName(list);
        EnableWindow(GetDlgItem(dialog, IDOK), nameCount > 0);
        PlaceWindow(dialog);
        ReportPlace(dialog);
        wchar_t shown[32];
        if (ReadVariable(L"WINGMERE_JOYSTICK_SHOWN_MS", shown, 32)) {
            SetTimer(dialog, kShownTimer, static_cast<UINT>(_wtoi(shown)), nullptr);
        }
        return TRUE;
    }
    case WM_TIMER:
        if (wParam != kShownTimer) return FALSE;
        EndDialog(dialog, 1);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_JOYSTICK_LIST:
            if (HIWORD(wParam) != LBN_DBLCLK) return FALSE;
            [[fallthrough]];  // a double click chooses
        case IDOK: {
            int selected = static_cast<int>(SendDlgItemMessageW(dialog, IDC_JOYSTICK_LIST, LB_GETCURSEL, 0, 0));
            int written = selected >= 0 && selected < nameCount && WriteChoice(names[selected]);
            EndDialog(dialog, written ? 0 : 1);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    wchar_t unaware[8];
    if (!ReadVariable(L"WINGMERE_JOYSTICK_DPI_UNAWARE", unaware, 8)) SetProcessDPIAware();
    FindProgramDirectory();
    FindListPath();
    WriteStartReport();

    wchar_t choice[kNameUnits];
    if (ReadVariable(L"WINGMERE_JOYSTICK_CHOICE", choice, kNameUnits)) {
        wchar_t delay[32];
        if (ReadVariable(L"WINGMERE_JOYSTICK_DELAY_MS", delay, 32)) Sleep(static_cast<DWORD>(_wtoi(delay)));
        return WriteChoice(choice) ? 0 : 1;
    }

    ReadNames();
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SELECTOR), nullptr, SelectorProc, 0);
    return result == 0 ? 0 : 1;
}
