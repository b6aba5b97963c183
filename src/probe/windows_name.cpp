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

    facts->tabletPc = GetSystemMetrics(SM_TABLETPC);
    facts->mediaCenter = GetSystemMetrics(SM_MEDIACENTER);
    facts->starter = GetSystemMetrics(SM_STARTER);
    facts->serverR2 = GetSystemMetrics(SM_SERVERR2);

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

// One row of the NT 6 edition decision: a GetProductInfo type and what it adds to the name.
struct EditionRow {
    uint32_t type;
    const wchar_t* family;   // replaces the version name and takes the server year; null keeps it
    const wchar_t* edition;  // added after the version name, or after the family and its year
    int marks;               // kWithoutHyperV, kCoreInstallation
};

enum { kWithoutHyperV = 1, kCoreInstallation = 2 };

static const wchar_t kSmallBusiness[] = L"Windows Small Business Server";
static const wchar_t kWebServer[] = L"Windows Web Server";
static const wchar_t kHomeServer[] = L"Windows Home Server";
static const wchar_t kStorageServer[] = L"Windows Storage Server";
static const wchar_t kEssentialBusiness[] = L"Windows Essential Business Server";

// A type missing here (0, 6, 16, above 49) names as an unknown edition.
static const EditionRow kEditionRows[] = {
    {1, nullptr, L"Ultimate Edition", 0},
    {2, nullptr, L"Home Basic Edition", 0},
    {3, nullptr, L"Home Premium Edition", 0},
    {4, nullptr, L"Business Edition", 0},
    {5, nullptr, L"Home Basic Edition", 0},
    {7, nullptr, L"Standard Edition", 0},
    {8, nullptr, L"Datacenter Edition", 0},
    {9, kSmallBusiness, L"", 0},
    {10, nullptr, L"Enterprise Edition", 0},
    {11, nullptr, L"Starter Edition", 0},
    {12, nullptr, L"Datacenter Edition", kCoreInstallation},
    {13, nullptr, L"Standard Edition", kCoreInstallation},
    {14, nullptr, L"Enterprise Edition", kCoreInstallation},
    {15, nullptr, L"Enterprise Edition for Itanium-based Systems", 0},
    {17, kWebServer, L"", 0},
    {18, L"Windows HPC Server", L"", 0},
    {19, kHomeServer, L"", 0},
    {20, kStorageServer, L" Express Edition", 0},
    {21, kStorageServer, L" Standard Edition", 0},
    {22, kStorageServer, L" Workgroup Edition", 0},
    {23, kStorageServer, L" Enterprise Edition", 0},
    {24, nullptr, L"for Small Business Edition", 0},
    {25, kSmallBusiness, L" Premium Edition", 0},
    {26, nullptr, L"Home Premium Edition", 0},
    {27, nullptr, L"Business Edition", 0},
    {28, nullptr, L"Ultimate Edition", 0},
    {29, kWebServer, L"", kCoreInstallation},
    {30, kEssentialBusiness, L" Management Server", 0},
    {31, kEssentialBusiness, L" Security Server", 0},
    {32, kEssentialBusiness, L" Messaging Server", 0},
    {33, nullptr, L"Foundation", 0},
    {34, kHomeServer, L" Premium Edition", 0},
    {35, nullptr, L"for Windows Essential Server Solutions", kWithoutHyperV},
    {36, nullptr, L"Standard Edition", kWithoutHyperV},
    {37, nullptr, L"Datacenter Edition", kWithoutHyperV},
    {38, nullptr, L"Enterprise Edition", kWithoutHyperV},
    {39, nullptr, L"Datacenter Edition", kWithoutHyperV | kCoreInstallation},
    {40, nullptr, L"Standard Edition", kWithoutHyperV | kCoreInstallation},
    {41, nullptr, L"Enterprise Edition", kWithoutHyperV | kCoreInstallation},
    {42, L"Hyper-V Server", L"", 0},
    {43, kStorageServer, L" Express Edition", kCoreInstallation},
    {44, kStorageServer, L" Standard Edition", kCoreInstallation},
    {45, kStorageServer, L" Workgroup Edition", kCoreInstallation},
    {46, kStorageServer, L" Enterprise Edition", kCoreInstallation},
    {47, nullptr, L"Starter Edition", 0},
    {48, nullptr, L"Professional Edition", 0},
    {49, nullptr, L"Professional Edition", 0},
};

static const EditionRow* FindEditionRow(uint32_t type) {
    for (const EditionRow& row : kEditionRows)
        if (row.type == type) return &row;
    return nullptr;
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

    const EditionRow* row = FindEditionRow(facts->editionType);
    if (!row) {
        Add(name, L"Unknown Edition");
    } else {
        if (row->family) {
            Set(name, row->family);
            Add(name, serverYear);
        }
        Add(name, row->edition);
        if (row->marks & kWithoutHyperV) Add(name, L" without Hyper-V");
        if (row->marks & kCoreInstallation) Add(name, L" (core installation)");
    }

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
            if (suite & VER_SUITE_COMPUTE_SERVER) Set(name, L"Windows Compute Cluster Server 2003");
            else if (suite & VER_SUITE_WH_SERVER) Set(name, L"Windows Home Server");
            else if (suite & (VER_SUITE_SMALLBUSINESS | VER_SUITE_SMALLBUSINESS_RESTRICTED))
                Set(name, L"Windows Small Business Server 2003");
            else if (suite & VER_SUITE_STORAGE_SERVER) Set(name, L"Windows Storage Server 2003");
            else Set(name, L"Windows Server 2003");
            if (facts->serverR2) Add(name, L" R2");
            Add(name, L", ");
            if (suite & VER_SUITE_DATACENTER) Add(name, L"Datacenter");
            else if (suite & VER_SUITE_ENTERPRISE) Add(name, L"Enterprise");
            else if (suite & VER_SUITE_BLADE) Add(name, L"Web");
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
            else if (suite & VER_SUITE_PERSONAL) Add(name, L"Home Edition");
            else if (suite & (VER_SUITE_EMBEDDEDNT | VER_SUITE_EMBEDDED_RESTRICTED)) Add(name, L"Embedded");
            else Add(name, L"Professional");
        } else if (facts->productType == VER_NT_SERVER) {
            Set(name, (suite & VER_SUITE_ENTERPRISE) ? L"Windows 2002 .NET Enterprise Server"
                                       : L"Windows 2002 .NET Server");
        }
        return 100510;
    case 0:
        Set(name, L"Windows 2000 ");
        if (facts->productType == VER_NT_WORKSTATION) {
            Add(name, L"Professional");
        } else {
            if (suite & VER_SUITE_DATACENTER) Add(name, L"Datacenter ");
            else if (suite & VER_SUITE_ENTERPRISE) Add(name, L"Advanced ");
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
            if (suite & VER_SUITE_ENTERPRISE) Add(name, L", Enterprise Edition");
            else if (suite & VER_SUITE_TERMINAL) Add(name, L", Terminal Server Edition");
            else if (suite & (VER_SUITE_EMBEDDEDNT | VER_SUITE_EMBEDDED_RESTRICTED)) Add(name, L", Embedded Edition");
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
