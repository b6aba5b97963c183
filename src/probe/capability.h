// The tool's side of the graphics-capability library: which session it uses, whether the
// library may be used, and the record that the Graphic page obtains.
#pragma once

#include "probe/capability_record.h"

// Bound at load time; the caller's session is used with this entry.
extern "C" const CapabilityRecord* WINAPI VIDQ_GetInformation(HANDLE session, int kind);

extern HANDLE capabilitySession;        // 0 when none
extern int sessionFromCaller;           // 1: the caller's session, used but never ended
extern int capabilityAvailable;         // 1: the library may be used
extern HMODULE capabilityLibrary;       // vidq.dll when the tool loaded it itself
extern VidqStartFunction vidqStart;     // entries looked up in capabilityLibrary
extern VidqEndFunction vidqEnd;
extern VidqGetInformationFunction vidqGetInformation;
extern const CapabilityRecord* capabilityRecord;  // obtained by ObtainCapabilityRecord, or null

// Start-up: adopt the caller's session, or load installDirectory + "vidq.dll".
void OpenCapabilityLibrary();
// Graphic page initialisation: start a session when needed and fetch the record.
// Returns the record or null; also stored in capabilityRecord.
const CapabilityRecord* ObtainCapabilityRecord(HWND mainWindow);
// Dialog close: end the tool's own session (never the caller's) and unload the library.
void CloseCapabilityLibrary();
// Number of leading non-zero entries of a level list of the given capacity.
int CountCapabilityLevels(const uint32_t* levels, int capacity);
