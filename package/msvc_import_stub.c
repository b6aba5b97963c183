/* wgconf.lib, the import library for MSVC, is the by-product of linking this stand-in of
 * wgconf.dll with lld-link. Compiled with clang's MSVC target, the header's declaration gets
 * MSVC's dllexport, which names the export "_WGCONF_ConfigDialogBox@12" as the real DLL does. */
#define WGCONF_BUILDING_LIBRARY
#include <wgconf.h>

int WINAPI WGCONF_ConfigDialogBox(HWND owner, HANDLE session, LPARAM parameter) {
    (void)owner;
    (void)session;
    (void)parameter;
    return 0;
}
