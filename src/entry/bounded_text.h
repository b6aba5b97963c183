// Copies, appends and formats into fixed-capacity buffers: what does not fit is cut, and the
// result is always terminated. Capacities count units including the terminator.
#pragma once

#include <stdarg.h>
#include <wchar.h>
#include <windows.h>
#include <shlwapi.h>

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

// The conversions of wsprintfW (no floating point, no 64-bit integers).
inline void FormatBoundedV(wchar_t* buffer, int capacity, const wchar_t* format, va_list arguments) {
    if (capacity <= 0) return;
    buffer[0] = 0;
    wvnsprintfW(buffer, capacity, format, arguments);
    buffer[capacity - 1] = 0;
}

inline void FormatBounded(wchar_t* buffer, int capacity, const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    FormatBoundedV(buffer, capacity, format, arguments);
    va_end(arguments);
}

// The same for bytes, with the conversions of wsprintfA.
inline void FormatBounded(char* buffer, int capacity, const char* format, ...) {
    if (capacity <= 0) return;
    buffer[0] = 0;
    va_list arguments;
    va_start(arguments, format);
    wvnsprintfA(buffer, capacity, format, arguments);
    va_end(arguments);
    buffer[capacity - 1] = 0;
}

// UTF-8 into UTF-16, cut before the first character that does not fit. No character takes
// more units than bytes, so the bytes that fit the capacity convert whole; invalid bytes come
// out as U+FFFD.
inline void CopyUtf8Bounded(wchar_t* destination, int capacity, const char* source) {
    if (capacity <= 0) return;
    destination[0] = 0;
    if (!source) return;
    int bytes = 0;
    while (bytes < capacity - 1 && source[bytes]) ++bytes;
    // A cut inside a character leaves out its lead and continuation bytes.
    while (bytes > 0 && (static_cast<unsigned char>(source[bytes]) & 0xC0) == 0x80) --bytes;
    const int units = bytes ? MultiByteToWideChar(CP_UTF8, 0, source, bytes, destination, capacity - 1) : 0;
    destination[units] = 0;
}

// A directory and a file name as one path, whole or not at all: a path cut to its buffer
// would name some other file, and one on an empty directory would be found through the
// current directory. Returns 1, or 0 with the path empty.
inline int JoinPath(wchar_t* path, int capacity, const wchar_t* directory, const wchar_t* name) {
    if (capacity <= 0) return 0;
    path[0] = 0;
    if (!directory || !directory[0] || !name) return 0;
    size_t length = wcslen(directory) + wcslen(name);
    if (length >= static_cast<size_t>(capacity)) return 0;
    CopyBounded(path, capacity, directory);
    AppendBounded(path, capacity, name);
    return 1;
}
