// Naming of the Windows edition: the decision over given facts, and the real thing under Wine.
#include <gtest/gtest.h>

#include <string.h>

#include "probe/windows_name.h"
#include "shared/test_support.h"

namespace {

WindowsVersionFacts Nt(uint32_t major, uint32_t minor, uint8_t productType,
                       uint16_t architecture = 0, uint32_t build = 1000,
                       const wchar_t* servicePack = L"") {
    WindowsVersionFacts facts;
    memset(&facts, 0, sizeof(facts));
    facts.versionKnown = 1;
    facts.haveExtendedInfo = 1;
    facts.platformId = 2;
    facts.majorVersion = major;
    facts.minorVersion = minor;
    facts.productType = productType;
    facts.architecture = architecture;
    facts.buildNumber = build;
    lstrcpynW(facts.servicePack, servicePack, 128);
    return facts;
}

std::wstring Name(const WindowsVersionFacts& facts, int* code = nullptr) {
    wchar_t name[kWindowsNameCapacity];
    wmemset(name, L'#', kWindowsNameCapacity - 1);
    name[kWindowsNameCapacity - 1] = 0;
    int result = NameWindowsEdition(&facts, name);
    if (code) *code = result;
    return name;
}

int Code(const WindowsVersionFacts& facts) {
    int code = -1;
    Name(facts, &code);
    return code;
}

// One row of the naming families: the facts that differ from a plain NT record with extended
// information, and the name and code they give.
enum { kR2 = 1, kTablet = 2, kMediaCenter = 4, kStarter = 8, kRegistryOnly = 16, k95Family = 32 };
struct NameCase {
    uint32_t major, minor;
    uint8_t productType;
    uint16_t suite, architecture;
    uint32_t edition;
    int marks;
    uint32_t build;
    const wchar_t* servicePack;
    const wchar_t* registryType;  // with kRegistryOnly
    const wchar_t* name;
    int code;
};

const NameCase kNameCases[] = {
    // The examples, word for word.
    {6, 1, 1, 0, 9, 1, 0, 7601, L"Service Pack 1", L"", L"Windows 7 Ultimate Edition, 64-bit Service Pack 1 (build 7601)", 100600},
    {6, 0, 3, 0, 0, 13, 0, 6001, L"", L"", L"Windows Server 2008 Standard Edition (core installation), 32-bit (build 6001)", 100600},
    {6, 1, 3, 0, 9, 42, 0, 7600, L"", L"", L"Hyper-V Server 2008 R2, 64-bit (build 7600)", 100600},
    {6, 2, 3, 0, 9, 7, 0, 9200, L"", L"", L"Windows Server 6.x (unknown) Standard Edition, 64-bit (build 9200)", 100600},
    {5, 2, 1, 0, 9, 0, 0, 3790, L"Service Pack 2", L"", L"Windows XP Professional x64 Edition Service Pack 2 (build 3790)", 100520},
    {5, 2, 3, 0x0002, 0, 0, kR2, 3790, L"", L"", L"Windows Server 2003 R2, Enterprise Edition (build 3790)", 100520},
    {5, 0, 3, 0x0080, 0, 0, 0, 2195, L"", L"", L"Windows 2000 Datacenter Server (build 2195)", 100500},
    {4, 10, 0, 0, 0, 0, k95Family, 0, L" A ", L"", L"Windows 98Second Edition", 90410},
    {10, 0, 1, 0, 9, 0, 0, 19045, L"Service Pack 1", L"", L" Service Pack 1 (build 19045)", 10},
    {2, 0, 1, 0, 0, 0, 0, 807, L"Service Pack 9", L"", L"Unknown Windows", 0},
    // NT 6: base names, server years and architectures. Rows that start over drop the
    // workstation's base name as well.
    {6, 0, 1, 0, 0, 3, 0, 1, L"", L"", L"Windows Vista Home Premium Edition, 32-bit (build 1)", 100600},
    {6, 1, 1, 0, 9, 48, 0, 1, L"", L"", L"Windows 7 Professional Edition, 64-bit (build 1)", 100600},
    {6, 3, 1, 0, 9, 1, 0, 1, L"", L"", L"Windows NT 6.x (unknown) Ultimate Edition, 64-bit (build 1)", 100600},
    {6, 0, 3, 0, 0, 18, 0, 1, L"", L"", L"Windows HPC Server 2008, 32-bit (build 1)", 100600},
    {6, 0, 2, 0, 9, 8, 0, 1, L"", L"", L"Windows Server 2008 Datacenter Edition, 64-bit (build 1)", 100600},
    {6, 2, 3, 0, 9, 42, 0, 1, L"", L"", L"Hyper-V Server 6.x (unknown), 64-bit (build 1)", 100600},
    {6, 0, 3, 0, 6, 15, 0, 1, L"", L"", L"Windows Server 2008 Enterprise Edition for Itanium-based Systems (build 1)", 100600},
    {6, 1, 0, 0, 5, 0, 0, 1, L"", L"", L"Windows Server 2008 R2 Unknown Edition (build 1)", 100600},
    {6, 1, 1, 0, 9, 9, 0, 1, L"", L"", L"Windows Small Business Server, 64-bit (build 1)", 100600},
    // NT 5.2: the suites, R2 and the architectures.
    {5, 2, 1, 0, 0, 0, 0, 3790, L"", L"", L"Windows XP Professional (build 3790)", 100520},
    {5, 2, 1, 0x0080, 9, 0, kR2, 3790, L"", L"", L"Windows XP Professional x64 Edition (build 3790)", 100520},
    {5, 2, 3, 0, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, 3, 0x4000 | 0x8000 | 0x0001, 0, 0, 0, 3790, L"", L"", L"Windows Compute Cluster Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, 3, 0x8000 | 0x0001, 0, 0, 0, 3790, L"", L"", L"Windows Home Server, Standard Edition (build 3790)", 100520},
    {5, 2, 3, 0x0001 | 0x2000, 0, 0, 0, 3790, L"", L"", L"Windows Small Business Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, 3, 0x0020, 0, 0, 0, 3790, L"", L"", L"Windows Small Business Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, 3, 0x2000, 0, 0, 0, 3790, L"", L"", L"Windows Storage Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, 3, 0x0080 | 0x0002 | 0x0400, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Datacenter Edition (build 3790)", 100520},
    {5, 2, 3, 0x0002 | 0x0400, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Enterprise Edition (build 3790)", 100520},
    {5, 2, 3, 0x0400, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Web Edition (build 3790)", 100520},
    {5, 2, 2, 0, 9, 0, kR2, 3790, L"", L"", L"Windows Server 2003 R2, Standard x64 Edition (build 3790)", 100520},
    {5, 2, 3, 0x0002, 6, 0, 0, 3790, L"", L"", L"Windows Server 2003, Enterprise Editionfor Itanium-based Systems (build 3790)", 100520},
    {5, 2, 0, 0, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Standard Edition (build 3790)", 100520},
    // NT 5.1 and 5.0: the metrics first, then the suites.
    {5, 1, 1, 0x0200, 0, 0, kTablet | kMediaCenter | kStarter, 2600, L"Service Pack 3", L"", L"Windows XP Tablet PC Edition Service Pack 3 (build 2600)", 100510},
    {5, 1, 1, 0x0200, 0, 0, kMediaCenter | kStarter, 2600, L"Service Pack 3", L"", L"Windows XP Media Center Edition Service Pack 3 (build 2600)", 100510},
    {5, 1, 1, 0x0200, 0, 0, kStarter, 2600, L"Service Pack 3", L"", L"Windows XP Starter Edition Service Pack 3 (build 2600)", 100510},
    {5, 1, 1, 0x0200 | 0x0040, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows XP Home Edition Service Pack 3 (build 2600)", 100510},
    {5, 1, 1, 0x0040, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows XP Embedded Service Pack 3 (build 2600)", 100510},
    {5, 1, 1, 0x0800, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows XP Embedded Service Pack 3 (build 2600)", 100510},
    {5, 1, 1, 0, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows XP Professional Service Pack 3 (build 2600)", 100510},
    {5, 1, 3, 0x0002, 0, 0, kTablet, 2600, L"Service Pack 3", L"", L"Windows 2002 .NET Enterprise Server Service Pack 3 (build 2600)", 100510},
    {5, 1, 3, 0, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2002 .NET Server Service Pack 3 (build 2600)", 100510},
    {5, 1, 2, 0x0002, 0, 0, kTablet, 2600, L"Service Pack 3", L"", L"Windows XP  Service Pack 3 (build 2600)", 100510},
    {5, 0, 1, 0x0080, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2000 Professional Service Pack 3 (build 2600)", 100500},
    {5, 0, 3, 0x0080 | 0x0002, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2000 Datacenter Server Service Pack 3 (build 2600)", 100500},
    {5, 0, 2, 0x0002, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2000 Advanced Server Service Pack 3 (build 2600)", 100500},
    {5, 0, 3, 0, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2000 Server Service Pack 3 (build 2600)", 100500},
    {5, 3, 1, 0, 0, 0, 0, 2600, L"Service Pack 3", L"", L" Service Pack 3 (build 2600)", 5},
    // NT 4.0 and 3.51 with extended information.
    {4, 0, 1, 0x0002, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT 4.0 Workstation Service Pack 6 (build 1381)", 100400},
    {3, 0, 1, 0, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT 3.51 Workstation Service Pack 6 (build 1381)", 100300},
    {4, 0, 3, 0, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server 4.0 Service Pack 6 (build 1381)", 100400},
    {4, 0, 2, 0x0002 | 0x0010, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server, Enterprise Edition 4.0 Service Pack 6 (build 1381)", 100400},
    {4, 0, 3, 0x0010 | 0x0040, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server, Terminal Server Edition 4.0 Service Pack 6 (build 1381)", 100400},
    {4, 0, 3, 0x0040, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server, Embedded Edition 4.0 Service Pack 6 (build 1381)", 100400},
    {3, 0, 3, 0x0800, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server, Embedded Edition 3.51 Service Pack 6 (build 1381)", 100300},
    // NT 4.0 and 3.51 without it: the registry's product type, compared without case.
    {4, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"WINNT", L"Windows NT 4.0 Workstation (build 1057)", 100400},
    {4, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"winnt", L"Windows NT 4.0 Workstation (build 1057)", 100400},
    {4, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"LANMANNT", L"Windows NT  Server4.0 (build 1057)", 100400},
    {4, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"LanmanNt", L"Windows NT  Server4.0 (build 1057)", 100400},
    {4, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"SERVERNT", L"Windows NT  Server, Enterprise Edition4.0 (build 1057)", 100400},
    {3, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"ServerNT", L"Windows NT  Server, Enterprise Edition3.51 (build 1057)", 100300},
    {3, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"WinNT", L"Windows NT 3.51 Workstation (build 1057)", 100300},
    {4, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"", L"Windows NT 4.0 (build 1057)", 100400},
    {4, 51, 0, 0, 0, 0, kRegistryOnly, 1057, L"", L"WINNTX", L"Windows NT 4.0 (build 1057)", 100400},
    // The 95 family: the service pack letters, and codes that follow the major number.
    {4, 0, 0, 0, 0, 0, k95Family, 0, L"", L"", L"Windows 95", 90405},
    {4, 0, 0, 0, 0, 0, k95Family, 0, L" A ", L"", L"Windows 95 OSR1", 90405},
    {4, 0, 0, 0, 0, 0, k95Family, 0, L" B ", L"", L"Windows 95 OSR2", 90405},
    {4, 0, 0, 0, 0, 0, k95Family, 0, L" C ", L"", L"Windows 95 OSR2.5", 90405},
    {4, 0, 0, 0, 0, 0, k95Family, 0, L"CBA", L"", L"Windows 95 OSR1", 90405},
    {4, 0, 0, 0, 0, 0, k95Family, 0, L" a ", L"", L"Windows 95 a ", 90405},
    {4, 10, 0, 0, 0, 0, k95Family, 0, L"", L"", L"Windows 98", 90410},
    {4, 10, 0, 0, 0, 0, k95Family, 0, L" Z", L"", L"Windows 98 Z", 90410},
    {4, 90, 0, 0, 0, 0, k95Family, 0, L" A ", L"", L"Windows Me", 90490},
    {4, 5, 0, 0, 0, 0, k95Family, 0, L" A ", L"", L"Windows 9x (unknown)", 90450},
    {5, 10, 0, 0, 0, 0, k95Family, 0, L"", L"", L"Windows 98", 90510},
};

TEST(WindowsName, Families) {
    for (const NameCase& c : kNameCases) {
        WindowsVersionFacts facts = Nt(c.major, c.minor, c.productType, c.architecture, c.build, c.servicePack);
        facts.suiteMask = c.suite;
        facts.editionType = c.edition;
        facts.serverR2 = c.marks & kR2;
        facts.tabletPc = c.marks & kTablet;
        facts.mediaCenter = c.marks & kMediaCenter;
        facts.starter = c.marks & kStarter;
        facts.haveExtendedInfo = !(c.marks & (kRegistryOnly | k95Family));
        if (c.marks & k95Family) facts.platformId = 1;
        lstrcpynW(facts.registryProductType, c.registryType, 9);
        int code = 0;
        EXPECT_EQ(c.name, Name(facts, &code)) << c.major << "." << c.minor << " " << c.servicePack << c.registryType;
        EXPECT_EQ(c.code, code) << c.name;
    }
}

TEST(WindowsName, EveryNt6EditionType) {
    // Server 2008 R2 on x64, so the rows that start over show the year text.
    const std::wstring p = L"Windows Server 2008 R2 ";
    const std::wstring storage = L"Windows Storage Server 2008 R2 ";
    const std::wstring essential = L"Windows Essential Business Server 2008 R2 ";
    const std::wstring rows[] = {
        /*  0 */ p + L"Unknown Edition",
        /*  1 */ p + L"Ultimate Edition",
        /*  2 */ p + L"Home Basic Edition",
        /*  3 */ p + L"Home Premium Edition",
        /*  4 */ p + L"Business Edition",
        /*  5 */ p + L"Home Basic Edition",
        /*  6 */ p + L"Unknown Edition",
        /*  7 */ p + L"Standard Edition",
        /*  8 */ p + L"Datacenter Edition",
        /*  9 */ L"Windows Small Business Server 2008 R2",
        /* 10 */ p + L"Enterprise Edition",
        /* 11 */ p + L"Starter Edition",
        /* 12 */ p + L"Datacenter Edition (core installation)",
        /* 13 */ p + L"Standard Edition (core installation)",
        /* 14 */ p + L"Enterprise Edition (core installation)",
        /* 15 */ p + L"Enterprise Edition for Itanium-based Systems",
        /* 16 */ p + L"Unknown Edition",
        /* 17 */ L"Windows Web Server 2008 R2",
        /* 18 */ L"Windows HPC Server 2008 R2",
        /* 19 */ L"Windows Home Server 2008 R2",
        /* 20 */ storage + L"Express Edition",
        /* 21 */ storage + L"Standard Edition",
        /* 22 */ storage + L"Workgroup Edition",
        /* 23 */ storage + L"Enterprise Edition",
        /* 24 */ p + L"for Small Business Edition",
        /* 25 */ L"Windows Small Business Server 2008 R2 Premium Edition",
        /* 26 */ p + L"Home Premium Edition",
        /* 27 */ p + L"Business Edition",
        /* 28 */ p + L"Ultimate Edition",
        /* 29 */ L"Windows Web Server 2008 R2 (core installation)",
        /* 30 */ essential + L"Management Server",
        /* 31 */ essential + L"Security Server",
        /* 32 */ essential + L"Messaging Server",
        /* 33 */ p + L"Foundation",
        /* 34 */ L"Windows Home Server 2008 R2 Premium Edition",
        /* 35 */ p + L"for Windows Essential Server Solutions without Hyper-V",
        /* 36 */ p + L"Standard Edition without Hyper-V",
        /* 37 */ p + L"Datacenter Edition without Hyper-V",
        /* 38 */ p + L"Enterprise Edition without Hyper-V",
        /* 39 */ p + L"Datacenter Edition without Hyper-V (core installation)",
        /* 40 */ p + L"Standard Edition without Hyper-V (core installation)",
        /* 41 */ p + L"Enterprise Edition without Hyper-V (core installation)",
        /* 42 */ L"Hyper-V Server 2008 R2",
        /* 43 */ storage + L"Express Edition (core installation)",
        /* 44 */ storage + L"Standard Edition (core installation)",
        /* 45 */ storage + L"Workgroup Edition (core installation)",
        /* 46 */ storage + L"Enterprise Edition (core installation)",
        /* 47 */ p + L"Starter Edition",
        /* 48 */ p + L"Professional Edition",
        /* 49 */ p + L"Professional Edition",
        /* 50 */ p + L"Unknown Edition",
    };
    for (uint32_t t = 0; t < sizeof(rows) / sizeof(rows[0]); ++t) {
        WindowsVersionFacts facts = Nt(6, 1, 3, 9, 7600);
        facts.editionType = t;
        int code = 0;
        EXPECT_EQ(rows[t] + L", 64-bit (build 7600)", Name(facts, &code)) << "edition " << t;
        EXPECT_EQ(100600, code);
    }
    WindowsVersionFacts facts = Nt(6, 1, 3, 9, 7600);
    facts.editionType = 0xABCDEF;
    EXPECT_EQ(p + L"Unknown Edition, 64-bit (build 7600)", Name(facts));
}

TEST(WindowsName, UnknownPlatformsAndNewerMajors) {
    WindowsVersionFacts facts = Nt(6, 1, 1, 9, 7601);
    facts.platformId = 0;
    EXPECT_EQ(L"Unknown Windows", Name(facts));
    EXPECT_EQ(0, Code(facts));
    facts.platformId = 3;
    EXPECT_EQ(L"Unknown Windows", Name(facts));
    EXPECT_EQ(0, Code(Nt(0, 0, 1)));

    EXPECT_EQ(L" (build 7)", Name(Nt(7, 0, 1, 9, 7)));
    EXPECT_EQ(7, Code(Nt(7, 0, 1, 9, 7)));
    EXPECT_EQ(100, Code(Nt(100, 0, 3)));
}

TEST(WindowsName, FailedVersionQueryLeavesTheNameAlone) {
    WindowsVersionFacts facts;
    memset(&facts, 0, sizeof(facts));
    wchar_t name[kWindowsNameCapacity] = L"kept";
    EXPECT_EQ(0, NameWindowsEdition(&facts, name));
    EXPECT_STREQ(L"kept", name);
}

TEST(WindowsName, LongNamesAreCutAt127) {
    std::wstring servicePack(127, L'x');
    servicePack[0] = L'S';
    WindowsVersionFacts facts = Nt(6, 1, 1, 9, 7601, servicePack.c_str());
    facts.editionType = 1;
    const std::wstring whole = L"Windows 7 Ultimate Edition, 64-bit " + servicePack + L" (build 7601)";
    std::wstring name = Name(facts);
    EXPECT_EQ(127u, name.size());
    EXPECT_EQ(whole.substr(0, 127), name);

    // Full after the service pack: the build part is cut away entirely.
    facts = Nt(10, 0, 1, 9, 1, std::wstring(126, L'z').c_str());
    name = Name(facts);
    EXPECT_EQ(L" " + std::wstring(126, L'z'), name);
}

// ---------------------------------------------------------------------------------------------
// Gathering, for real.

// Wine 10's default Windows 10 as a program without a manifest is told of it: 6.2, build 9200,
// a workstation of the Ultimate type on a 64-bit machine (so not taken from RtlGetVersion).
TEST(WindowsVersionFacts, GatheredFromTheSystem) {
    WindowsVersionFacts facts;
    memset(&facts, 0x5A, sizeof(facts));
    GatherWindowsVersionFacts(&facts);
    EXPECT_EQ(1, facts.versionKnown);
    EXPECT_EQ(1, facts.haveExtendedInfo);
    EXPECT_EQ(static_cast<uint32_t>(VER_PLATFORM_WIN32_NT), facts.platformId);
    EXPECT_EQ(6u, facts.majorVersion);
    EXPECT_EQ(2u, facts.minorVersion);
    EXPECT_EQ(9200u, facts.buildNumber);
    EXPECT_STREQ(L"", facts.servicePack);
    EXPECT_EQ(VER_NT_WORKSTATION, facts.productType);
    EXPECT_EQ(0, facts.suiteMask);
    EXPECT_EQ(PROCESSOR_ARCHITECTURE_AMD64, facts.architecture);  // a 32-bit program's too
    EXPECT_EQ(0, facts.serverR2);
    EXPECT_STREQ(L"", facts.registryProductType);  // only NT 3/4 without the extended record
    EXPECT_EQ(28u, facts.editionType);  // an Ultimate Edition
}

// Started again by FollowsTheVersionSetInThePrefix, this program only reports what it is told
// about its Windows, before any test runs.
int ReportWindowsNameIfAsked() {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"WGCONF_WINDOWS_NAME_REPORT", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 0;
    wchar_t name[kWindowsNameCapacity] = L"";
    int code = GetWindowsName(name);
    ExitProcess(WriteBytes(path, std::to_string(code) + " " + Utf8(name)) ? 0 : 1);
}
const int windowsNameReported = ReportWindowsNameIfAsked();

// Starts this program again, and reads back the code and the name it reported.
std::string ReportOfChildProcess() {
    ScratchDirectory scratch(L"winname");
    EnvironmentOverride asked(L"WGCONF_WINDOWS_NAME_REPORT", scratch.File(L"report.txt"));
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(program) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return "<not started>";
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return FileText(scratch.File(L"report.txt"));
}

// What Wine reports for its own version settings on a 64-bit prefix: the code and the name.
TEST(WindowsNameUnderWine, FollowsTheVersionSetInThePrefix) {
    const struct {
        const wchar_t* setting;
        const char* report;
    } rows[] = {
        {L"winxp64", "100520 Windows XP Professional x64 Edition Service Pack 2 (build 3790)"},
        {L"vista", "100600 Windows Vista Ultimate Edition, 64-bit Service Pack 2 (build 6002)"},
        // Wine 10's default: Windows 10, which a program without a manifest sees as 6.2.
        {L"win10", "100600 Windows NT 6.x (unknown) Ultimate Edition, 64-bit (build 9200)"},
    };
    // Wine's own Windows version for the processes started from now on.
    RegistryValueOverride setting(HKEY_CURRENT_USER, L"Software\\Wine", L"Version");
    ASSERT_TRUE(setting.Opened());
    for (const auto& row : rows) {
        ASSERT_TRUE(setting.Set(row.setting));
        EXPECT_EQ(row.report, ReportOfChildProcess()) << row.setting;
    }
}

}  // namespace
