// The tool's side of the graphics-capability library: which session it uses, whether the
// library may be used, and the record that the Graphic page obtains.
#pragma once

#include "probe/capability_record.h"

extern HANDLE capabilitySession;        // 0 when none
extern int sessionFromCaller;           // 1: the caller's session, used but never ended
extern int capabilityAvailable;         // 1: the library may be used
extern HMODULE capabilityLibrary;       // vidq.dll when the tool loaded it itself
// Entries looked up in capabilityLibrary; for a caller's session, only vidqGetInformation, in
// the caller's own copy when the process holds one.
extern VidqStartFunction vidqStart;
extern VidqEndFunction vidqEnd;
extern VidqGetInformationFunction vidqGetInformation;
extern const CapabilityRecord* capabilityRecord;  // obtained by ObtainCapabilityRecord, or null

// Start-up: adopt the caller's session, or load installDirectory + "vidq.dll" by its full path.
void OpenCapabilityLibrary();
// Graphic page initialisation: start a session when needed and fetch the record.
// Returns the record or null; also stored in capabilityRecord.
const CapabilityRecord* ObtainCapabilityRecord(HWND mainWindow);
// Dialog close: end the tool's own session (never the caller's) and unload the library.
void CloseCapabilityLibrary();
// Number of leading non-zero entries of a level list of the given capacity.
int CountCapabilityLevels(const uint32_t* levels, int capacity);
