// Naming of the Windows edition: the decision over given facts, and the real thing under Wine.
#include <gtest/gtest.h>

#include <shlwapi.h>
#include <string.h>

#include <vector>

#include "probe/display_modes.h"
#include "probe/environment.h"
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
    {6, 1, VER_NT_WORKSTATION, 0, 9, 1, 0, 7601, L"Service Pack 1", L"", L"Windows 7 Ultimate Edition, 64-bit Service Pack 1 (build 7601)", 100600},
    {6, 0, VER_NT_SERVER, 0, 0, 13, 0, 6001, L"", L"", L"Windows Server 2008 Standard Edition (core installation), 32-bit (build 6001)", 100600},
    {6, 1, VER_NT_SERVER, 0, 9, 42, 0, 7600, L"", L"", L"Hyper-V Server 2008 R2, 64-bit (build 7600)", 100600},
    {6, 2, VER_NT_SERVER, 0, 9, 7, 0, 9200, L"", L"", L"Windows Server 2012 Standard, 64-bit (build 9200)", 100600},
    {5, 2, VER_NT_WORKSTATION, 0, 9, 0, 0, 3790, L"Service Pack 2", L"", L"Windows XP Professional x64 Edition Service Pack 2 (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_ENTERPRISE, 0, 0, kR2, 3790, L"", L"", L"Windows Server 2003 R2, Enterprise Edition (build 3790)", 100520},
    {5, 0, VER_NT_SERVER, VER_SUITE_DATACENTER, 0, 0, 0, 2195, L"", L"", L"Windows 2000 Datacenter Server (build 2195)", 100500},
    {4, 10, 0, 0, 0, 0, k95Family, 0, L" A ", L"", L"Windows 98Second Edition", 90410},
    {10, 0, VER_NT_WORKSTATION, 0, 9, 0, 0, 19045, L"Service Pack 1", L"", L"Windows 10 Unknown Edition, 64-bit Service Pack 1 (build 19045)", 10},
    {2, 0, VER_NT_WORKSTATION, 0, 0, 0, 0, 807, L"Service Pack 9", L"", L"Unknown Windows", 0},
    // NT 6: base names, server years and architectures. Rows that start over drop the
    // workstation's base name as well.
    {6, 0, VER_NT_WORKSTATION, 0, 0, 3, 0, 1, L"", L"", L"Windows Vista Home Premium Edition, 32-bit (build 1)", 100600},
    {6, 1, VER_NT_WORKSTATION, 0, 9, 48, 0, 1, L"", L"", L"Windows 7 Professional Edition, 64-bit (build 1)", 100600},
    {6, 3, VER_NT_WORKSTATION, 0, 9, 1, 0, 1, L"", L"", L"Windows 8.1 Ultimate Edition, 64-bit (build 1)", 100600},
    {6, 0, VER_NT_SERVER, 0, 0, 18, 0, 1, L"", L"", L"Windows HPC Server 2008, 32-bit (build 1)", 100600},
    {6, 0, VER_NT_DOMAIN_CONTROLLER, 0, 9, 8, 0, 1, L"", L"", L"Windows Server 2008 Datacenter Edition, 64-bit (build 1)", 100600},
    {6, 2, VER_NT_SERVER, 0, 9, 42, 0, 1, L"", L"", L"Hyper-V Server 2012, 64-bit (build 1)", 100600},
    {6, 0, VER_NT_SERVER, 0, 6, 15, 0, 1, L"", L"", L"Windows Server 2008 Enterprise Edition for Itanium-based Systems (build 1)", 100600},
    {6, 1, 0, 0, 5, 0, 0, 1, L"", L"", L"Windows Server 2008 R2 Unknown Edition (build 1)", 100600},
    {6, 1, VER_NT_WORKSTATION, 0, 9, 9, 0, 1, L"", L"", L"Windows Small Business Server, 64-bit (build 1)", 100600},
    // NT 5.2: the suites, R2 and the architectures.
    {5, 2, VER_NT_WORKSTATION, 0, 0, 0, 0, 3790, L"", L"", L"Windows XP Professional (build 3790)", 100520},
    {5, 2, VER_NT_WORKSTATION, VER_SUITE_DATACENTER, 9, 0, kR2, 3790, L"", L"", L"Windows XP Professional x64 Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, 0, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_COMPUTE_SERVER | VER_SUITE_WH_SERVER | VER_SUITE_SMALLBUSINESS, 0, 0, 0, 3790, L"", L"", L"Windows Compute Cluster Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_WH_SERVER | VER_SUITE_SMALLBUSINESS, 0, 0, 0, 3790, L"", L"", L"Windows Home Server, Standard Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_SMALLBUSINESS | VER_SUITE_STORAGE_SERVER, 0, 0, 0, 3790, L"", L"", L"Windows Small Business Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_SMALLBUSINESS_RESTRICTED, 0, 0, 0, 3790, L"", L"", L"Windows Small Business Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_STORAGE_SERVER, 0, 0, 0, 3790, L"", L"", L"Windows Storage Server 2003, Standard Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_DATACENTER | VER_SUITE_ENTERPRISE | VER_SUITE_BLADE, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Datacenter Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_ENTERPRISE | VER_SUITE_BLADE, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Enterprise Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_BLADE, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Web Edition (build 3790)", 100520},
    {5, 2, VER_NT_DOMAIN_CONTROLLER, 0, 9, 0, kR2, 3790, L"", L"", L"Windows Server 2003 R2, Standard x64 Edition (build 3790)", 100520},
    {5, 2, VER_NT_SERVER, VER_SUITE_ENTERPRISE, 6, 0, 0, 3790, L"", L"", L"Windows Server 2003, Enterprise Editionfor Itanium-based Systems (build 3790)", 100520},
    {5, 2, 0, 0, 0, 0, 0, 3790, L"", L"", L"Windows Server 2003, Standard Edition (build 3790)", 100520},
    // NT 5.1 and 5.0: the metrics first, then the suites.
    {5, 1, VER_NT_WORKSTATION, VER_SUITE_PERSONAL, 0, 0, kTablet | kMediaCenter | kStarter, 2600, L"Service Pack 3", L"", L"Windows XP Tablet PC Edition Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_WORKSTATION, VER_SUITE_PERSONAL, 0, 0, kMediaCenter | kStarter, 2600, L"Service Pack 3", L"", L"Windows XP Media Center Edition Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_WORKSTATION, VER_SUITE_PERSONAL, 0, 0, kStarter, 2600, L"Service Pack 3", L"", L"Windows XP Starter Edition Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_WORKSTATION, VER_SUITE_PERSONAL | VER_SUITE_EMBEDDEDNT, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows XP Home Edition Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_WORKSTATION, VER_SUITE_EMBEDDEDNT, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows XP Embedded Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_WORKSTATION, VER_SUITE_EMBEDDED_RESTRICTED, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows XP Embedded Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_WORKSTATION, 0, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows XP Professional Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_SERVER, VER_SUITE_ENTERPRISE, 0, 0, kTablet, 2600, L"Service Pack 3", L"", L"Windows 2002 .NET Enterprise Server Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_SERVER, 0, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2002 .NET Server Service Pack 3 (build 2600)", 100510},
    {5, 1, VER_NT_DOMAIN_CONTROLLER, VER_SUITE_ENTERPRISE, 0, 0, kTablet, 2600, L"Service Pack 3", L"", L"Windows XP  Service Pack 3 (build 2600)", 100510},
    {5, 0, VER_NT_WORKSTATION, VER_SUITE_DATACENTER, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2000 Professional Service Pack 3 (build 2600)", 100500},
    {5, 0, VER_NT_SERVER, VER_SUITE_DATACENTER | VER_SUITE_ENTERPRISE, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2000 Datacenter Server Service Pack 3 (build 2600)", 100500},
    {5, 0, VER_NT_DOMAIN_CONTROLLER, VER_SUITE_ENTERPRISE, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2000 Advanced Server Service Pack 3 (build 2600)", 100500},
    {5, 0, VER_NT_SERVER, 0, 0, 0, 0, 2600, L"Service Pack 3", L"", L"Windows 2000 Server Service Pack 3 (build 2600)", 100500},
    {5, 3, VER_NT_WORKSTATION, 0, 0, 0, 0, 2600, L"Service Pack 3", L"", L" Service Pack 3 (build 2600)", 5},
    // NT 4.0 and 3.51 with extended information.
    {4, 0, VER_NT_WORKSTATION, VER_SUITE_ENTERPRISE, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT 4.0 Workstation Service Pack 6 (build 1381)", 100400},
    {3, 0, VER_NT_WORKSTATION, 0, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT 3.51 Workstation Service Pack 6 (build 1381)", 100300},
    {4, 0, VER_NT_SERVER, 0, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server 4.0 Service Pack 6 (build 1381)", 100400},
    {4, 0, VER_NT_DOMAIN_CONTROLLER, VER_SUITE_ENTERPRISE | VER_SUITE_TERMINAL, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server, Enterprise Edition 4.0 Service Pack 6 (build 1381)", 100400},
    {4, 0, VER_NT_SERVER, VER_SUITE_TERMINAL | VER_SUITE_EMBEDDEDNT, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server, Terminal Server Edition 4.0 Service Pack 6 (build 1381)", 100400},
    {4, 0, VER_NT_SERVER, VER_SUITE_EMBEDDEDNT, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server, Embedded Edition 4.0 Service Pack 6 (build 1381)", 100400},
    {3, 0, VER_NT_SERVER, VER_SUITE_EMBEDDED_RESTRICTED, 0, 0, 0, 1381, L"Service Pack 6", L"", L"Windows NT Server, Embedded Edition 3.51 Service Pack 6 (build 1381)", 100300},
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
        /*  4 */ p + L"Enterprise Edition",
        /*  5 */ p + L"Home Basic Edition",
        /*  6 */ p + L"Business Edition",
        /*  7 */ p + L"Standard Edition",
        /*  8 */ p + L"Datacenter Edition",
        /*  9 */ L"Windows Small Business Server 2008 R2",
        /* 10 */ p + L"Enterprise Edition",
        /* 11 */ p + L"Starter Edition",
        /* 12 */ p + L"Datacenter Edition (core installation)",
        /* 13 */ p + L"Standard Edition (core installation)",
        /* 14 */ p + L"Enterprise Edition (core installation)",
        /* 15 */ p + L"Enterprise Edition for Itanium-based Systems",
        /* 16 */ p + L"Business Edition",
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
        /* 27 */ p + L"Enterprise Edition",
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

TEST(WindowsName, UnknownPlatforms) {
    WindowsVersionFacts facts = Nt(6, 1, 1, 9, 7601);
    facts.platformId = 0;
    EXPECT_EQ(L"Unknown Windows", Name(facts));
    EXPECT_EQ(0, Code(facts));
    facts.platformId = 3;
    EXPECT_EQ(L"Unknown Windows", Name(facts));
    EXPECT_EQ(0, Code(Nt(0, 0, 1)));
}

// From NT 6.2 on: the names of today's versions and editions, the feature release and the
// update revision, on 64-bit machines.
struct TodayCase {
    uint32_t major, minor, build;
    uint8_t productType;
    uint32_t edition;
    const wchar_t* featureRelease;
    int64_t revision;  // -1: no UBR
    const wchar_t* servicePack;
    const wchar_t* name;
    int code;
};

const TodayCase kTodayCases[] = {
    // The examples, word for word.
    {10, 0, 22631, VER_NT_WORKSTATION, PRODUCT_PROFESSIONAL, L"23H2", 4460, L"", L"Windows 11 Pro, 64-bit, version 23H2 (build 22631.4460)", 10},
    {10, 0, 19045, VER_NT_WORKSTATION, PRODUCT_CORE_SINGLELANGUAGE, L"22H2", 5131, L"", L"Windows 10 Home Single Language, 64-bit, version 22H2 (build 19045.5131)", 10},
    {10, 0, 20348, VER_NT_SERVER, PRODUCT_DATACENTER_SERVER_CORE, L"21H2", 2762, L"", L"Windows Server 2022 Datacenter (core installation), 64-bit, version 21H2 (build 20348.2762)", 10},
    {10, 0, 22000, VER_NT_WORKSTATION, PRODUCT_ULTIMATE_N, L"", -1, L"", L"Windows 11 Ultimate Edition, 64-bit (build 22000)", 10},
    // Versions: 8 and 8.1, 10 and 11 by build, the servers' years by build.
    {6, 2, 9200, VER_NT_WORKSTATION, PRODUCT_PROFESSIONAL, L"", -1, L"", L"Windows 8 Pro, 64-bit (build 9200)", 100600},
    {6, 2, 9200, VER_NT_SERVER, PRODUCT_DATACENTER_SERVER, L"", -1, L"", L"Windows Server 2012 Datacenter, 64-bit (build 9200)", 100600},
    {6, 3, 9600, VER_NT_WORKSTATION, PRODUCT_CORE, L"", 0, L"", L"Windows 8.1 Home, 64-bit (build 9600.0)", 100600},
    {6, 3, 9600, VER_NT_DOMAIN_CONTROLLER, PRODUCT_STANDARD_EVALUATION_SERVER, L"", -1, L"", L"Windows Server 2012 R2 Standard Evaluation, 64-bit (build 9600)", 100600},
    {10, 0, 21999, VER_NT_WORKSTATION, PRODUCT_EDUCATION, L"", -1, L"", L"Windows 10 Education, 64-bit (build 21999)", 10},
    {10, 0, 14393, VER_NT_SERVER, PRODUCT_STANDARD_SERVER, L"1607", -1, L"", L"Windows Server 2016 Standard, 64-bit, version 1607 (build 14393)", 10},
    {10, 0, 17762, VER_NT_SERVER, PRODUCT_STANDARD_SERVER, L"", -1, L"", L"Windows Server 2016 Standard, 64-bit (build 17762)", 10},
    {10, 0, 17763, VER_NT_DOMAIN_CONTROLLER, PRODUCT_STANDARD_SERVER, L"", -1, L"", L"Windows Server 2019 Standard, 64-bit (build 17763)", 10},
    {10, 0, 20347, VER_NT_SERVER, PRODUCT_STANDARD_SERVER, L"", -1, L"", L"Windows Server 2019 Standard, 64-bit (build 20347)", 10},
    {10, 0, 26099, VER_NT_SERVER, PRODUCT_STANDARD_SERVER, L"", -1, L"", L"Windows Server 2022 Standard, 64-bit (build 26099)", 10},
    {10, 0, 26100, VER_NT_SERVER, PRODUCT_DATACENTER_EVALUATION_SERVER, L"24H2", 2314, L"", L"Windows Server 2025 Datacenter Evaluation, 64-bit, version 24H2 (build 26100.2314)", 10},
    // Versions without a name: their numbers, for workstations and servers alike.
    {6, 4, 1, VER_NT_WORKSTATION, PRODUCT_PROFESSIONAL, L"", -1, L"", L"Windows NT 6.4 (unknown) Pro, 64-bit (build 1)", 100600},
    {6, 4, 1, VER_NT_SERVER, PRODUCT_STANDARD_SERVER, L"", -1, L"", L"Windows Server 6.4 (unknown) Standard, 64-bit (build 1)", 100600},
    {7, 0, 7, VER_NT_WORKSTATION, PRODUCT_UNDEFINED, L"", -1, L"", L"Windows NT 7.0 (unknown) Unknown Edition, 64-bit (build 7)", 7},
    {9, 1, 1, VER_NT_SERVER, PRODUCT_HYPERV, L"", -1, L"", L"Hyper-V Server 9.1 (unknown), 64-bit (build 1)", 9},
    {10, 1, 1, VER_NT_WORKSTATION, PRODUCT_CORE, L"", -1, L"", L"Windows NT 10.1 (unknown) Home, 64-bit (build 1)", 10},
    {11, 0, 30000, VER_NT_SERVER, PRODUCT_DATACENTER_SERVER, L"", -1, L"", L"Windows Server 11.0 (unknown) Datacenter, 64-bit (build 30000)", 11},
    {100, 0, 1, VER_NT_WORKSTATION, PRODUCT_CORE, L"", -1, L"", L"Windows NT 100.0 (unknown) Home, 64-bit (build 1)", 100},
    // Types that today's table lacks take the older words; rows that start over take the year.
    {10, 0, 17763, VER_NT_SERVER, PRODUCT_WEB_SERVER, L"", -1, L"", L"Windows Web Server 2019, 64-bit (build 17763)", 10},
    {10, 0, 20348, VER_NT_SERVER, PRODUCT_STANDARD_SERVER_CORE_V, L"", -1, L"", L"Windows Server 2022 Standard Edition without Hyper-V (core installation), 64-bit (build 20348)", 10},
    {6, 2, 9200, VER_NT_SERVER, PRODUCT_STORAGE_WORKGROUP_SERVER_CORE, L"", -1, L"", L"Windows Storage Server 2012 Workgroup Edition (core installation), 64-bit (build 9200)", 100600},
    {6, 3, 9600, VER_NT_SERVER, PRODUCT_SMALLBUSINESS_SERVER_PREMIUM, L"", -1, L"", L"Windows Small Business Server 2012 R2 Premium Edition, 64-bit (build 9600)", 100600},
    {10, 0, 19045, VER_NT_WORKSTATION, PRODUCT_STANDARD_SERVER_CORE, L"", -1, L"", L"Windows 10 Standard (core installation), 64-bit (build 19045)", 10},
    {10, 0, 19045, VER_NT_WORKSTATION, 0xABCDABCD, L"", -1, L"", L"Windows 10 Unknown Edition, 64-bit (build 19045)", 10},
    // The tail: service pack, feature release, update revision, each on its own.
    {10, 0, 19045, VER_NT_WORKSTATION, PRODUCT_PROFESSIONAL, L"", 4294967295, L"Service Pack 1", L"Windows 10 Pro, 64-bit Service Pack 1 (build 19045.4294967295)", 10},
    {10, 0, 19045, VER_NT_WORKSTATION, PRODUCT_PROFESSIONAL, L"2009", -1, L"Service Pack 1", L"Windows 10 Pro, 64-bit Service Pack 1, version 2009 (build 19045)", 10},
    // Windows 7 keeps its name whatever else was read.
    {6, 1, 7601, VER_NT_WORKSTATION, PRODUCT_ENTERPRISE, L"22H2", 5, L"Service Pack 1", L"Windows 7 Enterprise Edition, 64-bit Service Pack 1 (build 7601)", 100600},
};

TEST(WindowsName, TodaysVersions) {
    for (const TodayCase& c : kTodayCases) {
        WindowsVersionFacts facts = Nt(c.major, c.minor, c.productType, 9, c.build, c.servicePack);
        facts.editionType = c.edition;
        lstrcpynW(facts.featureRelease, c.featureRelease, kFeatureReleaseCapacity);
        facts.haveUpdateRevision = c.revision >= 0;
        facts.updateRevision = static_cast<uint32_t>(c.revision);
        int code = 0;
        EXPECT_EQ(c.name, Name(facts, &code)) << c.major << "." << c.minor << "." << c.build;
        EXPECT_EQ(c.code, code) << c.name;
    }
}

// Today's edition table, every row, after the words of a Windows 11 workstation.
TEST(WindowsName, EveryTodaysEditionType) {
    const struct {
        uint32_t type;
        const wchar_t* words;
    } rows[] = {
        {0x65, L"Home"}, {0x62, L"Home N"}, {0x63, L"Home China"}, {0x64, L"Home Single Language"},
        {0x30, L"Pro"}, {0x31, L"Pro N"}, {0xA1, L"Pro for Workstations"}, {0xA2, L"Pro N for Workstations"},
        {0xA4, L"Pro Education"}, {0xA5, L"Pro Education N"}, {0x79, L"Education"}, {0x7A, L"Education N"},
        {0x04, L"Enterprise"}, {0x1B, L"Enterprise N"}, {0x46, L"Enterprise E"}, {0x48, L"Enterprise Evaluation"},
        {0x54, L"Enterprise N Evaluation"}, {0x7D, L"Enterprise LTSC"}, {0x7E, L"Enterprise N LTSC"},
        {0xAF, L"Enterprise multi-session"}, {0xBC, L"IoT Enterprise"}, {0xBF, L"IoT Enterprise LTSC"},
        {0x07, L"Standard"}, {0x0D, L"Standard (core installation)"}, {0x08, L"Datacenter"},
        {0x0C, L"Datacenter (core installation)"}, {0x4F, L"Standard Evaluation"}, {0x50, L"Datacenter Evaluation"},
        // Not in it: the older words.
        {0x1C, L"Ultimate Edition"}, {0x06, L"Business Edition"}, {0x0E, L"Enterprise Edition (core installation)"},
    };
    for (const auto& row : rows) {
        WindowsVersionFacts facts = Nt(10, 0, 1, 9, 22621);
        facts.editionType = row.type;
        EXPECT_EQ(std::wstring(L"Windows 11 ") + row.words + L", 64-bit (build 22621)", Name(facts)) << row.type;
    }
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

    // Full after the service pack: the feature release and the build part are cut away.
    facts = Nt(10, 0, 1, 9, 1, std::wstring(126, L'z').c_str());
    lstrcpynW(facts.featureRelease, L"24H2", kFeatureReleaseCapacity);
    facts.haveUpdateRevision = 1;
    name = Name(facts);
    EXPECT_EQ(L"Windows 10 Unknown Edition, 64-bit " + std::wstring(92, L'z'), name);
}

// ---------------------------------------------------------------------------------------------
// Gathering, for real.

// The version queries handed to the gathering: what they were asked, and what they answer.
struct FakeQueries {
    LONG status = 0;
    OSVERSIONINFOEXW answer = {};
    bool recordWasClean = false;
    DWORD productArguments[4] = {};
    int productCalls = 0;
};
FakeQueries* fake;

LONG WINAPI FakeRtlGetVersion(OSVERSIONINFOEXW* version) {
    // The record must come zeroed, with the extended size.
    OSVERSIONINFOEXW clean = {};
    clean.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    fake->recordWasClean = memcmp(version, &clean, sizeof(clean)) == 0;
    if (fake->status >= 0) *version = fake->answer;
    return fake->status;
}

BOOL WINAPI FakeProductInfo(DWORD major, DWORD minor, DWORD spMajor, DWORD spMinor, DWORD* type) {
    const DWORD arguments[] = {major, minor, spMajor, spMinor};
    memcpy(fake->productArguments, arguments, sizeof(arguments));
    ++fake->productCalls;
    *type = PRODUCT_PROFESSIONAL;
    return TRUE;
}

// A Windows 11 Pro that GetVersionExW would call 6.2 build 9200.
TEST(WindowsVersionFacts, TakenFromRtlGetVersionAndAskedForTheEditionOfThatVersion) {
    FakeQueries queries;
    fake = &queries;
    queries.answer.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    queries.answer.dwMajorVersion = 10;
    queries.answer.dwBuildNumber = 22631;
    queries.answer.dwPlatformId = VER_PLATFORM_WIN32_NT;
    lstrcpynW(queries.answer.szCSDVersion, L"Service Pack 9", 128);
    queries.answer.wSuiteMask = VER_SUITE_SINGLEUSERTS;
    queries.answer.wProductType = VER_NT_SERVER;
    const WindowsVersionQueries given = {FakeRtlGetVersion, FakeProductInfo};
    WindowsVersionFacts facts;
    GatherWindowsVersionFactsWith(&given, &facts);
    EXPECT_TRUE(queries.recordWasClean);
    EXPECT_EQ(1, facts.haveExtendedInfo);
    EXPECT_EQ((std::vector<uint32_t>{10, 0, 22631}),
              (std::vector<uint32_t>{facts.majorVersion, facts.minorVersion, facts.buildNumber}));
    EXPECT_STREQ(L"Service Pack 9", facts.servicePack);
    EXPECT_EQ(VER_SUITE_SINGLEUSERTS, facts.suiteMask);
    EXPECT_EQ(VER_NT_SERVER, facts.productType);
    EXPECT_EQ(1, queries.productCalls);
    EXPECT_EQ((std::vector<DWORD>{10, 0, 0, 0}), std::vector<DWORD>(queries.productArguments, queries.productArguments + 4));
    EXPECT_EQ(static_cast<uint32_t>(PRODUCT_PROFESSIONAL), facts.editionType);

    // Vista and 7 are asked with their own minor too.
    queries.answer.dwMajorVersion = 6;
    queries.answer.dwMinorVersion = 1;
    GatherWindowsVersionFactsWith(&given, &facts);
    EXPECT_EQ((std::vector<DWORD>{6, 1, 0, 0}), std::vector<DWORD>(queries.productArguments, queries.productArguments + 4));
    // Before NT 6 there is nothing to ask.
    queries.answer.dwMajorVersion = 5;
    GatherWindowsVersionFactsWith(&given, &facts);
    EXPECT_EQ(2, queries.productCalls);
    EXPECT_EQ(0u, facts.editionType);
}

// RtlGetVersion missing (as before NT 5) or failing: GetVersionExW's answer, which Wine 10 gives
// a program without a manifest as 6.2 build 9200.
TEST(WindowsVersionFacts, WithoutRtlGetVersionGetVersionExWAnswers) {
    FakeQueries queries;
    fake = &queries;
    queries.status = static_cast<LONG>(0xC0000001);  // STATUS_UNSUCCESSFUL
    const WindowsVersionQueries failing = {FakeRtlGetVersion, FakeProductInfo};
    const WindowsVersionQueries missing = {nullptr, nullptr};
    for (const WindowsVersionQueries* given : {&failing, &missing}) {
        WindowsVersionFacts facts;
        GatherWindowsVersionFactsWith(given, &facts);
        EXPECT_EQ(1, facts.haveExtendedInfo);
        EXPECT_EQ((std::vector<uint32_t>{6, 2, 9200}),
                  (std::vector<uint32_t>{facts.majorVersion, facts.minorVersion, facts.buildNumber}));
        EXPECT_EQ(given == &failing ? PRODUCT_PROFESSIONAL : PRODUCT_UNDEFINED, static_cast<int>(facts.editionType));
    }
    EXPECT_EQ((std::vector<DWORD>{6, 2, 0, 0}), std::vector<DWORD>(queries.productArguments, queries.productArguments + 4));
}

// Wine 10's default Windows 10, as RtlGetVersion tells it: a workstation of the Ultimate N type
// on a 64-bit machine.
TEST(WindowsVersionFacts, GatheredFromTheSystem) {
    WindowsVersionFacts facts;
    memset(&facts, 0x5A, sizeof(facts));
    GatherWindowsVersionFacts(&facts);
    EXPECT_EQ(1, facts.versionKnown);
    EXPECT_EQ(1, facts.haveExtendedInfo);
    EXPECT_EQ(static_cast<uint32_t>(VER_PLATFORM_WIN32_NT), facts.platformId);
    EXPECT_EQ((std::vector<uint32_t>{10, 0, 19043}),
              (std::vector<uint32_t>{facts.majorVersion, facts.minorVersion, facts.buildNumber}));
    EXPECT_STREQ(L"", facts.servicePack);
    EXPECT_EQ(VER_NT_WORKSTATION, facts.productType);
    EXPECT_EQ(PROCESSOR_ARCHITECTURE_AMD64, facts.architecture);  // a 32-bit program's too
    EXPECT_EQ(0, facts.serverR2);
    EXPECT_STREQ(L"", facts.registryProductType);  // only NT 3/4 without the extended record
    EXPECT_EQ(static_cast<uint32_t>(PRODUCT_ULTIMATE_N), facts.editionType);
    EXPECT_STREQ(L"", facts.featureRelease);  // Wine keeps none
    EXPECT_EQ(0, facts.haveUpdateRevision);
}

const wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// The feature release and the update revision as written in both registry views: only the
// 64-bit view counts, only texts of REG_SZ, a display version before a release id.
TEST(WindowsVersionFacts, FeatureReleaseFromThe64BitView) {
    struct View {
        RegistryValueOverride display, release, revision;
        explicit View(REGSAM view)
            : display(HKEY_LOCAL_MACHINE, kCurrentVersion, L"DisplayVersion", view),
              release(HKEY_LOCAL_MACHINE, kCurrentVersion, L"ReleaseId", view),
              revision(HKEY_LOCAL_MACHINE, kCurrentVersion, L"UBR", view) {}
    };
    View native(KEY_WOW64_64KEY), redirected(KEY_WOW64_32KEY);
    ASSERT_TRUE(native.display.Opened() && redirected.display.Opened());
    ASSERT_TRUE(redirected.display.Set(L"32H1") && redirected.release.Set(L"3232") && redirected.revision.SetNumber(32));

    const std::wstring longText(40, L'L');
    const struct {
        const wchar_t* display;
        DWORD displayType;
        const wchar_t* release;
        DWORD revisionType;
        const wchar_t* featureRelease;
        int haveRevision;
    } rows[] = {
        {L"24H2", REG_SZ, L"2009", REG_DWORD, L"24H2", 1},
        {nullptr, REG_SZ, L"2009", REG_DWORD, L"2009", 1},
        {L"", REG_SZ, L"2009", REG_SZ, L"2009", 0},
        {L"24H2", REG_EXPAND_SZ, L"2009", REG_BINARY, L"2009", 0},
        {nullptr, REG_SZ, nullptr, 0, L"", 0},
        {longText.c_str(), REG_SZ, nullptr, REG_DWORD, L"LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL", 1},
    };
    for (const auto& row : rows) {
        if (row.display) native.display.Set(row.display, row.displayType);
        else native.display.Remove();
        if (row.release) native.release.Set(row.release);
        else native.release.Remove();
        if (row.revisionType == REG_DWORD) native.revision.SetNumber(4460);
        else if (row.revisionType) native.revision.Set(L"4460", row.revisionType);
        else native.revision.Remove();
        WindowsVersionFacts facts;
        GatherWindowsVersionFacts(&facts);
        EXPECT_STREQ(row.featureRelease, facts.featureRelease) << (row.display ? row.display : L"-");
        EXPECT_EQ(row.haveRevision, facts.haveUpdateRevision);
        EXPECT_EQ(row.haveRevision ? 4460u : 0u, facts.updateRevision);
    }
}

// Started again by the tests below, this program only reports what it is told about its
// Windows, before any test runs: the code, the version, the name, and whether the display
// modes are enumerated for that code.
int ReportWindowsNameIfAsked() {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"WGCONF_WINDOWS_NAME_REPORT", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 0;
    WindowsVersionFacts facts;
    GatherWindowsVersionFacts(&facts);
    wchar_t name[kWindowsNameCapacity] = L"";
    const int code = NameWindowsEdition(&facts, name);
    environmentSnapshot.windowsVersionCode = code;
    const int catalogue = BuildDisplayCatalogue();
    FreeDisplayCatalogue();
    const std::string report = std::to_string(code) + " " + std::to_string(facts.majorVersion) + "." +
                               std::to_string(facts.minorVersion) + "." + std::to_string(facts.buildNumber) +
                               " modes=" + std::to_string(catalogue) + " " + Utf8(name);
    ExitProcess(WriteBytes(path, report) ? 0 : 1);
}
const int windowsNameReported = ReportWindowsNameIfAsked();

// Starts this program again, and reads back what it reported.
std::string ReportOfChildProcess() {
    ScratchDirectory scratch(L"winname");
    EnvironmentOverride asked(L"WGCONF_WINDOWS_NAME_REPORT", scratch.File(L"report.txt"));
    if (RunProgram(ProgramPath(), L"") < 0) return "<not started>";
    return FileText(scratch.File(L"report.txt"));
}

// Wine's Windows version for this program alone, read when a process of it starts.
std::wstring ProgramVersionKey() {
    return std::wstring(L"Software\\Wine\\AppDefaults\\") + PathFindFileNameW(ProgramPath().c_str());
}

// What Wine reports for each Windows version set for the program: the true version whatever
// GetVersionExW says, its name, and the display modes enumerated on each.
TEST(WindowsNameUnderWine, FollowsTheVersionSetForTheProgram) {
    const struct {
        const wchar_t* setting;
        const char* report;
    } rows[] = {
        {L"winxp64", "100520 5.2.3790 modes=1 Windows XP Professional x64 Edition Service Pack 2 (build 3790)"},
        {L"vista", "100600 6.0.6002 modes=1 Windows Vista Ultimate Edition, 64-bit Service Pack 2 (build 6002)"},
        {L"win8", "100600 6.2.9200 modes=1 Windows 8 Ultimate Edition, 64-bit (build 9200)"},
        {L"win81", "100600 6.3.9600 modes=1 Windows 8.1 Ultimate Edition, 64-bit (build 9600)"},
        {L"win10", "10 10.0.19043 modes=1 Windows 10 Ultimate Edition, 64-bit (build 19043)"},
        {L"win11", "10 10.0.22000 modes=1 Windows 11 Ultimate Edition, 64-bit (build 22000)"},
    };
    RegistryValueOverride setting(HKEY_CURRENT_USER, ProgramVersionKey().c_str(), L"Version");
    ASSERT_TRUE(setting.Opened());
    for (const auto& row : rows) {
        ASSERT_TRUE(setting.Set(row.setting));
        EXPECT_EQ(row.report, ReportOfChildProcess()) << row.setting;
    }

    // Windows 11 with its feature release and update revision, different in the 32-bit view.
    RegistryValueOverride display64(HKEY_LOCAL_MACHINE, kCurrentVersion, L"DisplayVersion", KEY_WOW64_64KEY);
    RegistryValueOverride revision64(HKEY_LOCAL_MACHINE, kCurrentVersion, L"UBR", KEY_WOW64_64KEY);
    RegistryValueOverride display32(HKEY_LOCAL_MACHINE, kCurrentVersion, L"DisplayVersion", KEY_WOW64_32KEY);
    RegistryValueOverride revision32(HKEY_LOCAL_MACHINE, kCurrentVersion, L"UBR", KEY_WOW64_32KEY);
    ASSERT_TRUE(display64.Set(L"24H2") && revision64.SetNumber(4460) && display32.Set(L"32H1") &&
                revision32.SetNumber(32));
    EXPECT_EQ("10 10.0.22000 modes=1 Windows 11 Ultimate Edition, 64-bit, version 24H2 (build 22000.4460)",
              ReportOfChildProcess());
}

}  // namespace
