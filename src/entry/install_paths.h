// Installation and work directories, display language, and the string loader.
#pragma once

#include <windows.h>

enum {
    kPathCapacity = 512,  // units of installDirectory, workDirectory and other full paths
    kTextCapacity = 256,  // units of a text loaded with LoadText
};

extern HINSTANCE moduleHandle;             // this library's own module (or the program's)
extern wchar_t installDirectory[kPathCapacity];  // ends with a backslash
extern wchar_t workDirectory[kPathCapacity];     // [DIR] work as written, else installDirectory
extern int languageIndex;                  // 0 English, 1 Japanese

// The module that holds the dialog templates and strings: this library, or the program that
// links the code directly (the unit tests).
HINSTANCE ResourceModule();

// 1 when this library's own folder was found and its paths fit; 0, with both directories
// empty, when not: then no file may be looked for at all.
int ResolveInstallPaths();
// The same for a library file at `libraryPath`; null, a name that cannot be made absolute or a
// folder whose config.ini would not fit give 0.
int ResolveInstallPathsFor(const wchar_t* libraryPath);
// 1 when a [DIR] work value of `length` characters is taken whole: it fits the work directory,
// and so does each file path built on it. A longer one is refused rather than cut, and the
// work directory stays the installation directory.
int WorkValueFits(int length);
// Sets workDirectory to the directory part of the path (with its trailing separator).
// Returns 1, or 0 and changes nothing.
int DirectoryOfPath(const wchar_t* path);
// Where the work files go: workDirectory when it is installDirectory's text or names an
// existing folder (a relative value too), else installDirectory.
const wchar_t* WorkFileDirectory();
// The installation's copy of one of the game's libraries, loaded by its full path, its own
// imports looked for beside it first; null when it is missing or its path does not fit.
HMODULE LoadInstalledLibrary(const wchar_t* fileName);
// An export of a loaded library as a function of its own type; null when it has none.
template <typename Function>
Function LookUpEntry(HMODULE library, const char* name) {
    // Through a plain function pointer type, which every compiler accepts as a neutral cast.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
// Loads string baseId + 10000 x languageIndex; an unknown language counts as Japanese.
// The buffer holds `capacity` units; returns the length loaded.
int LoadText(UINT baseId, wchar_t* buffer, int capacity = kTextCapacity);
