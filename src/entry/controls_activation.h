// The activation context of the library's own manifest for the length of one call: windows
// made inside it are version 6 of the common controls, themed like the rest of the desktop,
// whatever the calling program's manifest says. The caller's thread gets its own context back.
#pragma once

#include <windows.h>

// The platform's activation functions, or stand-ins for them.
struct ActivationFunctions {
    HANDLE(WINAPI* create)(PCACTCTXW description);
    BOOL(WINAPI* activate)(HANDLE context, ULONG_PTR* cookie);
    BOOL(WINAPI* deactivate)(DWORD flags, ULONG_PTR cookie);
    void(WINAPI* release)(HANDLE context);
};

struct ControlsActivation {
    ActivationFunctions functions;
    HANDLE context;    // INVALID_HANDLE_VALUE when none is held
    ULONG_PTR cookie;  // the activation's, while `context` is held
};

// CreateActCtxW, ActivateActCtx, DeactivateActCtx and ReleaseActCtx of kernel32.
ActivationFunctions PlatformActivationFunctions();

// Makes a context from the module's manifest at ISOLATIONAWARE_MANIFEST_RESOURCE_ID and
// activates it on the thread. When either step fails, nothing is held and the thread keeps
// the context it had (a damaged library then shows the version that the caller gets).
void EnterControlsActivation(ControlsActivation* activation, const ActivationFunctions& functions, HMODULE module);
// Deactivates the context with its cookie and releases it; does nothing when none is held.
void LeaveControlsActivation(ControlsActivation* activation);
