// The display name and version code of the running Windows edition.
#include "probe/windows_name.h"

#include <string.h>
#include <wchar.h>

#include "entry/bounded_text.h"

enum { kBuildTextCapacity = 80 };

typedef void(WINAPI* NativeSystemInfoFunction)(SYSTEM_INFO*);
typedef BOOL(WINAPI* ProductInfoFunction)(DWORD, DWORD, DWORD, DWORD, DWORD*);

static void ReadRegistryProductType(wchar_t* text) {
    const int capacity = 9;
    text[0] = 0;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    wchar_t value[capacity] = {};
    DWORD type = 0;
    DWORD size = sizeof(value);
    LONG status = RegQueryValueExW(key, L"ProductType", nullptr, &type,
                                   reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return;
    // The stored text need not carry its terminator.
    DWORD length = size / sizeof(wchar_t);
    if (length > capacity - 1) length = capacity - 1;
    value[length] = 0;
    CopyBounded(text, capacity, value);
}

void GatherWindowsVersionFacts(WindowsVersionFacts* facts) {
    memset(facts, 0, sizeof(*facts));

    OSVERSIONINFOEXW version;
    memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
        facts->haveExtendedInfo = 1;
    } else {
        memset(&version, 0, sizeof(version));
        version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) return;
    }
    facts->versionKnown = 1;
    facts->platformId = version.dwPlatformId;
    facts->majorVersion = version.dwMajorVersion;
    facts->minorVersion = version.dwMinorVersion;
    facts->buildNumber = version.dwBuildNumber;
    CopyBounded(facts->servicePack, 128, version.szCSDVersion);
    if (facts->haveExtendedInfo) {
        facts->suiteMask = version.wSuiteMask;
        facts->productType = version.wProductType;
    }

    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    SYSTEM_INFO system;
    memset(&system, 0, sizeof(system));
    NativeSystemInfoFunction nativeSystemInfo = nullptr;
    if (kernel)
        nativeSystemInfo = reinterpret_cast<NativeSystemInfoFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")));
    if (nativeSystemInfo) nativeSystemInfo(&system);
    else GetSystemInfo(&system);
    facts->architecture = system.wProcessorArchitecture;

    if (facts->platformId == VER_PLATFORM_WIN32_NT && facts->majorVersion == 6) {
        ProductInfoFunction productInfo = nullptr;
        if (kernel)
            productInfo = reinterpret_cast<ProductInfoFunction>(
                reinterpret_cast<void*>(GetProcAddress(kernel, "GetProductInfo")));
        // Without the function the edition stays 0, which names as an unknown edition.
        DWORD edition = 0;
        if (productInfo) productInfo(6, 0, 0, 0, &edition);
        facts->editionType = edition;
    }

    facts->tabletPc = GetSystemMetrics(86);     // SM_TABLETPC
    facts->mediaCenter = GetSystemMetrics(87);  // SM_MEDIACENTER
    facts->starter = GetSystemMetrics(88);      // SM_STARTER
    facts->serverR2 = GetSystemMetrics(89);     // SM_SERVERR2

    if (facts->platformId == VER_PLATFORM_WIN32_NT &&
        (facts->majorVersion == 3 || facts->majorVersion == 4) && !facts->haveExtendedInfo)
        ReadRegistryProductType(facts->registryProductType);
}

static void Set(wchar_t* name, const wchar_t* text) {
    CopyBounded(name, kWindowsNameCapacity, text);
}

static void Add(wchar_t* name, const wchar_t* text) {
    AppendBounded(name, kWindowsNameCapacity, text);
}

static int IsOneOf(uint32_t value, const uint32_t* values, int count) {
    for (int i = 0; i < count; ++i)
        if (values[i] == value) return 1;
    return 0;
}

