// The environment snapshot: emptied and filled from given facts, and taken for real.

#include "process_records.h"

namespace {

class EnvironmentSnapshotTest : public RecordsTest {};

void FillWithLeftovers(EnvironmentSnapshot* snapshot) {
    snapshot->windowsVersionCode = 4242;
    snapshot->screenWidth = -1;
    snapshot->screenHeight = -1;
    wmemset(snapshot->windowsName, L'q', kWindowsNameCapacity - 1);
    snapshot->windowsName[kWindowsNameCapacity - 1] = 0;
    wmemset(snapshot->wineSuffix, L'w', kWineSuffixCapacity - 1);
    snapshot->wineSuffix[kWineSuffixCapacity - 1] = 0;
}

const WineLayerFacts kOnWindows = {};

TEST_F(EnvironmentSnapshotTest, FailedVersionQueryLeavesAnEmptyNameAndCodeZero) {
    EnvironmentSnapshot snapshot;
    FillWithLeftovers(&snapshot);
    WindowsVersionFacts facts;
    memset(&facts, 0, sizeof(facts));
    BuildEnvironmentSnapshot(&snapshot, 1280, 1024, &facts, &kOnWindows);
    EXPECT_EQ(1280, snapshot.screenWidth);
    EXPECT_EQ(1024, snapshot.screenHeight);
    EXPECT_EQ(0, snapshot.windowsVersionCode);
    EXPECT_STREQ(L"", snapshot.windowsName);
    EXPECT_STREQ(L"", snapshot.wineSuffix);
}

TEST_F(EnvironmentSnapshotTest, EachSnapshotStartsOver) {
    EnvironmentSnapshot snapshot;
    FillWithLeftovers(&snapshot);
    WindowsVersionFacts facts = {};  // NT 5.0, a workstation, build 2195
    facts.versionKnown = facts.haveExtendedInfo = facts.productType = 1;
    facts.platformId = 2;
    facts.majorVersion = 5;
    facts.buildNumber = 2195;
    BuildEnvironmentSnapshot(&snapshot, 800, 600, &facts, &kOnWindows);
    EXPECT_EQ(100500, snapshot.windowsVersionCode);
    EXPECT_STREQ(L"Windows 2000 Professional (build 2195)", snapshot.windowsName);
    EXPECT_EQ(800, snapshot.screenWidth);

    // A later call after the screen changed records the new size.
    BuildEnvironmentSnapshot(&snapshot, 1920, 1080, &facts, &kOnWindows);
    EXPECT_EQ(1920, snapshot.screenWidth);
    EXPECT_EQ(1080, snapshot.screenHeight);
    EXPECT_STREQ(L"Windows 2000 Professional (build 2195)", snapshot.windowsName);
}

// The harness's screen (Xvfb at 1600 x 1200) and Wine 10's default Windows 10, named for what it
// is although this program has no manifest. (The Wine under it: InformationPageTest.ValuesOfTheRuntime.)
TEST_F(EnvironmentSnapshotTest, TakenFromTheRunningSystem) {
    FillWithLeftovers(&environmentSnapshot);
    TakeEnvironmentSnapshot();
    EXPECT_EQ(1600, environmentSnapshot.screenWidth);
    EXPECT_EQ(1200, environmentSnapshot.screenHeight);
    EXPECT_EQ(10, environmentSnapshot.windowsVersionCode);
    EXPECT_STREQ(L"Windows 10 Ultimate Edition, 64-bit (build 19043)", environmentSnapshot.windowsName);
}

}  // namespace
