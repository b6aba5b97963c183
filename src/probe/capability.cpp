// The tool's side of the graphics-capability library: adopting the caller's session or loading
// vidq.dll from the installation, the session that the Graphic page opens, and the close.
#include "probe/capability.h"

#include <wchar.h>

#include "entry/bounded_text.h"
#include "entry/install_paths.h"
#include "probe/directx_probe.h"
#include "probe/display_modes.h"

HANDLE capabilitySession;
int sessionFromCaller;
int capabilityAvailable;
HMODULE capabilityLibrary;
VidqStartFunction vidqStart;
VidqEndFunction vidqEnd;
VidqGetInformationFunction vidqGetInformation;
const CapabilityRecord* capabilityRecord;

static const uint32_t kFirstUsableDirectX = 9000;

template <typename Function>
static Function LookUpEntry(HMODULE library, const char* name) {
    // Through a plain function pointer type, which every compiler accepts as a neutral cast.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

static void ForgetEntries() {
    vidqStart = nullptr;
    vidqEnd = nullptr;
    vidqGetInformation = nullptr;
}

void OpenCapabilityLibrary() {
    ForgetEntries();
    capabilityRecord = nullptr;
    if (capabilityLibrary) {
        // Left over from a run that never closed; nothing of it is used any more.
        FreeLibrary(capabilityLibrary);
        capabilityLibrary = nullptr;
    }

    if (capabilitySession) {
        capabilityAvailable = 1;
        sessionFromCaller = 1;
        return;
    }
    capabilityAvailable = 0;
    sessionFromCaller = 0;

    const wchar_t* fileName = L"vidq.dll";
    if (wcslen(installDirectory) + wcslen(fileName) >= kPathCapacity) return;  // a cut path names another file
    wchar_t path[kPathCapacity];
    CopyBounded(path, kPathCapacity, installDirectory);
    AppendBounded(path, kPathCapacity, fileName);

    capabilityLibrary = LoadLibraryW(path);
    if (!capabilityLibrary) return;
    vidqStart = LookUpEntry<VidqStartFunction>(capabilityLibrary, "_VIDQ_Start@12");
    vidqEnd = LookUpEntry<VidqEndFunction>(capabilityLibrary, "_VIDQ_End@4");
    vidqGetInformation = LookUpEntry<VidqGetInformationFunction>(capabilityLibrary, "_VIDQ_GetInformation@8");
    if (!vidqStart || !vidqEnd || !vidqGetInformation) {
        // A damaged library is never called; it stays loaded until the close like any other.
        ForgetEntries();
        return;
    }
    capabilityAvailable = directXFacts.directXVersion >= kFirstUsableDirectX ? 1 : 0;
}

const CapabilityRecord* ObtainCapabilityRecord(HWND mainWindow) {
    capabilityRecord = nullptr;
    if (!capabilityAvailable) return nullptr;

    const CapabilityRecord* record = nullptr;
    if (sessionFromCaller) {
        record = VIDQ_GetInformation(capabilitySession, kCapabilityKindInformation);
    } else {
        if (!vidqStart || !vidqGetInformation) return nullptr;
        if (!capabilitySession) {
            RECT emptyRectangle = {0, 0, 0, 0};
            capabilitySession = vidqStart(mainWindow, &emptyRectangle, 1);
            // No session: no record, and the library is not asked about a null session.
            if (!capabilitySession) return nullptr;
        }
        record = vidqGetInformation(capabilitySession, kCapabilityKindInformation);
    }
    if (record) {
        capabilityRecord = record;
        ChooseSelectableModes();
    }
    return record;
}

void CloseCapabilityLibrary() {
    // vidqEnd is only looked up when the tool loaded the library, so a caller's session stays open.
    if (vidqEnd && capabilitySession) {
        vidqEnd(capabilitySession);
        capabilitySession = 0;
    }
    vidqEnd = nullptr;
    capabilityRecord = nullptr;
    if (capabilityLibrary) {
        FreeLibrary(capabilityLibrary);
        capabilityLibrary = nullptr;
    }
    ForgetEntries();
}

int CountCapabilityLevels(const uint32_t* levels, int capacity) {
    int count = 0;
    while (levels && count < capacity && levels[count] != 0) ++count;
    return count;
}
