// A game built with MSVC's ABI: includes the installed header (as C++) and calls the export
// through wgconf.lib. It is linked, not run: without an MSVC runtime it brings its own entry.
#include <wgconf.h>

extern "C" int mainCRTStartup() { return WGCONF_ConfigDialogBox(NULL, NULL, 0); }
