// One guard for the process-wide records that the unit tests change: each is saved when the
// guard is made and put back as it was when it goes. A fixture holds one as a member, so the
// records come back after its TearDown whatever its tests set.
#pragma once

#include <string.h>

#include "entry/install_paths.h"
#include "options/game_options.h"
#include "options/ini_document.h"
#include "probe/capability.h"
#include "probe/directx_probe.h"
#include "probe/environment.h"
#include "support/mail_form.h"

struct ProcessRecordsGuard {
    int language = languageIndex;
    OptionsRecord options = gameOptions;
    EnvironmentSnapshot environment = environmentSnapshot;
    DirectXFacts directX = directXFacts;
    SupportPlatform platform = supportPlatform;
    HANDLE session = capabilitySession;
    int fromCaller = sessionFromCaller;
    int available = capabilityAvailable;
    const CapabilityRecord* record = capabilityRecord;
    VidqStartFunction start = vidqStart;
    VidqEndFunction end = vidqEnd;
    VidqGetInformationFunction information = vidqGetInformation;
    void* (*allocate)(size_t) = iniAllocate;
    wchar_t install[kPathCapacity];
    wchar_t work[kPathCapacity];

    ProcessRecordsGuard() {
        memcpy(install, installDirectory, sizeof(install));
        memcpy(work, workDirectory, sizeof(work));
    }
    ~ProcessRecordsGuard() {
        languageIndex = language;
        gameOptions = options;
        environmentSnapshot = environment;
        directXFacts = directX;
        supportPlatform = platform;
        capabilitySession = session;
        sessionFromCaller = fromCaller;
        capabilityAvailable = available;
        capabilityRecord = record;
        vidqStart = start;
        vidqEnd = end;
        vidqGetInformation = information;
        iniAllocate = allocate;
        memcpy(installDirectory, install, sizeof(install));
        memcpy(workDirectory, work, sizeof(work));
    }
    ProcessRecordsGuard(const ProcessRecordsGuard&) = delete;
    ProcessRecordsGuard& operator=(const ProcessRecordsGuard&) = delete;
};
