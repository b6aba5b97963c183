// The tool's side of the graphics-capability library: adopting the caller's session or loading
// vidq.dll from the installation by its full path, the session that the Graphic page opens,
// and the close.
#include "probe/capability.h"

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
static const wchar_t kLibraryName[] = L"vidq.dll";
static const char kGetInformationEntry[] = "_VIDQ_GetInformation@8";

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
    capabilityAvailable = 0;

    if (capabilitySession) {
        sessionFromCaller = 1;
        // The caller's session belongs to the copy that the caller loaded; the installation's
        // is asked only when the process holds none. VIDQ_End is never looked up for it.
        HMODULE library = GetModuleHandleW(kLibraryName);
        if (!library) library = capabilityLibrary = LoadInstalledLibrary(kLibraryName);
        if (library) vidqGetInformation = LookUpEntry<VidqGetInformationFunction>(library, kGetInformationEntry);
        capabilityAvailable = vidqGetInformation ? 1 : 0;
        return;
    }
    sessionFromCaller = 0;

    capabilityLibrary = LoadInstalledLibrary(kLibraryName);
    if (!capabilityLibrary) return;
    vidqStart = LookUpEntry<VidqStartFunction>(capabilityLibrary, "_VIDQ_Start@12");
    vidqEnd = LookUpEntry<VidqEndFunction>(capabilityLibrary, "_VIDQ_End@4");
    vidqGetInformation = LookUpEntry<VidqGetInformationFunction>(capabilityLibrary, kGetInformationEntry);
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
        record = vidqGetInformation(capabilitySession, kCapabilityKindInformation);
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
