// The process-wide records belong to one dialog at a time, whichever threads call the export:
// a guard taken and given back with interlocked operations.
#pragma once

#include <windows.h>

// 1 when the guard was free and is now held by the caller; 0 while another holds it.
inline int TakeDialogGuard(volatile LONG* guard) { return InterlockedCompareExchange(guard, 1, 0) == 0; }

inline void GiveBackDialogGuard(volatile LONG* guard) { InterlockedExchange(guard, 0); }
