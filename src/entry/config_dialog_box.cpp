// The exported entry: gathers what the dialog needs, in a fixed order, and runs it modally.
#include "wgconf.h"

#include <type_traits>

#include "dialog/dialog.h"
#include "entry/controls_activation.h"
#include "entry/dialog_guard.h"
#include "entry/dpi_awareness.h"
#include "entry/install_paths.h"
#include "options/game_options.h"
#include "probe/capability.h"
#include "probe/directx_probe.h"
#include "probe/display_modes.h"
#include "probe/environment.h"
#include "resources/resource.h"

// Callers that load the library at run time take the function's type from the header.
static_assert(std::is_same<decltype(&WGCONF_ConfigDialogBox), WGCONF_ConfigDialogBoxProc>::value,
              "WGCONF_ConfigDialogBoxProc differs from the function");

static volatile LONG dialogRunning;  // the process-wide records belong to one dialog at a time

static int RunConfigDialog(HWND owner, HANDLE callerSession, LPARAM parameter) {
    if (!TakeDialogGuard(&dialogRunning)) return 0;
    // Without its own folder the tool would find every file through the current directory.
    if (!ResolveInstallPaths()) {
        GiveBackDialogGuard(&dialogRunning);
        return 0;
    }

    capabilitySession = callerSession;
    TakeEnvironmentSnapshot();
    directXFacts.directXName[0] = 0;
    directXFacts.directXVersion = ProbeDirectXVersion();
    ProbeDxDiag();
    LoadGameOptions();
    OpenCapabilityLibrary();
    EmptyDisplayCatalogue();
    if (!capabilityAvailable && BuildDisplayCatalogue()) ChooseSelectableModes();

    INT_PTR result = DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_MAIN), owner, MainDialogProc, parameter);
    // OK and Cancel release what start-up took before the dialog ends. When the dialog never
    // ran, or a quit request ended its loop, nothing has; after OK or Cancel these find nothing
    // left to release.
    CloseCapabilityLibrary();
    FreeDisplayCatalogue();
    GiveBackDialogGuard(&dialogRunning);
    return result == -1 ? 0 : 1;
}

// The whole call runs per-monitor aware, so that the screen's size is its real one and the
// dialog is laid out at the monitor's DPI, whatever the caller declares, and inside the
// library's own activation context, so that its windows are version 6 of the common controls.
// The caller's thread gets its own contexts back on every path.
extern "C" WGCONF_API int WINAPI WGCONF_ConfigDialogBox(HWND owner, HANDLE callerSession, LPARAM parameter) {
    ThreadDpiAwareness awareness;
    EnterDpiAwareness(&awareness, LookUpSetThreadDpiAwarenessContext());
    ControlsActivation activation;
    EnterControlsActivation(&activation, PlatformActivationFunctions(), ResourceModule());
    int result = RunConfigDialog(owner, callerSession, parameter);
    LeaveControlsActivation(&activation);
    LeaveDpiAwareness(&awareness);
    return result;
}
