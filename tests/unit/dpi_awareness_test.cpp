// The thread's DPI awareness for one call: the contexts tried in turn and the caller's given back.
#include <gtest/gtest.h>

#include <vector>

#include "entry/dpi_awareness.h"

namespace {

// A stand-in for SetThreadDpiAwarenessContext that accepts only the contexts listed, answers
// with the thread's context before the change, and logs every request.
std::vector<DPI_AWARENESS_CONTEXT> accepted;
std::vector<DPI_AWARENESS_CONTEXT> requests;
DPI_AWARENESS_CONTEXT threadContext;

DPI_AWARENESS_CONTEXT WINAPI FakeSetContext(DPI_AWARENESS_CONTEXT context) {
    requests.push_back(context);
    for (DPI_AWARENESS_CONTEXT allowed : accepted) {
        if (allowed == context) {
            DPI_AWARENESS_CONTEXT previous = threadContext;
            threadContext = context;
            return previous;
        }
    }
    return nullptr;
}

const DPI_AWARENESS_CONTEXT kV2 = DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2;
const DPI_AWARENESS_CONTEXT kV1 = DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE;
const DPI_AWARENESS_CONTEXT kSystem = DPI_AWARENESS_CONTEXT_SYSTEM_AWARE;
const DPI_AWARENESS_CONTEXT kUnaware = DPI_AWARENESS_CONTEXT_UNAWARE;

TEST(DpiAwareness, PerMonitorFirstThenFallBacksThenTheCallersOwnContext) {
    const struct {
        const char* what;
        std::vector<DPI_AWARENESS_CONTEXT> accepted;
        std::vector<DPI_AWARENESS_CONTEXT> entering;  // requests on entering
        DPI_AWARENESS_CONTEXT inside;                 // the thread's context during the call
    } cases[] = {
        {"v2", {kV2, kV1, kSystem, kUnaware}, {kV2}, kV2},
        {"v2 refused", {kV1, kSystem, kUnaware}, {kV2, kV1}, kV1},
        {"only system-aware", {kSystem, kUnaware}, {kV2, kV1, kSystem}, kSystem},
        {"all refused", {}, {kV2, kV1, kSystem}, kUnaware},
    };
    for (const auto& c : cases) {
        accepted = c.accepted;
        requests.clear();
        threadContext = kUnaware;
        ThreadDpiAwareness awareness;
        EnterDpiAwareness(&awareness, FakeSetContext);
        EXPECT_EQ(requests, c.entering) << c.what;
        EXPECT_EQ(threadContext, c.inside) << c.what;
        requests.clear();
        accepted.push_back(kUnaware);
        LeaveDpiAwareness(&awareness);
        EXPECT_EQ(threadContext, kUnaware) << c.what;
        // Nothing to give back where nothing was taken; once given back, never again.
        EXPECT_EQ(requests.size(), c.inside == kUnaware ? 0u : 1u) << c.what;
        LeaveDpiAwareness(&awareness);
        EXPECT_EQ(requests.size(), c.inside == kUnaware ? 0u : 1u) << c.what;
    }
}

TEST(DpiAwareness, NothingChangesWithoutThePlatformsFunction) {
    ThreadDpiAwareness awareness;
    EnterDpiAwareness(&awareness, nullptr);
    EXPECT_EQ(awareness.changed, 0);
    LeaveDpiAwareness(&awareness);  // must not call through the missing function
}

}  // namespace
