// Per-monitor DPI awareness for the thread of one call. The functions are looked up at run
// time: they do not exist before Windows 10 1607, and the project's WINVER hides them.
#include "entry/dpi_awareness.h"

typedef UINT(WINAPI* GetDpiForWindowFunction)(HWND window);
typedef int(WINAPI* GetSystemMetricsForDpiFunction)(int index, UINT dpi);

enum { kSmallIconSize = 16 };

// Tried in this order: the first that the platform accepts is kept.
static const DPI_AWARENESS_CONTEXT kWantedContexts[] = {
    DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2,
    DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE,
    DPI_AWARENESS_CONTEXT_SYSTEM_AWARE,
};

static FARPROC User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

template <typename Function>
static Function User32(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(User32Function(name)));
}

SetThreadDpiAwarenessContextFunction LookUpSetThreadDpiAwarenessContext() {
    return User32<SetThreadDpiAwarenessContextFunction>("SetThreadDpiAwarenessContext");
}

void EnterDpiAwareness(ThreadDpiAwareness* awareness, SetThreadDpiAwarenessContextFunction set) {
    awareness->set = set;
    awareness->previous = nullptr;
    awareness->changed = 0;
    if (!set) return;
    for (DPI_AWARENESS_CONTEXT wanted : kWantedContexts) {
        DPI_AWARENESS_CONTEXT previous = set(wanted);
        if (previous) {
            awareness->previous = previous;
            awareness->changed = 1;
            return;
        }
    }
}

void LeaveDpiAwareness(ThreadDpiAwareness* awareness) {
    if (awareness->changed) awareness->set(awareness->previous);
    awareness->changed = 0;
}

UINT WindowDpi(HWND window) {
    // Looked up at each call: a guarded local static would link in the C++ runtime's locks.
    const GetDpiForWindowFunction getDpiForWindow = User32<GetDpiForWindowFunction>("GetDpiForWindow");
    UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int SmallIconSizeForDpi(UINT dpi) {
    const GetSystemMetricsForDpiFunction metricsForDpi =
        User32<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    int size = metricsForDpi ? metricsForDpi(SM_CXSMICON, dpi) : 0;
    return size > 0 ? size : ScaleForDpi(kSmallIconSize, dpi);
}
