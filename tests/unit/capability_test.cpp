// The capability library against the stand-in vidq.dll: copies of it are put into a temporary
// installation directory, and its call log (vidq-calls.log beside each copy) shows what was called.

#include "entry/bounded_text.h"
#include "probe/display_modes.h"
#include "process_records.h"
#include "shared/test_support.h"

// This program binds vidq.dll at load time, as a game that hands in its own session does.
extern "C" __declspec(dllimport) const CapabilityRecord* WINAPI VIDQ_GetInformation(HANDLE session, int kind);

namespace {

class CapabilityTest : public RecordsTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.Made());
        CopyBounded(installDirectory, kPathCapacity, directory.c_str());
        directXFacts.directXVersion = 9904;
        capabilitySession = 0;
        FreeDisplayCatalogue();
    }
    void TearDown() override {
        CloseCapabilityLibrary();
        FreeDisplayCatalogue();

        EXPECT_TRUE(RemoveTree(directory));  // fails while the tool still holds its copy
    }
    void InstallStandIn(const wchar_t* builtName) {
        ASSERT_TRUE(CopyFileW((ProgramDirectory() + builtName).c_str(), (directory + L"vidq.dll").c_str(), FALSE));
    }
    std::vector<std::string> Log() { return SplitLines(ReadBytes(directory + L"vidq-calls.log")); }
    // The library that the tool loaded is this test's copy, not the one bound at load time.
    std::wstring LoadedPath() {
        wchar_t path[MAX_PATH] = {};
        if (capabilityLibrary) GetModuleFileNameW(capabilityLibrary, path, MAX_PATH);
        return path;
    }
    void ExpectNothingHeld() {
        EXPECT_EQ(nullptr, capabilityLibrary);
        EXPECT_TRUE(vidqStart == nullptr && vidqEnd == nullptr && vidqGetInformation == nullptr);
        EXPECT_EQ(nullptr, capabilityRecord);
        EXPECT_EQ(nullptr, capabilitySession);
    }

    ScratchDirectory scratch{L"capability"};
    const std::wstring directory = scratch.Path();
};

TEST_F(CapabilityTest, OwnSessionIsStartedReadAndEnded) {
    InstallStandIn(L"vidq.dll");
    OpenCapabilityLibrary();
    EXPECT_EQ(1, capabilityAvailable);
    EXPECT_EQ(0, sessionFromCaller);
    EXPECT_EQ(directory + L"vidq.dll", LoadedPath());
    EXPECT_TRUE(vidqStart && vidqEnd && vidqGetInformation);
    EXPECT_TRUE(Log().empty());

    const CapabilityRecord* record = ObtainCapabilityRecord(nullptr);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(record, capabilityRecord);
    EXPECT_NE(nullptr, capabilitySession);
    EXPECT_STREQ(L"Wingmere Test PC", record->makerName);
    EXPECT_EQ(3, CountCapabilityLevels(record->antiAliasLevels, kCapabilityMaxAntiAliasLevels));
    EXPECT_EQ(4, CountCapabilityLevels(record->anisotropyLevels, kCapabilityMaxAnisotropyLevels));
    // The default table, in table order, without its header and the small or unknown shapes.
    ASSERT_EQ(8u, selectableModeCount);
    EXPECT_EQ(1024u, selectableModes[0].width);
    EXPECT_EQ(576u, selectableModes[0].height);
    EXPECT_EQ(1920u, selectableModes[7].width);
    EXPECT_EQ(1080u, selectableModes[7].height);

    // A second request reuses the session.
    EXPECT_EQ(record, ObtainCapabilityRecord(nullptr));
    CloseCapabilityLibrary();
    EXPECT_EQ((std::vector<std::string>{"start 1", "information 1 5", "information 1 5", "end 1", "unload"}), Log());
    ExpectNothingHeld();
    EXPECT_EQ(nullptr, GetModuleHandleW((directory + L"vidq.dll").c_str()));
}

TEST_F(CapabilityTest, OldDirectXLoadsButNeverStarts) {
    InstallStandIn(L"vidq.dll");
    directXFacts.directXVersion = 8100;
    OpenCapabilityLibrary();
    EXPECT_EQ(0, capabilityAvailable);
    EXPECT_EQ(directory + L"vidq.dll", LoadedPath());
    EXPECT_EQ(nullptr, ObtainCapabilityRecord(nullptr));
    CloseCapabilityLibrary();
    EXPECT_EQ((std::vector<std::string>{"unload"}), Log());
    ExpectNothingHeld();

    // The threshold is 9000, compared without sign.
    const uint32_t versions[] = {8999, 9000, 0xFFFFFFFFu};
    const int expected[] = {0, 1, 1};
    for (int i = 0; i < 3; ++i) {
        directXFacts.directXVersion = versions[i];
        OpenCapabilityLibrary();
        EXPECT_EQ(expected[i], capabilityAvailable) << versions[i];
        CloseCapabilityLibrary();
    }
}

