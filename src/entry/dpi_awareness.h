// The DPI awareness of the caller's thread for the length of one call, and the dialog's DPI.
// The tool sets the thread's context, never the process's, and gives the caller's back.
#pragma once

#include <windows.h>

// The project's WINVER hides these; the values are the platform's own.
#ifndef _DPI_AWARENESS_CONTEXTS_
#define _DPI_AWARENESS_CONTEXTS_
DECLARE_HANDLE(DPI_AWARENESS_CONTEXT);
#define DPI_AWARENESS_CONTEXT_UNAWARE ((DPI_AWARENESS_CONTEXT)-1)
#define DPI_AWARENESS_CONTEXT_SYSTEM_AWARE ((DPI_AWARENESS_CONTEXT)-2)
#define DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE ((DPI_AWARENESS_CONTEXT)-3)
#define DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 ((DPI_AWARENESS_CONTEXT)-4)
#endif
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef USER_DEFAULT_SCREEN_DPI
#define USER_DEFAULT_SCREEN_DPI 96
#endif

typedef DPI_AWARENESS_CONTEXT(WINAPI* SetThreadDpiAwarenessContextFunction)(DPI_AWARENESS_CONTEXT context);

struct ThreadDpiAwareness {
    SetThreadDpiAwarenessContextFunction set;  // null where the platform has none
    DPI_AWARENESS_CONTEXT previous;            // the caller's context, valid when `changed`
    int changed;                               // 1 when one of the contexts was taken
};

// user32's SetThreadDpiAwarenessContext, or null before Windows 10 1607.
SetThreadDpiAwarenessContextFunction LookUpSetThreadDpiAwarenessContext();

// Makes the thread per-monitor aware (v2), or where that is refused per-monitor (v1), then
// system-aware; where all are refused, or `set` is null, nothing changes.
void EnterDpiAwareness(ThreadDpiAwareness* awareness, SetThreadDpiAwarenessContextFunction set);
// Gives the thread back the context that it had before EnterDpiAwareness.
void LeaveDpiAwareness(ThreadDpiAwareness* awareness);

// The DPI that the window is laid out at: GetDpiForWindow where it exists, 96 otherwise.
UINT WindowDpi(HWND window);

// A length in pixels at 96 DPI, at the given DPI.
inline int ScaleForDpi(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

// Side of the small icon at the DPI: GetSystemMetricsForDpi where it exists, else 16 scaled.
int SmallIconSizeForDpi(UINT dpi);
