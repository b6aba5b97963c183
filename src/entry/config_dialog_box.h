// The library's one export, "_WGCONF_ConfigDialogBox@12".
#pragma once

#include <windows.h>

// Shows the configuration dialog, owned by `owner`. `callerSession` is a graphics-capability
// session that the caller already holds (used, never ended), or 0. `parameter` is handed on
// to the dialog. Returns 1 when the dialog ran and was closed, 0 when it could not be created
// (or when it is already open).
extern "C" int WINAPI WGCONF_ConfigDialogBox(HWND owner, HANDLE callerSession, LPARAM parameter);
