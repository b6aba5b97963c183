#include "entry/install_paths.h"

#include <shlwapi.h>

#include "entry/bounded_text.h"
#include "resources/resource.h"

HINSTANCE moduleHandle;
wchar_t installDirectory[kPathCapacity];
wchar_t workDirectory[kPathCapacity];
int languageIndex = 1;

HINSTANCE ResourceModule() {
    return moduleHandle ? moduleHandle : GetModuleHandleW(nullptr);
}

int DirectoryOfPath(const wchar_t* path) {
    wchar_t fullPath[kPathCapacity];
    DWORD length = GetFullPathNameW(path, kPathCapacity, fullPath, nullptr);
    if (length == 0 || length >= kPathCapacity) return 0;  // failed, or would not fit
    int cut = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (fullPath[i] == L'\\' || fullPath[i] == L'/') cut = static_cast<int>(i) + 1;
    }
    fullPath[cut] = 0;
    CopyBounded(workDirectory, kPathCapacity, fullPath);
    return 1;
}

// The files kept in the work directory; each full path has to fit a path buffer.
static const wchar_t* const kWorkFileNames[] = {L"GameOption.ini", L"mail_support.html",
                                                L"JoyStickUser\\SelectJoyStick.ini"};

int WorkValueFits(int length) {
    if (length <= 0 || length >= kPathCapacity) return 0;
    for (const wchar_t* name : kWorkFileNames) {
        if (length + static_cast<int>(wcslen(name)) >= kPathCapacity) return 0;
    }
    return 1;
}

int ResolveInstallPaths() {
    wchar_t modulePath[kPathCapacity];
    DWORD length = GetModuleFileNameW(ResourceModule(), modulePath, kPathCapacity);
    // A cut file name would give a wrong directory.
    return ResolveInstallPathsFor(length > 0 && length < kPathCapacity ? modulePath : nullptr);
}

int ResolveInstallPathsFor(const wchar_t* libraryPath) {
    wchar_t configPath[kPathCapacity];
    if (!libraryPath || !DirectoryOfPath(libraryPath) ||
        !JoinPath(configPath, kPathCapacity, workDirectory, L"config.ini")) {
        // Every path would be relative, found through the current directory.
        installDirectory[0] = 0;
        workDirectory[0] = 0;
        return 0;
    }
    CopyBounded(installDirectory, kPathCapacity, workDirectory);

    // One unit more than the directory holds: a value that fills it all was cut.
    wchar_t work[kPathCapacity + 1];
    DWORD length = GetPrivateProfileStringW(L"DIR", L"work", L"", work, kPathCapacity + 1, configPath);
    if (WorkValueFits(static_cast<int>(length))) CopyBounded(workDirectory, kPathCapacity, work);
    languageIndex = static_cast<int>(GetPrivateProfileIntW(L"SYSTEM", L"language", 1, configPath));
    return 1;
}

const wchar_t* WorkFileDirectory() {
    if (lstrcmpW(workDirectory, installDirectory) == 0 || PathIsDirectoryW(workDirectory)) return workDirectory;
    return installDirectory;
}

HMODULE LoadInstalledLibrary(const wchar_t* fileName) {
    wchar_t path[kPathCapacity];
    if (!JoinPath(path, kPathCapacity, installDirectory, fileName)) return nullptr;
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

int LoadText(UINT baseId, wchar_t* buffer, int capacity) {
    if (capacity <= 0) return 0;
    // Only English (0) and Japanese (1) have texts; anything else shows the default, Japanese.
    int language = (languageIndex == 0 || languageIndex == 1) ? languageIndex : 1;
    int length = LoadStringW(ResourceModule(), baseId + IDS_LANGUAGE_STRIDE * static_cast<UINT>(language), buffer, capacity);
    if (length <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return length;
}
