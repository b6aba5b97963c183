/* The few Windows SDK names that wgconf.h uses, for compiling against it with clang's MSVC
 * target, where no Windows SDK is at hand (the MinGW-w64 headers do not compile for it). */
#ifndef WGCONF_MSVC_SDK_WINDOWS_H
#define WGCONF_MSVC_SDK_WINDOWS_H

#define WINAPI __stdcall
#define NULL 0
typedef struct HWND__* HWND;
typedef void* HANDLE;
typedef long LONG_PTR; /* 32-bit only, like the library */
typedef LONG_PTR LPARAM;

#endif