static void NameNt6(const WindowsVersionFacts* facts, wchar_t* name) {
    const uint32_t minor = facts->minorVersion;
    const wchar_t* serverYear = L"";
    if (facts->productType == VER_NT_WORKSTATION) {
        Set(name, minor == 0   ? L"Windows Vista "
                  : minor == 1 ? L"Windows 7 "
                               : L"Windows NT 6.x (unknown) ");
    } else {
        Set(name, L"Windows Server");
        serverYear = minor == 0 ? L" 2008" : minor == 1 ? L" 2008 R2" : L" 6.x (unknown)";
        Add(name, serverYear);
        Add(name, L" ");
    }

    const uint32_t t = facts->editionType;
    switch (t) {
    case 1: case 28:
        Add(name, L"Ultimate Edition");
        break;
    case 2: case 5:
        Add(name, L"Home Basic Edition");
        break;
    case 3: case 26:
        Add(name, L"Home Premium Edition");
        break;
    case 4: case 27:
        Add(name, L"Business Edition");
        break;
    case 7: case 13: case 36: case 40:
        Add(name, L"Standard Edition");
        break;
    case 8: case 12: case 37: case 39:
        Add(name, L"Datacenter Edition");
        break;
    case 9: case 25:
        Set(name, L"Windows Small Business Server");
        Add(name, serverYear);
        if (t == 25) Add(name, L" Premium Edition");
        break;
    case 10: case 14: case 15: case 38: case 41:
        Add(name, L"Enterprise Edition");
        if (t == 15) Add(name, L" for Itanium-based Systems");
        break;
    case 11: case 47:
        Add(name, L"Starter Edition");
        break;
    case 17: case 29:
        Set(name, L"Windows Web Server");
        Add(name, serverYear);
        break;
    case 18:
        Set(name, L"Windows HPC Server");
        Add(name, serverYear);
        break;
    case 19: case 34:
        Set(name, L"Windows Home Server");
        Add(name, serverYear);
        if (t == 34) Add(name, L" Premium Edition");
        break;
    case 20: case 21: case 22: case 23: case 43: case 44: case 45: case 46:
        Set(name, L"Windows Storage Server");
        Add(name, serverYear);
        Add(name, L" ");
        Add(name, (t == 20 || t == 43)   ? L"Express"
                  : (t == 21 || t == 44) ? L"Standard"
                  : (t == 22 || t == 45) ? L"Workgroup"
                                         : L"Enterprise");
        Add(name, L" Edition");
        break;
    case 24:
        Add(name, L"for Small Business Edition");
        break;
    case 30: case 31: case 32:
        Set(name, L"Windows Essential Business Server");
        Add(name, serverYear);
        Add(name, L" ");
        Add(name, t == 30 ? L"Management Server" : t == 31 ? L"Security Server" : L"Messaging Server");
        break;
    case 33:
        Add(name, L"Foundation");
        break;
    case 35:
        Add(name, L"for Windows Essential Server Solutions");
        break;
    case 42:
        Set(name, L"Hyper-V Server");
        Add(name, serverYear);
        break;
    case 48: case 49:
        Add(name, L"Professional Edition");
        break;
    default:
        Add(name, L"Unknown Edition");
        break;
    }

    if (t >= 35 && t <= 41) Add(name, L" without Hyper-V");
    static const uint32_t kCoreEditions[] = {12, 13, 14, 29, 39, 40, 41, 43, 44, 45, 46};
    if (IsOneOf(t, kCoreEditions, sizeof(kCoreEditions) / sizeof(kCoreEditions[0])))
        Add(name, L" (core installation)");

    if (facts->architecture == PROCESSOR_ARCHITECTURE_AMD64) Add(name, L", 64-bit");
    else if (facts->architecture == PROCESSOR_ARCHITECTURE_INTEL) Add(name, L", 32-bit");
}

static int NameNt5(const WindowsVersionFacts* facts, wchar_t* name) {
    const uint16_t suite = facts->suiteMask;
    const uint16_t architecture = facts->architecture;
    switch (facts->minorVersion) {
    case 2:
        if (facts->productType == VER_NT_WORKSTATION) {
            Set(name, L"Windows XP Professional");
            if (architecture == PROCESSOR_ARCHITECTURE_AMD64) Add(name, L" x64 Edition");
        } else {
            if (suite & 0x4000) Set(name, L"Windows Compute Cluster Server 2003");
            else if (suite & 0x8000) Set(name, L"Windows Home Server");
            else if (suite & (0x0001 | 0x0020)) Set(name, L"Windows Small Business Server 2003");
            else if (suite & 0x2000) Set(name, L"Windows Storage Server 2003");
            else Set(name, L"Windows Server 2003");
            if (facts->serverR2) Add(name, L" R2");
            Add(name, L", ");
            if (suite & 0x0080) Add(name, L"Datacenter");
            else if (suite & 0x0002) Add(name, L"Enterprise");
            else if (suite & 0x0400) Add(name, L"Web");
            else Add(name, L"Standard");
            if (architecture == PROCESSOR_ARCHITECTURE_AMD64) Add(name, L" x64");
            Add(name, L" Edition");
            if (architecture == PROCESSOR_ARCHITECTURE_IA64) Add(name, L"for Itanium-based Systems");
        }
        return 100520;
    case 1:
        Set(name, L"Windows XP ");
        if (facts->productType == VER_NT_WORKSTATION) {
            if (facts->tabletPc) Add(name, L"Tablet PC Edition");
            else if (facts->mediaCenter) Add(name, L"Media Center Edition");
            else if (facts->starter) Add(name, L"Starter Edition");
            else if (suite & 0x0200) Add(name, L"Home Edition");
            else if (suite & (0x0040 | 0x0800)) Add(name, L"Embedded");
            else Add(name, L"Professional");
        } else if (facts->productType == VER_NT_SERVER) {
            Set(name, (suite & 0x0002) ? L"Windows 2002 .NET Enterprise Server"
                                       : L"Windows 2002 .NET Server");
        }
        return 100510;
    case 0:
        Set(name, L"Windows 2000 ");
        if (facts->productType == VER_NT_WORKSTATION) {
            Add(name, L"Professional");
        } else {
            if (suite & 0x0080) Add(name, L"Datacenter ");
            else if (suite & 0x0002) Add(name, L"Advanced ");
            Add(name, L"Server");
        }
        return 100500;
    default:
        return 5;
    }
}

