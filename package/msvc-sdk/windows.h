/* The few Windows SDK names that wgconf.h uses, for compiling against it with clang's MSVC
 * target, where no Windows SDK is at hand (the MinGW-w64 headers do not compile for it). */
#ifndef WGCONF_MSVC_SDK_WINDOWS_H
#define WGCONF_MSVC_SDK_WINDOWS_H

#define WINAPI __stdcall
#define NULL 0
typedef struct HWND__* HWND;
typedef void* HANDLE;
#ifdef _WIN64
typedef long long LONG_PTR;
#else
typedef long LONG_PTR;
#endif
typedef LONG_PTR LPARAM;

#endif
