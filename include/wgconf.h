/*
 * wgconf.h -- the configuration dialog of the flight game Wingmere (wgconf.dll, 32-bit).
 *
 * WGCONF_ConfigDialogBox(owner, session, parameter), exported as "_WGCONF_ConfigDialogBox@12":
 *   - Runs on the caller's thread and is modal: it returns when the player closes the dialog,
 *     with OK (the options are saved to GameOption.ini) or Cancel (the file stays as it was).
 *   - owner:     the window that owns the dialog, or NULL.
 *     session:   a session of the game's graphics-capability library (vidq.dll) that the caller
 *                already holds, or NULL. A session handed in is used and never ended; with NULL
 *                the tool loads vidq.dll from its own directory and ends what it opened itself.
 *     parameter: handed to the dialog as its creation parameter; the dialog does not use it.
 *   - Returns 1 when the dialog ran and was closed (OK and Cancel alike), 0 when it could not
 *     be created or when the function is called again while its dialog is open.
 *   - COM is initialised on the caller's thread during the call (and uninitialised again).
 *   - wgconf.dll imports from vidq.dll and DSETUP.dll, so both must lie where the loader finds
 *     them: in the game's directory, or beside wgconf.dll when that is loaded with
 *     LoadLibraryExW(..., LOAD_WITH_ALTERED_SEARCH_PATH).
 *   - The installation is the directory of wgconf.dll: config.ini there names the work
 *     directory (where GameOption.ini lies) and the display language.
 *
 * Link with libwgconf.dll.a (MinGW) or wgconf.lib (MSVC), or load wgconf.dll at run time and
 * look up WGCONF_CONFIG_DIALOG_BOX_NAME as a WGCONF_ConfigDialogBoxProc.
 */
#ifndef WGCONF_H
#define WGCONF_H

#include <windows.h>

/* WGCONF_BUILDING_LIBRARY is defined only while wgconf.dll itself is built. GNU ld takes the
 * export from wgconf.def, whose alias keeps the leading underscore of the name; a dllexport
 * from GCC would add a second export without it. */
#if defined(WGCONF_BUILDING_LIBRARY)
#if defined(__GNUC__)
#define WGCONF_API
#else
#define WGCONF_API __declspec(dllexport)
#endif
#else
#define WGCONF_API __declspec(dllimport)
#endif

/* The export's name, for GetProcAddress. */
#define WGCONF_CONFIG_DIALOG_BOX_NAME "_WGCONF_ConfigDialogBox@12"

#ifdef __cplusplus
extern "C" {
#endif

WGCONF_API int WINAPI WGCONF_ConfigDialogBox(HWND owner, HANDLE session, LPARAM parameter);

/* The function's type, for callers that load wgconf.dll at run time. */
typedef int(WINAPI* WGCONF_ConfigDialogBoxProc)(HWND owner, HANDLE session, LPARAM parameter);

#ifdef __cplusplus
}
#endif

#endif /* WGCONF_H */
