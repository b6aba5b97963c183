// Placeholder: replaced by the capability library stand-in.
#include "probe/capability_record.h"
extern "C" HANDLE WINAPI VIDQ_Start(HWND, const RECT*, int) { return nullptr; }
extern "C" int WINAPI VIDQ_End(HANDLE) { return 0; }
extern "C" const CapabilityRecord* WINAPI VIDQ_GetInformation(HANDLE, int) { return nullptr; }
