// Stand-in for the game's graphics-capability library, vidq.dll, so that the configuration
// tool runs and is tested without the game. Exports (see vidq.def.in):
//   _VIDQ_Start@12            VIDQ_Start(window, rectangle, mode) -> session handle, or null
//   _VIDQ_End@4               VIDQ_End(session) -> 1 for an open session, else 0
//   _VIDQ_GetInformation@8    VIDQ_GetInformation(session, 5) -> the capability record, or null
//
// What the record holds comes from vidq.ini beside the DLL (commented sample in this folder),
// read again at every VIDQ_GetInformation; without the file, or for keys it lacks, the defaults
// below apply. vidq.ini [SESSION] fail=1 makes VIDQ_Start return no session, and record=0
// makes VIDQ_GetInformation return null.
//
// Call log: every call appends one line to vidq-calls.log beside the DLL, so that tests see
// what their program did with this copy of the library:
//   start N           VIDQ_Start opened session N (sessions count from 1 in each loaded copy)
//   start N window W  the same, when vidq.ini has [LOG] window=1: W is the window handed in,
//                     as a decimal number
//   start failed      VIDQ_Start returned no session ([SESSION] fail=1)
//   information N K   VIDQ_GetInformation(session N, kind K); N is 0 for a null session
//   end N             VIDQ_End(session N)
//   unload            the library was unloaded with FreeLibrary (nothing is written when the
//                     process ends with the library still loaded)
// Lines end with CR LF. Handles that this copy never gave out are logged as their numeric value.
//
// With WINGMERE_LOAD_MARKER set, each load writes vidq.dll.loaded beside the DLL (load_marker.h).
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "load_marker.h"
#include "probe/capability_record.h"

static const int kPathUnits = MAX_PATH + 16;
static const int kMaxSessions = 64;
static const int kMaxTableRows = 64;  // rows of the table including its header

static wchar_t moduleDirectory[kPathUnits];  // with its trailing backslash
static bool sessionOpen[kMaxSessions + 1];   // index = session number
static uintptr_t nextSession = 1;

static CapabilityRecord record;
static ResolutionTableEntry table[kMaxTableRows + 1];  // room for the terminating row

static const wchar_t* const kDefaultMaker = L"Wingmere Test PC";
static const wchar_t* const kDefaultModel = L"Reference Graphics Board";
static const wchar_t* const kDefaultAnisotropy = L"2,4,8,16";
static const wchar_t* const kDefaultAntiAlias = L"2,4,8";
// The header row holds the number of rows that follow and the size of a row.
static const wchar_t* const kDefaultTable =
    L"10x12x0, 640x480x60, 800x600x60, 1024x576x60, 1024x768x60, 1280x720x60, 1280x1024x60, "
    L"1366x768x60, 1600x900x60, 1680x1050x60, 1920x1080x60";

static void FindModuleDirectory(HMODULE module) {
    DWORD length = GetModuleFileNameW(module, moduleDirectory, kPathUnits);
    if (length == 0 || length >= static_cast<DWORD>(kPathUnits)) {
        moduleDirectory[0] = 0;
        return;
    }
    wchar_t* slash = wcsrchr(moduleDirectory, L'\\');
    if (slash) slash[1] = 0;
    else moduleDirectory[0] = 0;
}

static bool FileBeside(const wchar_t* name, wchar_t* path) {
    size_t directoryLength = wcslen(moduleDirectory);
    size_t nameLength = wcslen(name);
    if (directoryLength + nameLength + 1 > static_cast<size_t>(kPathUnits)) return false;
    wmemcpy(path, moduleDirectory, directoryLength);
    wmemcpy(path + directoryLength, name, nameLength + 1);
    return true;
}

static void LogLine(const char* text) {
    wchar_t path[kPathUnits];
    if (!FileBeside(L"vidq-calls.log", path)) return;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
}

static void LogCall(const char* what, uintptr_t session, int kind, bool withKind) {
    char line[96];
    unsigned long long number = session;
    if (withKind) snprintf(line, sizeof(line), "%s %llu %d", what, number, kind);
    else snprintf(line, sizeof(line), "%s %llu", what, number);
    LogLine(line);
}

static int ReadNumber(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntW(section, key, fallback, iniPath));
}

static void ReadText(const wchar_t* iniPath, const wchar_t* section, const wchar_t* key, const wchar_t* fallback,
              wchar_t* buffer, DWORD capacity) {
    GetPrivateProfileStringW(section, key, fallback, buffer, capacity, iniPath);
}

// Reads up to `capacity` unsigned numbers separated by anything that is not a digit.
static int ParseNumbers(const wchar_t* text, uint32_t* numbers, int capacity) {
    int count = 0;
    const wchar_t* p = text;
    while (*p && count < capacity) {
        if (*p < L'0' || *p > L'9') {
            ++p;
            continue;
        }
        wchar_t* end = nullptr;
        numbers[count++] = static_cast<uint32_t>(wcstoul(p, &end, 10));
        p = end;
    }
    return count;
}