TEST_F(CapabilityTest, MissingLibraryIsNotUsable) {
    capabilityAvailable = 1;
    sessionFromCaller = 1;
    OpenCapabilityLibrary();
    EXPECT_EQ(0, capabilityAvailable);
    EXPECT_EQ(0, sessionFromCaller);
    EXPECT_EQ(nullptr, ObtainCapabilityRecord(nullptr));
    CloseCapabilityLibrary();
    ExpectNothingHeld();
}

TEST_F(CapabilityTest, LibraryLackingAnEntryIsLoadedButNeverCalled) {
    for (const wchar_t* variant : {L"vidq-no-end.dll", L"vidq-no-information.dll"}) {
        SCOPED_TRACE(variant[8] == L'e' ? "without its end entry" : "without its information entry");
        InstallStandIn(variant);
        OpenCapabilityLibrary();
        EXPECT_EQ(0, capabilityAvailable);
        EXPECT_EQ(directory + L"vidq.dll", LoadedPath());
        EXPECT_TRUE(vidqStart == nullptr && vidqEnd == nullptr && vidqGetInformation == nullptr);
        EXPECT_EQ(nullptr, ObtainCapabilityRecord(nullptr));
        CloseCapabilityLibrary();
        EXPECT_EQ((std::vector<std::string>{"unload"}), Log());
        ExpectNothingHeld();
        DeleteFileW((directory + L"vidq-calls.log").c_str());
    }
}

TEST_F(CapabilityTest, RefusedSessionGivesNoRecord) {
    InstallStandIn(L"vidq.dll");
    EXPECT_TRUE(WriteBytes(directory + L"vidq.ini", "[SESSION]\r\nfail=1\r\n"));
    OpenCapabilityLibrary();
    ASSERT_EQ(1, capabilityAvailable);
    EXPECT_EQ(nullptr, ObtainCapabilityRecord(nullptr));
    EXPECT_EQ(nullptr, capabilitySession);
    EXPECT_EQ(0u, selectableModeCount);
    CloseCapabilityLibrary();
    EXPECT_EQ((std::vector<std::string>{"start failed", "unload"}), Log());
}

TEST_F(CapabilityTest, MissingRecordStillEndsTheSession) {
    InstallStandIn(L"vidq.dll");
    EXPECT_TRUE(WriteBytes(directory + L"vidq.ini", "[SESSION]\r\nrecord=0\r\n"));
    OpenCapabilityLibrary();
    EXPECT_EQ(nullptr, ObtainCapabilityRecord(nullptr));
    EXPECT_EQ(nullptr, capabilityRecord);
    EXPECT_EQ(0u, selectableModeCount);
    CloseCapabilityLibrary();
    EXPECT_EQ((std::vector<std::string>{"start 1", "information 1 5", "end 1", "unload"}), Log());
}

TEST_F(CapabilityTest, RecordFollowsTheIniBesideTheLibrary) {
    InstallStandIn(L"vidq.dll");
    EXPECT_TRUE(WriteBytes(directory + L"vidq.ini",
              "[PC]\r\nmaker=Maker A\r\nmodel=Model B\r\n[LEVELS]\r\nanisotropy=2,2,4\r\nantialias=\r\n"
              "[DEPTH]\r\nfirst=16\r\nsecond=5\r\n[RESOLUTIONS]\r\ntable=1920x1080x0, 800x600x60, 1280x1024x75, 0x0\r\n"));
    OpenCapabilityLibrary();
    const CapabilityRecord* record = ObtainCapabilityRecord(nullptr);
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ(L"Maker A", record->makerName);
    EXPECT_STREQ(L"Model B", record->modelName);
    EXPECT_EQ(3, CountCapabilityLevels(record->anisotropyLevels, kCapabilityMaxAnisotropyLevels));
    EXPECT_EQ(2u, record->anisotropyLevels[1]);
    EXPECT_EQ(0, CountCapabilityLevels(record->antiAliasLevels, kCapabilityMaxAntiAliasLevels));
    EXPECT_EQ(16u, record->depthBitsFirst);
    EXPECT_EQ(5u, record->depthBitsSecond);
    // The offsets of these fields on either build are fixed by capability_record.h.
    ASSERT_NE(nullptr, record->resolutionTable);
    EXPECT_EQ(1920u, record->resolutionTable[0].width);
    EXPECT_EQ(1280u, record->resolutionTable[2].width);
    EXPECT_EQ(75u, record->resolutionTable[2].third);
    ASSERT_EQ(1u, selectableModeCount);
    EXPECT_EQ(1280u, selectableModes[0].width);
    EXPECT_EQ(75u, selectableModes[0].frequency);
    EXPECT_EQ(3u, selectableModes[0].aspectClass);
}

