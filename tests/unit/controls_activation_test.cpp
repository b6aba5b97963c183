// The library's activation context for one call: made from the module's manifest, activated,
// then deactivated with its cookie and released once; nothing held when a step fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/controls_activation.h"

namespace {

// Stand-ins for the platform's functions: they log each call and answer as told.
HANDLE const kContext = reinterpret_cast<HANDLE>(0x5150);
HMODULE const kModule = reinterpret_cast<HMODULE>(0x10000000);
std::vector<std::string> calls;
HANDLE created;
BOOL activated;

HANDLE WINAPI FakeCreate(PCACTCTXW d) {
    bool asked = d->cbSize == sizeof(ACTCTXW) && d->dwFlags == (ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID) && d->hModule == kModule && !d->lpSource &&
                 d->lpResourceName == MAKEINTRESOURCEW(2);
    calls.push_back(asked ? "create from resource 2 of the module" : "create from something else");
    return created;
}
BOOL WINAPI FakeActivate(HANDLE context, ULONG_PTR* cookie) {
    calls.push_back(context == kContext ? "activate" : "activate another");
    *cookie = 77;
    return activated;
}
BOOL WINAPI FakeDeactivate(DWORD flags, ULONG_PTR cookie) {
    calls.push_back("deactivate " + std::to_string(flags) + " " + std::to_string(cookie));
    return TRUE;
}
void WINAPI FakeRelease(HANDLE context) { calls.push_back(context == kContext ? "release" : "release another"); }

TEST(ControlsActivation, HeldForTheCallAndGivenUpOnceOrNotAtAll) {
    using Calls = std::vector<std::string>;
    const std::string create = "create from resource 2 of the module";
    const struct {
        const char* what;
        HANDLE created;
        BOOL activated;
        Calls entering, leaving;
    } cases[] = {
        {"made and activated", kContext, TRUE, {create, "activate"}, {"deactivate 0 77", "release"}},
        {"no context (a damaged library)", INVALID_HANDLE_VALUE, TRUE, {create}, {}},
        {"activation refused", kContext, FALSE, {create, "activate", "release"}, {}},
    };
    for (const auto& c : cases) {
        created = c.created;
        activated = c.activated;
        calls.clear();
        ControlsActivation activation;
        EnterControlsActivation(&activation, {FakeCreate, FakeActivate, FakeDeactivate, FakeRelease}, kModule);
        EXPECT_EQ(calls, c.entering) << c.what;
        calls.clear();
        LeaveControlsActivation(&activation);
        LeaveControlsActivation(&activation);  // the second finds nothing held
        EXPECT_EQ(calls, c.leaving) << c.what;
    }
}

}  // namespace
