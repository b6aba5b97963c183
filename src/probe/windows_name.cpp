// The display name and version code of the running Windows edition.
#include "probe/windows_name.h"

#include <string.h>
#include <wchar.h>

#include "entry/bounded_text.h"
#include "probe/registry_text.h"

enum { kBuildTextCapacity = 80 };

typedef void(WINAPI* NativeSystemInfoFunction)(SYSTEM_INFO*);

static const wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

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

// The feature release ("23H2") and the update revision of the build. A 32-bit program reads the
// 64-bit view, where Windows keeps them; the 32-bit view may hold other values.
static void ReadFeatureRelease(WindowsVersionFacts* facts) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return;
    const wchar_t* const names[] = {L"DisplayVersion", L"ReleaseId"};
    for (const wchar_t* name : names) {
        ReadRegistryText(key, name, facts->featureRelease, kFeatureReleaseCapacity, kPlainTextOnly);
        if (facts->featureRelease[0]) break;
    }
    facts->haveUpdateRevision = ReadRegistryNumber(key, L"UBR", &facts->updateRevision);
    RegCloseKey(key);
}

static int IsNtFrom(const WindowsVersionFacts* facts, uint32_t major, uint32_t minor) {
    return facts->platformId == VER_PLATFORM_WIN32_NT &&
           (facts->majorVersion > major || (facts->majorVersion == major && facts->minorVersion >= minor));
}

// RtlGetVersion first: GetVersionExW tells a program without a compatibility manifest 6.2 build
// 9200 from Windows 8.1 on.
static int ReadVersionRecord(const WindowsVersionQueries* queries, OSVERSIONINFOEXW* version) {
    if (queries->rtlGetVersion) {
        memset(version, 0, sizeof(*version));
        version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
        if (queries->rtlGetVersion(version) >= 0) return 1;  // a success status
    }
    memset(version, 0, sizeof(*version));
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(version))) return 1;
    memset(version, 0, sizeof(*version));
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(version))) return 0;
    return -1;
}

void FindWindowsVersionQueries(WindowsVersionQueries* queries) {
    memset(queries, 0, sizeof(*queries));
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll)
        queries->rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
            reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel)
        queries->productInfo = reinterpret_cast<ProductInfoFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "GetProductInfo")));
}

void GatherWindowsVersionFactsWith(const WindowsVersionQueries* queries, WindowsVersionFacts* facts) {
    memset(facts, 0, sizeof(*facts));

    OSVERSIONINFOEXW version;
    const int extended = ReadVersionRecord(queries, &version);
    if (extended < 0) return;
    facts->versionKnown = 1;
    facts->haveExtendedInfo = extended;
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

    // Without the function the edition stays 0, which names as an unknown edition.
    if (IsNtFrom(facts, 6, 0) && queries->productInfo) {
        DWORD edition = 0;
        queries->productInfo(facts->majorVersion, facts->minorVersion, 0, 0, &edition);
        facts->editionType = edition;
    }

    facts->tabletPc = GetSystemMetrics(SM_TABLETPC);
    facts->mediaCenter = GetSystemMetrics(SM_MEDIACENTER);
    facts->starter = GetSystemMetrics(SM_STARTER);
    facts->serverR2 = GetSystemMetrics(SM_SERVERR2);

    if (facts->platformId == VER_PLATFORM_WIN32_NT &&
        (facts->majorVersion == 3 || facts->majorVersion == 4) && !facts->haveExtendedInfo)
        ReadRegistryProductType(facts->registryProductType);
    if (IsNtFrom(facts, 6, 2)) ReadFeatureRelease(facts);
}

