// One guard for the process-wide records that the unit tests change: each is saved when the
// guard is made and put back as it was when it goes. A fixture holds one as a member, so the
// records come back after its TearDown whatever its tests set.
#pragma once

#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <commctrl.h>

#include "entry/files.h"
#include "entry/install_paths.h"
#include "options/game_options.h"
#include "options/ini_document.h"
#include "probe/capability.h"
#include "probe/directx_probe.h"
#include "probe/environment.h"
#include "support/mail_form.h"

// One record, copied when made and copied back when it goes (arrays byte for byte).
template <typename T>
struct RestoredRecord {
    T& record;
    T saved;
    explicit RestoredRecord(T& kept) : record(kept) { memcpy(&saved, &kept, sizeof(T)); }
    ~RestoredRecord() { memcpy(&record, &saved, sizeof(T)); }
    RestoredRecord(const RestoredRecord&) = delete;
    RestoredRecord& operator=(const RestoredRecord&) = delete;
};

struct ProcessRecordsGuard {
    RestoredRecord<int> language{languageIndex}, available{capabilityAvailable}, fromCaller{sessionFromCaller};
    RestoredRecord<OptionsRecord> options{gameOptions};
    RestoredRecord<OptionsBaseline> baseline{optionsBaseline};
    RestoredRecord<FilePlatform> files{filePlatform};
    RestoredRecord<EnvironmentSnapshot> environment{environmentSnapshot};
    RestoredRecord<DirectXFacts> directX{directXFacts};
    RestoredRecord<SupportPlatform> platform{supportPlatform};
    RestoredRecord<wchar_t[kPathCapacity]> install{installDirectory}, work{workDirectory};
    RestoredRecord<HANDLE> session{capabilitySession};
    RestoredRecord<const CapabilityRecord*> record{capabilityRecord};
    RestoredRecord<VidqStartFunction> start{vidqStart};
    RestoredRecord<VidqEndFunction> end{vidqEnd};
    RestoredRecord<VidqGetInformationFunction> information{vidqGetInformation};
    RestoredRecord<void* (*)(size_t)> allocate{iniAllocate};
};

// Points the tool at an installation and a work directory.
inline void SetDirectories(const std::wstring& install, const std::wstring& work) {
    lstrcpynW(installDirectory, install.c_str(), kPathCapacity);
    lstrcpynW(workDirectory, work.c_str(), kPathCapacity);
}

inline void WINAPI SkipWait(DWORD) {}

// A read that meets a fault of the disk: the file opened, but its bytes cannot be read.
inline BOOL WINAPI FailingReadFile(HANDLE, LPVOID, DWORD, LPDWORD read, LPOVERLAPPED) {
    if (read) *read = 0;
    SetLastError(ERROR_READ_FAULT);
    return FALSE;
}

// A fixture whose tests change the process-wide records. Its tests start in English, with the
// common controls registered, no capability library, and reads of held files that try again
// without waiting.
class RecordsTest : public testing::Test {
protected:
    RecordsTest() {
        filePlatform.wait = SkipWait;
        InitCommonControls();
        languageIndex = 0;
        capabilityAvailable = 0;
        sessionFromCaller = 0;
        capabilitySession = nullptr;
        capabilityRecord = nullptr;
        vidqStart = nullptr;
        vidqEnd = nullptr;
        vidqGetInformation = nullptr;
    }
    ProcessRecordsGuard records;
};
