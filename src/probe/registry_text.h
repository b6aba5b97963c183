// Text values of the registry, read whole and kept as far as they fit.
#pragma once

#include <windows.h>

enum RegistryTextTypes { kPlainTextOnly = 0, kExpandableTextToo = 1 };

// Reads the value however long it is and keeps its first capacity - 1 units. 1 when a value of
// an accepted type was read (it may be empty); otherwise 0 with the text empty.
int ReadRegistryText(HKEY key, const wchar_t* name, wchar_t* text, int capacity, RegistryTextTypes types);