static int NameNt4(const WindowsVersionFacts* facts, wchar_t* name) {
    const uint32_t major = facts->majorVersion;
    const wchar_t* versionWord = major == 4 ? L"4.0" : L"3.51";
    Set(name, L"Windows NT ");
    if (facts->haveExtendedInfo) {
        if (facts->productType == VER_NT_WORKSTATION) {
            Add(name, versionWord);
            Add(name, L" Workstation");
        } else {
            Add(name, L"Server");
            const uint16_t suite = facts->suiteMask;
            if (suite & 0x0002) Add(name, L", Enterprise Edition");
            else if (suite & 0x0010) Add(name, L", Terminal Server Edition");
            else if (suite & (0x0040 | 0x0800)) Add(name, L", Embedded Edition");
            Add(name, major == 4 ? L" 4.0" : L" 3.51");
        }
    } else {
        const wchar_t* productType = facts->registryProductType;
        if (lstrcmpiW(productType, L"LANMANNT") == 0) Add(name, L" Server");
        if (lstrcmpiW(productType, L"SERVERNT") == 0) Add(name, L" Server, Enterprise Edition");
        Add(name, versionWord);
        if (lstrcmpiW(productType, L"WINNT") == 0) Add(name, L" Workstation");
    }
    return static_cast<int>((major + 1000) * 100);
}

static void AddNtTail(const WindowsVersionFacts* facts, wchar_t* name) {
    if (facts->servicePack[0]) {
        Add(name, L" ");
        Add(name, facts->servicePack);
    }
    wchar_t build[kBuildTextCapacity];
    FormatBounded(build, kBuildTextCapacity, L" (build %d)", static_cast<int>(facts->buildNumber));
    Add(name, build);
}

static int NameW9x(const WindowsVersionFacts* facts, wchar_t* name) {
    const int major = static_cast<int>(facts->majorVersion);
    const int minor = static_cast<int>(facts->minorVersion);
    const wchar_t* servicePack = facts->servicePack;
    switch (minor) {
    case 0:
        Set(name, L"Windows 95");
        if (wcschr(servicePack, L'A')) Add(name, L" OSR1");
        else if (wcschr(servicePack, L'B')) Add(name, L" OSR2");
        else if (wcschr(servicePack, L'C')) Add(name, L" OSR2.5");
        else Add(name, servicePack);
        return major * 100 + 90005;
    case 10:
        Set(name, L"Windows 98");
        if (wcschr(servicePack, L'A')) Add(name, L"Second Edition");
        else Add(name, servicePack);
        return (major + 900) * 100 + minor;
    case 90:
        Set(name, L"Windows Me");
        return major * 100 + 90090;
    default:
        Set(name, L"Windows 9x (unknown)");
        return 90450;
    }
}

int NameWindowsEdition(const WindowsVersionFacts* facts, wchar_t* name) {
    if (!facts->versionKnown) return 0;
    name[0] = 0;

    const uint32_t major = facts->majorVersion;
    if (facts->platformId == VER_PLATFORM_WIN32_WINDOWS) return NameW9x(facts, name);
    if (facts->platformId != VER_PLATFORM_WIN32_NT || major < 3) {
        Set(name, L"Unknown Windows");
        return 0;
    }

    int code;
    if (major == 6) {
        NameNt6(facts, name);
        code = 100600;
    } else if (major == 5) {
        code = NameNt5(facts, name);
    } else if (major == 4 || major == 3) {
        code = NameNt4(facts, name);
    } else {
        code = static_cast<int>(major);  // newer than this table: no base name
    }
    AddNtTail(facts, name);
    return code;
}

int GetWindowsName(wchar_t* name) {
    WindowsVersionFacts facts;
    GatherWindowsVersionFacts(&facts);
    return NameWindowsEdition(&facts, name);
}