void GatherWindowsVersionFacts(WindowsVersionFacts* facts) {
    WindowsVersionQueries queries;
    FindWindowsVersionQueries(&queries);
    GatherWindowsVersionFactsWith(&queries, facts);
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

// Types of today's editions that the MinGW headers do not name.
#ifndef PRODUCT_PRO_WORKSTATION
#define PRODUCT_PRO_WORKSTATION 0xA1
#endif
#ifndef PRODUCT_PRO_WORKSTATION_N
#define PRODUCT_PRO_WORKSTATION_N 0xA2
#endif
#ifndef PRODUCT_PRO_FOR_EDUCATION
#define PRODUCT_PRO_FOR_EDUCATION 0xA4
#endif
#ifndef PRODUCT_PRO_FOR_EDUCATION_N
#define PRODUCT_PRO_FOR_EDUCATION_N 0xA5
#endif
#ifndef PRODUCT_SERVERRDSH
#define PRODUCT_SERVERRDSH 0xAF
#endif
#ifndef PRODUCT_IOTENTERPRISE
#define PRODUCT_IOTENTERPRISE 0xBC
#endif
#ifndef PRODUCT_IOTENTERPRISES
#define PRODUCT_IOTENTERPRISES 0xBF
#endif

static const wchar_t kSmallBusiness[] = L"Windows Small Business Server";
static const wchar_t kWebServer[] = L"Windows Web Server";
static const wchar_t kHomeServer[] = L"Windows Home Server";
static const wchar_t kStorageServer[] = L"Windows Storage Server";
static const wchar_t kEssentialBusiness[] = L"Windows Essential Business Server";

// Vista and 7, and the types that today's table below does not name. A type missing here
// (0, above 49) names as an unknown edition.
static const EditionRow kEditionRows[] = {
    {PRODUCT_ULTIMATE, nullptr, L"Ultimate Edition", 0},
    {PRODUCT_HOME_BASIC, nullptr, L"Home Basic Edition", 0},
    {PRODUCT_HOME_PREMIUM, nullptr, L"Home Premium Edition", 0},
    {PRODUCT_ENTERPRISE, nullptr, L"Enterprise Edition", 0},
    {PRODUCT_HOME_BASIC_N, nullptr, L"Home Basic Edition", 0},
    {PRODUCT_BUSINESS, nullptr, L"Business Edition", 0},
    {PRODUCT_STANDARD_SERVER, nullptr, L"Standard Edition", 0},
    {PRODUCT_DATACENTER_SERVER, nullptr, L"Datacenter Edition", 0},
    {PRODUCT_SMALLBUSINESS_SERVER, kSmallBusiness, L"", 0},
    {PRODUCT_ENTERPRISE_SERVER, nullptr, L"Enterprise Edition", 0},
    {PRODUCT_STARTER, nullptr, L"Starter Edition", 0},
    {PRODUCT_DATACENTER_SERVER_CORE, nullptr, L"Datacenter Edition", kCoreInstallation},
    {PRODUCT_STANDARD_SERVER_CORE, nullptr, L"Standard Edition", kCoreInstallation},
    {PRODUCT_ENTERPRISE_SERVER_CORE, nullptr, L"Enterprise Edition", kCoreInstallation},
    {PRODUCT_ENTERPRISE_SERVER_IA64, nullptr, L"Enterprise Edition for Itanium-based Systems", 0},
    {PRODUCT_BUSINESS_N, nullptr, L"Business Edition", 0},
    {PRODUCT_WEB_SERVER, kWebServer, L"", 0},
    {PRODUCT_CLUSTER_SERVER, L"Windows HPC Server", L"", 0},
    {PRODUCT_HOME_SERVER, kHomeServer, L"", 0},
    {PRODUCT_STORAGE_EXPRESS_SERVER, kStorageServer, L" Express Edition", 0},
    {PRODUCT_STORAGE_STANDARD_SERVER, kStorageServer, L" Standard Edition", 0},
    {PRODUCT_STORAGE_WORKGROUP_SERVER, kStorageServer, L" Workgroup Edition", 0},
    {PRODUCT_STORAGE_ENTERPRISE_SERVER, kStorageServer, L" Enterprise Edition", 0},
    {PRODUCT_SERVER_FOR_SMALLBUSINESS, nullptr, L"for Small Business Edition", 0},
    {PRODUCT_SMALLBUSINESS_SERVER_PREMIUM, kSmallBusiness, L" Premium Edition", 0},
    {PRODUCT_HOME_PREMIUM_N, nullptr, L"Home Premium Edition", 0},
    {PRODUCT_ENTERPRISE_N, nullptr, L"Enterprise Edition", 0},
    {PRODUCT_ULTIMATE_N, nullptr, L"Ultimate Edition", 0},
    {PRODUCT_WEB_SERVER_CORE, kWebServer, L"", kCoreInstallation},
    {PRODUCT_MEDIUMBUSINESS_SERVER_MANAGEMENT, kEssentialBusiness, L" Management Server", 0},
    {PRODUCT_MEDIUMBUSINESS_SERVER_SECURITY, kEssentialBusiness, L" Security Server", 0},
    {PRODUCT_MEDIUMBUSINESS_SERVER_MESSAGING, kEssentialBusiness, L" Messaging Server", 0},
    {PRODUCT_SERVER_FOUNDATION, nullptr, L"Foundation", 0},
    {PRODUCT_HOME_PREMIUM_SERVER, kHomeServer, L" Premium Edition", 0},
    {PRODUCT_SERVER_FOR_SMALLBUSINESS_V, nullptr, L"for Windows Essential Server Solutions", kWithoutHyperV},
    {PRODUCT_STANDARD_SERVER_V, nullptr, L"Standard Edition", kWithoutHyperV},
    {PRODUCT_DATACENTER_SERVER_V, nullptr, L"Datacenter Edition", kWithoutHyperV},
    {PRODUCT_ENTERPRISE_SERVER_V, nullptr, L"Enterprise Edition", kWithoutHyperV},
    {PRODUCT_DATACENTER_SERVER_CORE_V, nullptr, L"Datacenter Edition", kWithoutHyperV | kCoreInstallation},
    {PRODUCT_STANDARD_SERVER_CORE_V, nullptr, L"Standard Edition", kWithoutHyperV | kCoreInstallation},
    {PRODUCT_ENTERPRISE_SERVER_CORE_V, nullptr, L"Enterprise Edition", kWithoutHyperV | kCoreInstallation},
    {PRODUCT_HYPERV, L"Hyper-V Server", L"", 0},
    {PRODUCT_STORAGE_EXPRESS_SERVER_CORE, kStorageServer, L" Express Edition", kCoreInstallation},
    {PRODUCT_STORAGE_STANDARD_SERVER_CORE, kStorageServer, L" Standard Edition", kCoreInstallation},
    {PRODUCT_STORAGE_WORKGROUP_SERVER_CORE, kStorageServer, L" Workgroup Edition", kCoreInstallation},
    {PRODUCT_STORAGE_ENTERPRISE_SERVER_CORE, kStorageServer, L" Enterprise Edition", kCoreInstallation},
    {PRODUCT_STARTER_N, nullptr, L"Starter Edition", 0},
    {PRODUCT_PROFESSIONAL, nullptr, L"Professional Edition", 0},
    {PRODUCT_PROFESSIONAL_N, nullptr, L"Professional Edition", 0},
};

// From NT 6.2 on, looked up before the table above: the editions in the words Windows uses.
static const EditionRow kTodaysEditionRows[] = {
    {PRODUCT_CORE, nullptr, L"Home", 0},
    {PRODUCT_CORE_N, nullptr, L"Home N", 0},
    {PRODUCT_CORE_COUNTRYSPECIFIC, nullptr, L"Home China", 0},
    {PRODUCT_CORE_SINGLELANGUAGE, nullptr, L"Home Single Language", 0},
    {PRODUCT_PROFESSIONAL, nullptr, L"Pro", 0},
    {PRODUCT_PROFESSIONAL_N, nullptr, L"Pro N", 0},
    {PRODUCT_PRO_WORKSTATION, nullptr, L"Pro for Workstations", 0},
    {PRODUCT_PRO_WORKSTATION_N, nullptr, L"Pro N for Workstations", 0},
    {PRODUCT_PRO_FOR_EDUCATION, nullptr, L"Pro Education", 0},
    {PRODUCT_PRO_FOR_EDUCATION_N, nullptr, L"Pro Education N", 0},
    {PRODUCT_EDUCATION, nullptr, L"Education", 0},
    {PRODUCT_EDUCATION_N, nullptr, L"Education N", 0},
    {PRODUCT_ENTERPRISE, nullptr, L"Enterprise", 0},
    {PRODUCT_ENTERPRISE_N, nullptr, L"Enterprise N", 0},
    {PRODUCT_ENTERPRISE_E, nullptr, L"Enterprise E", 0},
    {PRODUCT_ENTERPRISE_EVALUATION, nullptr, L"Enterprise Evaluation", 0},
    {PRODUCT_ENTERPRISE_N_EVALUATION, nullptr, L"Enterprise N Evaluation", 0},
    {PRODUCT_ENTERPRISE_S, nullptr, L"Enterprise LTSC", 0},
    {PRODUCT_ENTERPRISE_S_N, nullptr, L"Enterprise N LTSC", 0},
    {PRODUCT_SERVERRDSH, nullptr, L"Enterprise multi-session", 0},
    {PRODUCT_IOTENTERPRISE, nullptr, L"IoT Enterprise", 0},
    {PRODUCT_IOTENTERPRISES, nullptr, L"IoT Enterprise LTSC", 0},
    {PRODUCT_STANDARD_SERVER, nullptr, L"Standard", 0},
    {PRODUCT_STANDARD_SERVER_CORE, nullptr, L"Standard", kCoreInstallation},
    {PRODUCT_DATACENTER_SERVER, nullptr, L"Datacenter", 0},
    {PRODUCT_DATACENTER_SERVER_CORE, nullptr, L"Datacenter", kCoreInstallation},
    {PRODUCT_STANDARD_EVALUATION_SERVER, nullptr, L"Standard Evaluation", 0},
    {PRODUCT_DATACENTER_EVALUATION_SERVER, nullptr, L"Datacenter Evaluation", 0},
};

template <size_t count>
static const EditionRow* FindEditionRow(const EditionRow (&rows)[count], uint32_t type) {
    for (const EditionRow& row : rows)
        if (row.type == type) return &row;
    return nullptr;
}

// The version names of NT 6.2 and later: a workstation's base name and a server's year.
struct VersionNames {
    const wchar_t* workstation;  // with its trailing blank
    const wchar_t* serverYear;   // with its leading blank
};

static VersionNames NamesOfTodaysVersion(uint32_t major, uint32_t minor, uint32_t build) {
    if (major == 6 && minor == 2) return {L"Windows 8 ", L" 2012"};
    if (major == 6 && minor == 3) return {L"Windows 8.1 ", L" 2012 R2"};
    if (major == 10 && minor == 0) {
        const wchar_t* year = build < 17763   ? L" 2016"
                              : build < 20348 ? L" 2019"
                              : build < 26100 ? L" 2022"
                                              : L" 2025";
        return {build < 22000 ? L"Windows 10 " : L"Windows 11 ", year};
    }
    return {nullptr, nullptr};  // a version without a name of its own
}

// The base name, edition, architecture; the server year and the unknown versions' numbers go
// through the working texts.
static void NameNt6AndLater(const WindowsVersionFacts* facts, wchar_t* name) {
    const uint32_t major = facts->majorVersion;
    const uint32_t minor = facts->minorVersion;
    const int today = major > 6 || minor >= 2;

    VersionNames names = {nullptr, nullptr};
    wchar_t unknownWorkstation[kWindowsNameCapacity];
    wchar_t unknownYear[kWindowsNameCapacity];
    if (!today) {
        names.workstation = minor == 0 ? L"Windows Vista " : L"Windows 7 ";
        names.serverYear = minor == 0 ? L" 2008" : L" 2008 R2";
    } else {
        names = NamesOfTodaysVersion(major, minor, facts->buildNumber);
    }
    if (!names.workstation) {
        FormatBounded(unknownWorkstation, kWindowsNameCapacity, L"Windows NT %u.%u (unknown) ", major, minor);
        FormatBounded(unknownYear, kWindowsNameCapacity, L" %u.%u (unknown)", major, minor);
        names.workstation = unknownWorkstation;
        names.serverYear = unknownYear;
    }

    const wchar_t* serverYear = L"";
    if (facts->productType == VER_NT_WORKSTATION) {
        Set(name, names.workstation);
    } else {
        Set(name, L"Windows Server");
        serverYear = names.serverYear;
        Add(name, serverYear);
        Add(name, L" ");
    }

    const EditionRow* row = today ? FindEditionRow(kTodaysEditionRows, facts->editionType) : nullptr;
    if (!row) row = FindEditionRow(kEditionRows, facts->editionType);
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

// The service pack, and from NT 6.2 on the feature release and the build's update revision.
static void AddNtTail(const WindowsVersionFacts* facts, wchar_t* name) {
    if (facts->servicePack[0]) {
        Add(name, L" ");
        Add(name, facts->servicePack);
    }
    const int today = IsNtFrom(facts, 6, 2);
    if (today && facts->featureRelease[0]) {
        Add(name, L", version ");
        Add(name, facts->featureRelease);
    }
    wchar_t build[kBuildTextCapacity];
    if (today && facts->haveUpdateRevision)
        FormatBounded(build, kBuildTextCapacity, L" (build %d.%u)", static_cast<int>(facts->buildNumber),
                      facts->updateRevision);
    else
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
    if (major >= 6) {
        NameNt6AndLater(facts, name);
        code = major == 6 ? 100600 : static_cast<int>(major);
    } else if (major == 5) {
        code = NameNt5(facts, name);
    } else {
        code = NameNt4(facts, name);
    }
    AddNtTail(facts, name);
    return code;
}

int GetWindowsName(wchar_t* name) {
    WindowsVersionFacts facts;
    GatherWindowsVersionFacts(&facts);
    return NameWindowsEdition(&facts, name);
}
