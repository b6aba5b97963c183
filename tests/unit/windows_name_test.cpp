// Naming of the Windows edition: the decision over given facts, and the real thing under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

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

WindowsVersionFacts W9x(uint32_t minor, const wchar_t* servicePack) {
    WindowsVersionFacts facts = Nt(4, minor, 0, 0, 0x040A0000 | 2222, servicePack);
    facts.platformId = 1;
    facts.haveExtendedInfo = 0;
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

TEST(WindowsName, ExamplesWordForWord) {
    int code = 0;
    WindowsVersionFacts facts = Nt(6, 1, 1, 9, 7601, L"Service Pack 1");
    facts.editionType = 1;
    EXPECT_EQ(L"Windows 7 Ultimate Edition, 64-bit Service Pack 1 (build 7601)", Name(facts, &code));
    EXPECT_EQ(100600, code);

    facts = Nt(6, 0, 3, 0, 6001);
    facts.editionType = 13;
    EXPECT_EQ(L"Windows Server 2008 Standard Edition (core installation), 32-bit (build 6001)",
              Name(facts));

    facts = Nt(6, 1, 3, 9, 7600);
    facts.editionType = 42;
    EXPECT_EQ(L"Hyper-V Server 2008 R2, 64-bit (build 7600)", Name(facts));

    facts = Nt(6, 2, 3, 9, 9200);
    facts.editionType = 7;
    EXPECT_EQ(L"Windows Server 6.x (unknown) Standard Edition, 64-bit (build 9200)", Name(facts));

    facts = Nt(5, 2, 1, 9, 3790, L"Service Pack 2");
    EXPECT_EQ(L"Windows XP Professional x64 Edition Service Pack 2 (build 3790)", Name(facts, &code));
    EXPECT_EQ(100520, code);

    facts = Nt(5, 2, 3, 0, 3790);
    facts.suiteMask = 0x0002;
    facts.serverR2 = 1;
    EXPECT_EQ(L"Windows Server 2003 R2, Enterprise Edition (build 3790)", Name(facts));

    facts = Nt(5, 0, 3, 0, 2195);
    facts.suiteMask = 0x0080;
    EXPECT_EQ(L"Windows 2000 Datacenter Server (build 2195)", Name(facts, &code));
    EXPECT_EQ(100500, code);

    EXPECT_EQ(L"Windows 98Second Edition", Name(W9x(10, L" A "), &code));
    EXPECT_EQ((4 + 900) * 100 + 10, code);

    EXPECT_EQ(L" Service Pack 1 (build 19045)", Name(Nt(10, 0, 1, 9, 19045, L"Service Pack 1"), &code));
    EXPECT_EQ(10, code);

    EXPECT_EQ(L"Unknown Windows", Name(Nt(2, 0, 1, 0, 807, L"Service Pack 9"), &code));
    EXPECT_EQ(0, code);
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

TEST(WindowsName, Nt6BaseNamesYearsAndArchitectures) {
    struct Row {
        uint32_t minor;
        uint8_t productType;
        uint16_t architecture;
        uint32_t edition;
        const wchar_t* name;
    } rows[] = {
        {0, 1, 0, 3, L"Windows Vista Home Premium Edition, 32-bit (build 1)"},
        {1, 1, 9, 48, L"Windows 7 Professional Edition, 64-bit (build 1)"},
        {3, 1, 9, 1, L"Windows NT 6.x (unknown) Ultimate Edition, 64-bit (build 1)"},
        {0, 3, 0, 18, L"Windows HPC Server 2008, 32-bit (build 1)"},
        {0, 2, 9, 8, L"Windows Server 2008 Datacenter Edition, 64-bit (build 1)"},
        {2, 3, 9, 42, L"Hyper-V Server 6.x (unknown), 64-bit (build 1)"},
        {0, 3, 6, 15, L"Windows Server 2008 Enterprise Edition for Itanium-based Systems (build 1)"},
        {1, 0, 5, 0, L"Windows Server 2008 R2 Unknown Edition (build 1)"},
        // Rows that start over drop the workstation's base name as well.
        {1, 1, 9, 9, L"Windows Small Business Server, 64-bit (build 1)"},
    };
    for (const Row& row : rows) {
        WindowsVersionFacts facts = Nt(6, row.minor, row.productType, row.architecture, 1);
        facts.editionType = row.edition;
        int code = 0;
        EXPECT_EQ(row.name, Name(facts, &code));
        EXPECT_EQ(100600, code);
    }
}

TEST(WindowsName, Nt52Suites) {
    struct Row {
        uint8_t productType;
        uint16_t suite;
        int serverR2;
        uint16_t architecture;
        const wchar_t* name;
    } rows[] = {
        {1, 0, 0, 0, L"Windows XP Professional"},
        {1, 0x0080, 1, 9, L"Windows XP Professional x64 Edition"},
        {3, 0, 0, 0, L"Windows Server 2003, Standard Edition"},
        {3, 0x4000 | 0x8000 | 0x0001, 0, 0, L"Windows Compute Cluster Server 2003, Standard Edition"},
        {3, 0x8000 | 0x0001, 0, 0, L"Windows Home Server, Standard Edition"},
        {3, 0x0001 | 0x2000, 0, 0, L"Windows Small Business Server 2003, Standard Edition"},
        {3, 0x0020, 0, 0, L"Windows Small Business Server 2003, Standard Edition"},
        {3, 0x2000, 0, 0, L"Windows Storage Server 2003, Standard Edition"},
        {3, 0x0080 | 0x0002 | 0x0400, 0, 0, L"Windows Server 2003, Datacenter Edition"},
        {3, 0x0002 | 0x0400, 0, 0, L"Windows Server 2003, Enterprise Edition"},
        {3, 0x0400, 0, 0, L"Windows Server 2003, Web Edition"},
        {2, 0, 1, 9, L"Windows Server 2003 R2, Standard x64 Edition"},
        {3, 0x0002, 0, 6, L"Windows Server 2003, Enterprise Editionfor Itanium-based Systems"},
        {0, 0, 0, 0, L"Windows Server 2003, Standard Edition"},
    };
    for (const Row& row : rows) {
        WindowsVersionFacts facts = Nt(5, 2, row.productType, row.architecture, 3790);
        facts.suiteMask = row.suite;
        facts.serverR2 = row.serverR2;
        int code = 0;
        EXPECT_EQ(std::wstring(row.name) + L" (build 3790)", Name(facts, &code));
        EXPECT_EQ(100520, code);
    }
}

TEST(WindowsName, Nt51AndNt50) {
    struct Row {
        uint32_t minor;
        uint8_t productType;
        uint16_t suite;
        int tablet, mediaCenter, starter;
        const wchar_t* name;
        int code;
    } rows[] = {
        {1, 1, 0x0200, 1, 1, 1, L"Windows XP Tablet PC Edition", 100510},
        {1, 1, 0x0200, 0, 1, 1, L"Windows XP Media Center Edition", 100510},
        {1, 1, 0x0200, 0, 0, 1, L"Windows XP Starter Edition", 100510},
        {1, 1, 0x0200 | 0x0040, 0, 0, 0, L"Windows XP Home Edition", 100510},
        {1, 1, 0x0040, 0, 0, 0, L"Windows XP Embedded", 100510},
        {1, 1, 0x0800, 0, 0, 0, L"Windows XP Embedded", 100510},
        {1, 1, 0, 0, 0, 0, L"Windows XP Professional", 100510},
        {1, 3, 0x0002, 1, 0, 0, L"Windows 2002 .NET Enterprise Server", 100510},
        {1, 3, 0, 0, 0, 0, L"Windows 2002 .NET Server", 100510},
        {1, 2, 0x0002, 1, 0, 0, L"Windows XP ", 100510},
        {0, 1, 0x0080, 0, 0, 0, L"Windows 2000 Professional", 100500},
        {0, 3, 0x0080 | 0x0002, 0, 0, 0, L"Windows 2000 Datacenter Server", 100500},
        {0, 2, 0x0002, 0, 0, 0, L"Windows 2000 Advanced Server", 100500},
        {0, 3, 0, 0, 0, 0, L"Windows 2000 Server", 100500},
        {3, 1, 0, 0, 0, 0, L"", 5},
    };
    for (const Row& row : rows) {
        WindowsVersionFacts facts = Nt(5, row.minor, row.productType, 0, 2600, L"Service Pack 3");
        facts.suiteMask = row.suite;
        facts.tabletPc = row.tablet;
        facts.mediaCenter = row.mediaCenter;
        facts.starter = row.starter;
        int code = 0;
        EXPECT_EQ(std::wstring(row.name) + L" Service Pack 3 (build 2600)", Name(facts, &code));
        EXPECT_EQ(row.code, code);
    }
}

TEST(WindowsName, Nt4WithExtendedInformation) {
    struct Row {
        uint32_t major;
        uint8_t productType;
        uint16_t suite;
        const wchar_t* name;
    } rows[] = {
        {4, 1, 0x0002, L"Windows NT 4.0 Workstation"},
        {3, 1, 0, L"Windows NT 3.51 Workstation"},
        {4, 3, 0, L"Windows NT Server 4.0"},
        {4, 2, 0x0002 | 0x0010, L"Windows NT Server, Enterprise Edition 4.0"},
        {4, 3, 0x0010 | 0x0040, L"Windows NT Server, Terminal Server Edition 4.0"},
        {4, 3, 0x0040, L"Windows NT Server, Embedded Edition 4.0"},
        {3, 3, 0x0800, L"Windows NT Server, Embedded Edition 3.51"},
    };
    for (const Row& row : rows) {
        WindowsVersionFacts facts = Nt(row.major, 0, row.productType, 0, 1381, L"Service Pack 6");
        facts.suiteMask = row.suite;
        int code = 0;
        EXPECT_EQ(std::wstring(row.name) + L" Service Pack 6 (build 1381)", Name(facts, &code));
        EXPECT_EQ(row.major == 4 ? 100400 : 100300, code);
    }
}

TEST(WindowsName, Nt4WithoutExtendedInformationReadsTheRegistryText) {
    struct Row {
        uint32_t major;
        const wchar_t* productType;
        const wchar_t* name;
    } rows[] = {
        {4, L"WINNT", L"Windows NT 4.0 Workstation"},
        {4, L"winnt", L"Windows NT 4.0 Workstation"},
        {4, L"LANMANNT", L"Windows NT  Server4.0"},
        {4, L"LanmanNt", L"Windows NT  Server4.0"},
        {4, L"SERVERNT", L"Windows NT  Server, Enterprise Edition4.0"},
        {3, L"ServerNT", L"Windows NT  Server, Enterprise Edition3.51"},
        {3, L"WinNT", L"Windows NT 3.51 Workstation"},
        {4, L"", L"Windows NT 4.0"},
        {4, L"WINNTX", L"Windows NT 4.0"},
    };
    for (const Row& row : rows) {
        WindowsVersionFacts facts = Nt(row.major, 51, 0, 0, 1057);
        facts.haveExtendedInfo = 0;
        lstrcpynW(facts.registryProductType, row.productType, 9);
        int code = 0;
        EXPECT_EQ(std::wstring(row.name) + L" (build 1057)", Name(facts, &code)) << row.productType;
        EXPECT_EQ(row.major == 4 ? 100400 : 100300, code);
    }
}

TEST(WindowsName, The95Family) {
    struct Row {
        uint32_t minor;
        const wchar_t* servicePack;
        const wchar_t* name;
        int code;
    } rows[] = {
        {0, L"", L"Windows 95", 90405},
        {0, L" A ", L"Windows 95 OSR1", 90405},
        {0, L" B ", L"Windows 95 OSR2", 90405},
        {0, L" C ", L"Windows 95 OSR2.5", 90405},
        {0, L"CBA", L"Windows 95 OSR1", 90405},
        {0, L" a ", L"Windows 95 a ", 90405},
        {10, L"", L"Windows 98", 90410},
        {10, L" A ", L"Windows 98Second Edition", 90410},
        {10, L" Z", L"Windows 98 Z", 90410},
        {90, L" A ", L"Windows Me", 90490},
        {5, L" A ", L"Windows 9x (unknown)", 90450},
    };
    for (const Row& row : rows) {
        int code = 0;
        EXPECT_EQ(row.name, Name(W9x(row.minor, row.servicePack), &code)) << row.servicePack;
        EXPECT_EQ(row.code, code);
    }
    WindowsVersionFacts facts = W9x(10, L"");
    facts.majorVersion = 5;  // the codes follow the major number
    EXPECT_EQ((5 + 900) * 100 + 10, Code(facts));
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
    FILE* file = _wfopen(path, L"wb");
    bool written = file && fwrite(&code, sizeof(code), 1, file) == 1 &&
                   fwrite(name, sizeof(wchar_t), wcslen(name) + 1, file) == wcslen(name) + 1;
    if (file) fclose(file);
    ExitProcess(written ? 0 : 1);
}
const int windowsNameReported = ReportWindowsNameIfAsked();

// Starts this program again on the child test and reads back the code and the name.
bool NameInChildProcess(int* code, std::wstring* name) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    wchar_t report[MAX_PATH];
    if (!GetTempFileNameW(directory, L"wgn", 0, report)) return false;
    SetEnvironmentVariableW(L"WGCONF_WINDOWS_NAME_REPORT", report);

    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(program) + L"\"";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE quiet = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = quiet;
    startup.hStdError = quiet;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessW(program, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetEnvironmentVariableW(L"WGCONF_WINDOWS_NAME_REPORT", nullptr);
    if (quiet != INVALID_HANDLE_VALUE) CloseHandle(quiet);
    DWORD exitCode = 1;
    if (started) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    bool read = false;
    FILE* file = _wfopen(report, L"rb");
    if (file) {
        wchar_t text[kWindowsNameCapacity] = {};
        read = fread(code, sizeof(*code), 1, file) == 1 &&
               fread(text, sizeof(wchar_t), kWindowsNameCapacity, file) > 0;
        text[kWindowsNameCapacity - 1] = 0;
        *name = text;
        fclose(file);
    }
    DeleteFileW(report);
    return started && exitCode == 0 && read;
}

TEST(WindowsNameUnderWine, FollowsTheVersionSetInThePrefix) {
    // What Wine reports for its own version settings on a 64-bit prefix.
    struct Row {
        const wchar_t* setting;
        const wchar_t* name;
        int code;
    } rows[] = {
        {L"winxp64", L"Windows XP Professional x64 Edition Service Pack 2 (build 3790)", 100520},
        {L"vista", L"Windows Vista Ultimate Edition, 64-bit Service Pack 2 (build 6002)", 100600},
        // Wine 10's default: Windows 10, which a program without a manifest sees as 6.2.
        {L"win10", L"Windows NT 6.x (unknown) Ultimate Edition, 64-bit (build 9200)", 100600},
    };
    // Wine's own Windows version for the processes started from now on.
    RegistryValueOverride setting(HKEY_CURRENT_USER, L"Software\\Wine", L"Version");
    ASSERT_TRUE(setting.Opened());
    for (const Row& row : rows) {
        ASSERT_TRUE(setting.Set(row.setting));
        int code = 0;
        std::wstring name;
        ASSERT_TRUE(NameInChildProcess(&code, &name)) << "child for " << row.setting;
        EXPECT_EQ(row.name, name);
        EXPECT_EQ(row.code, code);
    }
}

}  // namespace
