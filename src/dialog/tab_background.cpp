// Pages that sit on the tab control's themed body rather than on the dialog's flat colour.
#include <windows.h>
#include <uxtheme.h>

#include "dialog/dialog.h"
#include "entry/bounded_text.h"
#include "entry/install_paths.h"

typedef HRESULT(WINAPI* EnableThemeDialogTextureFunction)(HWND window, DWORD flags);

// uxtheme.dll, looked up at run time: it is missing before Windows XP. Loaded from the system
// folder only, never a copy beside the game; once loaded it stays, as the common controls that
// use it keep it loaded too.
static HMODULE ThemeLibrary() {
    HMODULE library = GetModuleHandleW(L"uxtheme.dll");
    if (library) return library;
    wchar_t path[kPathCapacity];
    UINT length = GetSystemDirectoryW(path, kPathCapacity);
    if (length == 0 || length >= kPathCapacity) return nullptr;
    AppendBounded(path, kPathCapacity, L"\\uxtheme.dll");
    return LoadLibraryW(path);
}

void UseTabBodyBackground(HWND page) {
    HMODULE library = ThemeLibrary();
    if (!library) return;
    const EnableThemeDialogTextureFunction enable = reinterpret_cast<EnableThemeDialogTextureFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "EnableThemeDialogTexture")));
    if (enable) enable(page, ETDT_ENABLETAB);
}
