// Copies and appends into fixed-capacity UTF-16 buffers: what does not fit is cut, and the
// result is always terminated. Capacities count units including the terminator.
#pragma once

#include <wchar.h>

inline void CopyBounded(wchar_t* destination, int capacity, const wchar_t* source) {
    if (capacity <= 0) return;
    int i = 0;
    if (source) {
        for (; i < capacity - 1 && source[i]; ++i) destination[i] = source[i];
    }
    destination[i] = 0;
}

inline void AppendBounded(wchar_t* destination, int capacity, const wchar_t* source) {
    if (capacity <= 0) return;
    int length = 0;
    while (length < capacity - 1 && destination[length]) ++length;
    CopyBounded(destination + length, capacity - length, source);
}
