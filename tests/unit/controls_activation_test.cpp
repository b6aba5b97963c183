// The library's activation context for one call: made from the module's manifest, activated,
// and deactivated with its cookie and released once; nothing held when a step fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "entry/controls_activation.h"

namespace {

// Stand-ins for the platform's functions, which log every call and answer as told.
HANDLE const kContext = reinterpret_cast<HANDLE>(0x5150);
HMODULE const kModule = reinterpret_cast<HMODULE>(0x10000000);
std::vector<std::string> calls;
HANDLE createAnswer;
BOOL activateAnswer;

HANDLE WINAPI FakeCreate(PCACTCTXW description) {
    char line[128];
    snprintf(line, sizeof(line), "create size %s flags 0x%lx resource %u module %s source %s",
             description->cbSize == sizeof(ACTCTXW) ? "ok" : "wrong", description->dwFlags,
             static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(description->lpResourceName)),
             description->hModule == kModule ? "given" : "other", description->lpSource ? "set" : "none");
    calls.push_back(line);
    return createAnswer;
}

BOOL WINAPI FakeActivate(HANDLE context, ULONG_PTR* cookie) {
    calls.push_back(context == kContext ? "activate" : "activate other");
    if (activateAnswer) *cookie = 77;
    return activateAnswer;
}

BOOL WINAPI FakeDeactivate(DWORD flags, ULONG_PTR cookie) {
    calls.push_back("deactivate flags " + std::to_string(flags) + " cookie " + std::to_string(cookie));
    return TRUE;
}

void WINAPI FakeRelease(HANDLE context) { calls.push_back(context == kContext ? "release" : "release other"); }

using Calls = std::vector<std::string>;

TEST(ControlsActivation, HeldForTheCallAndGivenUpOnceOrNotAtAll) {
    const std::string create = "create size ok flags 0x88 resource 2 module given source none";
    const struct {
        const char* what;
        HANDLE created;
        BOOL activated;
        Calls entering, leaving;
    } cases[] = {
        {"made and activated", kContext, TRUE, {create, "activate"}, {"deactivate flags 0 cookie 77", "release"}},
        {"no context (a damaged library)", INVALID_HANDLE_VALUE, TRUE, {create}, {}},
        {"activation refused", kContext, FALSE, {create, "activate", "release"}, {}},
    };
    const ActivationFunctions fakes = {FakeCreate, FakeActivate, FakeDeactivate, FakeRelease};
    for (const auto& c : cases) {
        createAnswer = c.created;
        activateAnswer = c.activated;
        calls.clear();
        ControlsActivation activation;
        EnterControlsActivation(&activation, fakes, kModule);
        EXPECT_EQ(calls, c.entering) << c.what;
        calls.clear();
        LeaveControlsActivation(&activation);
        LeaveControlsActivation(&activation);  // a second leave finds nothing held
        EXPECT_EQ(calls, c.leaving) << c.what;
    }
}

}  // namespace
