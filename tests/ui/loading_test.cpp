// What the tool loads and runs, and from where: the game's libraries from the installation
// whatever the caller's search order, and nothing at all without an installation folder.
#include <gtest/gtest.h>

#include <windows.h>

#include "resources/resource.h"
#include "ui_harness.h"

using namespace ui;

// A caller in a folder of its own loads wgconf.dll by its full path with a plain LoadLibraryW,
// from a current directory that holds planted copies of both game libraries: none of them is
// loaded, and the libraries that the process holds while the dialog is open are the
// installation's.
TEST(Loading, PlainLoadTakesTheGameLibrariesFromTheInstallation) {
    Installation installation;
    ScratchDirectory caller(L"caller"), downloads(L"downloads");
    ASSERT_TRUE(installation.Ready() && caller.Made() && downloads.Made());
    std::wstring launcher = caller.File(L"launcher.exe");
    ASSERT_TRUE(CopyFileW((ProgramDirectory() + L"launcher.exe").c_str(), launcher.c_str(), FALSE));
    for (const wchar_t* planted : {L"vidq.dll", L"DSETUP.dll"}) {
        ASSERT_TRUE(CopyFileW((ProgramDirectory() + planted).c_str(), downloads.File(planted).c_str(), FALSE));
    }
    EnvironmentOverride markers(L"WINGMERE_LOAD_MARKER", L"1");

    std::wstring modules = caller.File(L"modules.txt");
    // The folder without its last backslash, which would quote the closing quote.
    std::wstring folder = installation.Directory().substr(0, installation.Directory().size() - 1);
    EXPECT_EQ(1, RunProgram(launcher,
                            L"--plain-load --dir \"" + folder + L"\" --close-after 0 --modules-file \"" + modules + L"\"",
                            downloads.Path()));
    for (const wchar_t* trace : {L"vidq.dll.loaded", L"DSETUP.dll.loaded", L"vidq-calls.log"}) {
        EXPECT_FALSE(FileExists(downloads.File(trace))) << Utf8(trace);
    }
    // The version query's library is loaded for the query alone.
    EXPECT_EQ((std::vector<std::string>{"vidq.dll=" + Utf8(installation.InInstall(L"vidq.dll")), "DSETUP.dll="}),
              SplitLines(ReadBytes(modules)));
    EXPECT_TRUE(FileExists(installation.InInstall(L"vidq.dll.loaded")));
    EXPECT_TRUE(FileExists(installation.InInstall(L"DSETUP.dll.loaded")));
}

// wgconf.dll in a folder whose path does not fit 512 units, called from a current directory
// that holds a joystick selector: the export returns 0 at once, and nothing is started.
TEST(Loading, LibraryFolderThatDoesNotFitShowsNoDialog) {
    ScratchDirectory scratch(L"deep"), current(L"current");
    ASSERT_TRUE(scratch.Made() && current.Made());
    std::wstring deep = MakeDeepDirectory(scratch.Path(), 512);
    ASSERT_FALSE(deep.empty());
    for (const wchar_t* program : {L"wgconf.dll", L"vidq.dll", L"DSETUP.dll", L"JoyStickSelector.exe"}) {
        ASSERT_TRUE(CopyFileW((ProgramDirectory() + program).c_str(), (deep + program).c_str(), FALSE));
    }
    ASSERT_TRUE(CopyFileW((ProgramDirectory() + L"JoyStickSelector.exe").c_str(),
                          current.File(L"JoyStickSelector.exe").c_str(), FALSE));
    const std::wstring marker = current.File(L"selector-started.txt");
    EnvironmentOverride report(L"WINGMERE_JOYSTICK_REPORT", marker);
    EnvironmentOverride choice(L"WINGMERE_JOYSTICK_CHOICE", L"Planted Stick");
    HMODULE library = LoadLibraryExW((deep + L"wgconf.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(nullptr, library);
    auto entry = ExportOf<ConfigDialogBoxFunction>(library, "_WGCONF_ConfigDialogBox@12");

    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(current.Path().c_str());
    DialogRun run = RunDialog(entry, nullptr, [](DialogDriver& d) {
        d.SelectTab(kInputPage);
        d.Click(kInputPage, IDC_CHANGE_JOYSTICK);
        d.Press(IDCANCEL);
    });
    FreeLibrary(library);
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(0, run.result);
    EXPECT_FALSE(run.dialogSeen);
    EXPECT_FALSE(FileExists(marker));
    EXPECT_TRUE(RemoveTree(L"\\\\?\\" + scratch.Path()));
}

// A caller that hands in a session without holding vidq.dll itself: the session is asked
// through the installation's copy, never ended, and that copy is unloaded when the call ends.
TEST(Loading, CallersSessionWithoutItsLibraryUsesTheInstallations) {
    ASSERT_EQ(nullptr, GetModuleHandleW(L"vidq.dll"));
    Installation installation;
    const HANDLE session = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(7));
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) { d.Press(IDCANCEL); }, session));
    EXPECT_EQ(installation.VidqCalls(), (std::vector<std::string>{"information 7 5", "unload"}));
}
