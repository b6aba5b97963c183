// Naming of the running Windows edition: facts gathered from the system, and the decision.
#pragma once

#include <stdint.h>
#include <windows.h>

enum {
    kWindowsNameCapacity = 128,
    kFeatureReleaseCapacity = 33,  // 32 characters of DisplayVersion or ReleaseId
};

struct WindowsVersionFacts {
    int versionKnown;         // 0 when both version queries failed
    int haveExtendedInfo;     // the extended record was answered
    uint32_t platformId;      // 1 the 95 family, 2 NT
    uint32_t majorVersion;
    uint32_t minorVersion;
    uint32_t buildNumber;
    wchar_t servicePack[128];
    uint16_t suiteMask;       // 0 without extended information
    uint8_t productType;      // 1 workstation, 2 domain controller, 3 server; 0 without
    uint16_t architecture;    // 0 x86, 6 Itanium, 9 x64
    uint32_t editionType;     // GetProductInfo's product type; 0 when it is missing
    int tabletPc;             // GetSystemMetrics(SM_TABLETPC) and the three below
    int mediaCenter;
    int starter;
    int serverR2;
    wchar_t registryProductType[9];  // ProductOptions\ProductType (read for NT 3/4 without
                                     // extended information), empty when unreadable
    // From NT 6.2 on, read from CurrentVersion in the 64-bit registry view.
    wchar_t featureRelease[kFeatureReleaseCapacity];  // "23H2"; empty when absent
    int haveUpdateRevision;                           // UBR was a REG_DWORD
    uint32_t updateRevision;
};

typedef LONG(WINAPI* RtlGetVersionFunction)(OSVERSIONINFOEXW*);
typedef BOOL(WINAPI* ProductInfoFunction)(DWORD, DWORD, DWORD, DWORD, DWORD*);

// The version queries that tell the truth to a program without a compatibility manifest. Either
// may be null where the system lacks it.
struct WindowsVersionQueries {
    RtlGetVersionFunction rtlGetVersion;  // ntdll's; GetVersionExW is asked when it fails
    ProductInfoFunction productInfo;      // kernel32's GetProductInfo
};

// Looks the queries up in ntdll.dll and kernel32.dll.
void FindWindowsVersionQueries(WindowsVersionQueries* queries);
void GatherWindowsVersionFactsWith(const WindowsVersionQueries* queries, WindowsVersionFacts* facts);
void GatherWindowsVersionFacts(WindowsVersionFacts* facts);
// Builds the name (kWindowsNameCapacity units, appends cut at 127) and returns the version
// code. When versionKnown is 0 the name is left untouched and the result is 0.
int NameWindowsEdition(const WindowsVersionFacts* facts, wchar_t* name);
int GetWindowsName(wchar_t* name);
