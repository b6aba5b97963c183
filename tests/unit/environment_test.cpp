// The environment snapshot: emptied and filled from given facts, and taken for real.
#include <gtest/gtest.h>

#include <windows.h>
#include <string.h>

#include "probe/environment.h"

namespace {

class EnvironmentSnapshotTest : public testing::Test {
protected:
    void SetUp() override { saved = environmentSnapshot; }
    void TearDown() override { environmentSnapshot = saved; }
    EnvironmentSnapshot saved;
};

void FillWithLeftovers(EnvironmentSnapshot* snapshot) {
    snapshot->windowsVersionCode = 4242;
    snapshot->screenWidth = -1;
    snapshot->screenHeight = -1;
    wmemset(snapshot->windowsName, L'q', kWindowsNameCapacity - 1);
    snapshot->windowsName[kWindowsNameCapacity - 1] = 0;
}

TEST_F(EnvironmentSnapshotTest, FailedVersionQueryLeavesAnEmptyNameAndCodeZero) {
    EnvironmentSnapshot snapshot;
    FillWithLeftovers(&snapshot);
    WindowsVersionFacts facts;
    memset(&facts, 0, sizeof(facts));
    BuildEnvironmentSnapshot(&snapshot, 1280, 1024, &facts);
    EXPECT_EQ(1280, snapshot.screenWidth);
    EXPECT_EQ(1024, snapshot.screenHeight);
    EXPECT_EQ(0, snapshot.windowsVersionCode);
    EXPECT_STREQ(L"", snapshot.windowsName);
}

TEST_F(EnvironmentSnapshotTest, EachSnapshotStartsOver) {
    EnvironmentSnapshot snapshot;
    FillWithLeftovers(&snapshot);
    WindowsVersionFacts facts;
    memset(&facts, 0, sizeof(facts));
    facts.versionKnown = 1;
    facts.haveExtendedInfo = 1;
    facts.platformId = 2;
    facts.majorVersion = 5;
    facts.minorVersion = 0;
    facts.productType = 1;
    facts.buildNumber = 2195;
    BuildEnvironmentSnapshot(&snapshot, 800, 600, &facts);
    EXPECT_EQ(100500, snapshot.windowsVersionCode);
    EXPECT_STREQ(L"Windows 2000 Professional (build 2195)", snapshot.windowsName);
    EXPECT_EQ(800, snapshot.screenWidth);

    // A later call after the screen changed records the new size.
    BuildEnvironmentSnapshot(&snapshot, 1920, 1080, &facts);
    EXPECT_EQ(1920, snapshot.screenWidth);
    EXPECT_EQ(1080, snapshot.screenHeight);
    EXPECT_STREQ(L"Windows 2000 Professional (build 2195)", snapshot.windowsName);
}

TEST_F(EnvironmentSnapshotTest, TakenFromTheRunningSystem) {
    FillWithLeftovers(&environmentSnapshot);
    EXPECT_EQ(1, TakeEnvironmentSnapshot());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), environmentSnapshot.screenWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), environmentSnapshot.screenHeight);
    EXPECT_GT(environmentSnapshot.screenWidth, 0);

    wchar_t name[kWindowsNameCapacity] = L"";
    EXPECT_EQ(GetWindowsName(name), environmentSnapshot.windowsVersionCode);
    EXPECT_STREQ(name, environmentSnapshot.windowsName);
    EXPECT_NE(L'q', environmentSnapshot.windowsName[0]);
    EXPECT_NE(0, environmentSnapshot.windowsVersionCode);
}

}  // namespace
