// One activation of the library's manifest around the export's work.
#include "entry/controls_activation.h"

ActivationFunctions PlatformActivationFunctions() {
    return ActivationFunctions{CreateActCtxW, ActivateActCtx, DeactivateActCtx, ReleaseActCtx};
}

void EnterControlsActivation(ControlsActivation* activation, const ActivationFunctions& functions, HMODULE module) {
    activation->functions = functions;
    activation->context = INVALID_HANDLE_VALUE;
    activation->cookie = 0;
    ACTCTXW description = {};
    description.cbSize = sizeof(description);
    // The loaded module itself, not a path: the library may have been loaded from anywhere.
    description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    description.lpResourceName = ISOLATIONAWARE_MANIFEST_RESOURCE_ID;
    description.hModule = module;
    HANDLE context = functions.create(&description);
    if (context == INVALID_HANDLE_VALUE) return;
    ULONG_PTR cookie = 0;
    if (!functions.activate(context, &cookie)) {
        functions.release(context);
        return;
    }
    activation->context = context;
    activation->cookie = cookie;
}

void LeaveControlsActivation(ControlsActivation* activation) {
    if (activation->context == INVALID_HANDLE_VALUE) return;
    activation->functions.deactivate(0, activation->cookie);
    activation->functions.release(activation->context);
    activation->context = INVALID_HANDLE_VALUE;
    activation->cookie = 0;
}