// The address of a local of a fresh frame: equal before and after a call when the call left
// the stack pointer where it was.
__declspec(noinline) uintptr_t StackMark() {
    volatile int local = 0;
    return reinterpret_cast<uintptr_t>(&local);
}

TEST_F(CapabilityTest, EntriesLookedUpByNameKeepTheStack) {
    // The entries remove their own arguments (the standard call convention); a 32-bit caller
    // that expected otherwise would leave the stack pointer moved after each call. A 64-bit
    // build has one convention only, so there the marks agree in any case.
    InstallStandIn(L"vidq.dll");
    OpenCapabilityLibrary();
    ASSERT_TRUE(vidqStart && vidqEnd && vidqGetInformation);
    RECT area = {0, 0, 640, 480};
    const uintptr_t before = StackMark();
    HANDLE session = vidqStart(nullptr, &area, 1);
    const uintptr_t afterStart = StackMark();
    const CapabilityRecord* record = vidqGetInformation(session, kCapabilityKindInformation);
    const uintptr_t afterInformation = StackMark();
    int ended = vidqEnd(session);
    const uintptr_t afterEnd = StackMark();
    EXPECT_NE(nullptr, session);
    EXPECT_NE(nullptr, record);
    EXPECT_EQ(1, ended);
    EXPECT_EQ(before, afterStart);
    EXPECT_EQ(before, afterInformation);
    EXPECT_EQ(before, afterEnd);
}

TEST_F(CapabilityTest, CallersSessionIsUsedAndNeverEnded) {
    // The copy bound at load time lies beside this program and logs there.
    HMODULE bound = GetModuleHandleW(L"vidq.dll");
    ASSERT_NE(nullptr, bound);
    std::wstring boundLog = ProgramDirectory() + L"vidq-calls.log";
    bool logExisted = GetFileAttributesW(boundLog.c_str()) != INVALID_FILE_ATTRIBUTES;
    size_t logStart = ReadBytes(boundLog).size();
    HANDLE session = StartVidqSession(bound);
    ASSERT_NE(nullptr, session);
    std::string number = std::to_string(reinterpret_cast<uintptr_t>(session));

    // Whatever the DirectX version, and with a library in the installation that stays unloaded.
    InstallStandIn(L"vidq.dll");
    directXFacts.directXVersion = 8100;
    capabilitySession = session;
    OpenCapabilityLibrary();
    EXPECT_EQ(1, capabilityAvailable);
    EXPECT_EQ(1, sessionFromCaller);
    EXPECT_EQ(nullptr, capabilityLibrary);
    EXPECT_EQ(&VIDQ_GetInformation, vidqGetInformation);  // the caller's copy answers for its session
    const CapabilityRecord* record = ObtainCapabilityRecord(nullptr);
    ASSERT_NE(nullptr, record);
    EXPECT_GT(selectableModeCount, 0u);
    CloseCapabilityLibrary();
    EXPECT_EQ(session, capabilitySession);
    EXPECT_EQ(nullptr, capabilityRecord);

    std::vector<std::string> calls = SplitLines(ReadBytes(boundLog).substr(logStart));
    EXPECT_EQ((std::vector<std::string>{"start " + number, "information " + number + " 5"}), calls);
    EXPECT_TRUE(Log().empty());

    EXPECT_EQ(1, EndVidqSession(bound, session));  // still open: ours to end
    capabilitySession = 0;
    if (!logExisted) DeleteFileW(boundLog.c_str());
}

TEST(CapabilityLevels, CountsUpToTheEndOrTheCapacity) {
    const uint32_t levels[] = {2, 4, 8, 0, 16};
    EXPECT_EQ(3, CountCapabilityLevels(levels, 5));
    EXPECT_EQ(2, CountCapabilityLevels(levels, 2));
    const uint32_t none[] = {0, 4};
    EXPECT_EQ(0, CountCapabilityLevels(none, 2));
    EXPECT_EQ(0, CountCapabilityLevels(nullptr, 5));
}

}  // namespace
