// Text values of the registry, read whole and kept as far as they fit.
#pragma once

#include <stdint.h>
#include <windows.h>

enum RegistryTextTypes { kPlainTextOnly = 0, kExpandableTextToo = 1 };

// Reads the value however long it is and keeps its first capacity - 1 units. 1 when a value of
// an accepted type was read (it may be empty); otherwise 0 with the text empty.
int ReadRegistryText(HKEY key, const wchar_t* name, wchar_t* text, int capacity, RegistryTextTypes types);
// 1 with the number when the value is a REG_DWORD; otherwise 0 and the number untouched.
int ReadRegistryNumber(HKEY key, const wchar_t* name, uint32_t* number);