// A level list "2,4,8" ends with a 0 after its last level.
static void ParseLevels(const wchar_t* text, uint32_t* levels, int capacity) {
    int count = ParseNumbers(text, levels, capacity);
    for (int i = count; i <= capacity; ++i) levels[i] = 0;
}

// Rows "WIDTHxHEIGHT[xTHIRD]" separated by commas; the first row is the header.
static void ParseTable(const wchar_t* text) {
    ZeroMemory(table, sizeof(table));
    int rows = 0;
    const wchar_t* p = text;
    while (*p && rows < kMaxTableRows) {
        const wchar_t* comma = wcschr(p, L',');
        size_t length = comma ? static_cast<size_t>(comma - p) : wcslen(p);
        wchar_t row[64];
        if (length >= 64) length = 63;
        wmemcpy(row, p, length);
        row[length] = 0;
        uint32_t numbers[3] = {};
        if (ParseNumbers(row, numbers, 3) > 0) {
            table[rows].width = numbers[0];
            table[rows].height = numbers[1];
            table[rows].third = numbers[2];
            ++rows;
        }
        if (!comma) break;
        p = comma + 1;
    }
}

static void FillRecord() {
    wchar_t iniPath[kPathUnits];
    if (!FileBeside(L"vidq.ini", iniPath)) iniPath[0] = 0;
    const wchar_t* ini = iniPath;

    ZeroMemory(&record, sizeof(record));
    ReadText(ini, L"PC", L"maker", kDefaultMaker, record.makerName, 80);
    ReadText(ini, L"PC", L"model", kDefaultModel, record.modelName, 248);
    record.textureStageCount = ReadNumber(ini, L"LIMITS", L"texturestages", 8);
    record.maxTextureWidth = ReadNumber(ini, L"LIMITS", L"texturewidth", 8192);
    record.maxTextureHeight = ReadNumber(ini, L"LIMITS", L"textureheight", 8192);
    record.lightCount = ReadNumber(ini, L"LIMITS", L"lights", 8);
    record.streamCount = ReadNumber(ini, L"LIMITS", L"streams", 16);
    record.depthBitsFirst = ReadNumber(ini, L"DEPTH", L"first", 24);
    record.depthBitsSecond = ReadNumber(ini, L"DEPTH", L"second", 8);

    wchar_t text[1024];
    ReadText(ini, L"LEVELS", L"anisotropy", kDefaultAnisotropy, text, 1024);
    ParseLevels(text, record.anisotropyLevels, kCapabilityMaxAnisotropyLevels);
    ReadText(ini, L"LEVELS", L"antialias", kDefaultAntiAlias, text, 1024);
    ParseLevels(text, record.antiAliasLevels, kCapabilityMaxAntiAliasLevels);
    ReadText(ini, L"RESOLUTIONS", L"table", kDefaultTable, text, 1024);
    ParseTable(text);
    record.resolutionTable = table;
}

static bool SessionIsOpen(uintptr_t session) {
    return session >= 1 && session <= static_cast<uintptr_t>(kMaxSessions) && sessionOpen[session];
}

static bool SettingIsSet(const wchar_t* section, const wchar_t* key, int fallback) {
    wchar_t iniPath[kPathUnits];
    if (!FileBeside(L"vidq.ini", iniPath)) return fallback != 0;
    return GetPrivateProfileIntW(section, key, fallback, iniPath) != 0;
}

static bool SettingIsSet(const wchar_t* key, int fallback) { return SettingIsSet(L"SESSION", key, fallback); }

extern "C" HANDLE WINAPI VIDQ_Start(HWND window, const RECT*, int) {
    if (SettingIsSet(L"fail", 0) || nextSession > static_cast<uintptr_t>(kMaxSessions)) {
        LogLine("start failed");
        return nullptr;
    }
    uintptr_t session = nextSession++;
    sessionOpen[session] = true;
    if (SettingIsSet(L"LOG", L"window", 0)) {
        char line[96];
        snprintf(line, sizeof(line), "start %llu window %llu", static_cast<unsigned long long>(session),
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
        LogLine(line);
    } else {
        LogCall("start", session, 0, false);
    }
    return reinterpret_cast<HANDLE>(session);
}

extern "C" int WINAPI VIDQ_End(HANDLE session) {
    uintptr_t number = reinterpret_cast<uintptr_t>(session);
    LogCall("end", number, 0, false);
    if (!SessionIsOpen(number)) return 0;
    sessionOpen[number] = false;
    return 1;
}

extern "C" const CapabilityRecord* WINAPI VIDQ_GetInformation(HANDLE session, int kind) {
    uintptr_t number = reinterpret_cast<uintptr_t>(session);
    LogCall("information", number, kind, true);
    if (!SessionIsOpen(number) || kind != kCapabilityKindInformation) return nullptr;
    if (!SettingIsSet(L"record", 1)) return nullptr;
    FillRecord();
    return &record;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        FindModuleDirectory(instance);
        WriteLoadMarker(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        LogLine("unload");
    }
    return TRUE;
}
