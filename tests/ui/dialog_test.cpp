// The configuration dialog through the real export: tabs and pages, the options file that OK,
// Cancel and Initialize leave, the capability library's sessions, the joystick selector.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>

#include "entry/dpi_awareness.h"
#include "resources/resource.h"
#include "ui_harness.h"

using namespace ui;

namespace {

using Strings = std::vector<std::wstring>;
using Lines = std::vector<std::string>;

const wchar_t kMainCaption[] = L"\u30a6\u30a4\u30f3\u30b0\u30df\u30a2 \u74b0\u5883\u8a2d\u5b9a";

// GameOption.ini as the tool writes it from scratch, from the fourteen values in record order.
std::string OptionsFile(const std::vector<int>& v) {
    auto line = [](const char* key, int value) { return std::string(key) + "=" + std::to_string(value) + "\r\n"; };
    return "[DISPLAY]\r\n" + line("mode", v[0]) + line("width", v[1]) + line("height", v[2]) + "\r\n" +
           "[SYSTEM]\r\n" + line("cursor", v[3]) + line("smoke", v[4]) + line("vectorcamera", v[5]) +
           line("antialias", v[6]) + line("anisotropy", v[7]) + "\r\n" + "[INPUT]\r\n" + line("smokebutton", v[8]) +
           "\r\n" + "[SOUND]\r\n" + line("mode", v[9]) + "\r\n" + "[VOLUME]\r\n" + line("bgm", v[10]) +
           line("plane", v[11]) + line("cockpit", v[12]) + line("voice", v[13]) + "\r\n";
}

const std::vector<int> kDefaults = {1, 1024, 576, 1, 100, 1, 2, 2, 1, 1, 80, 80, 80, 80};
// A full-screen size, a smoke amount and levels that no item shows exactly.
const std::string kUnshownOptions = OptionsFile({0, 1300, 1000, 1, 250, 1, 3, 0, 1, 1, 80, 80, 80, 80});

// An installation with GameOption.ini of these bytes in its work directory, and vidq.ini when
// given.
InstallationSettings WithOptions(const std::string& bytes, const std::string& vidqIni = "") {
    InstallationSettings settings;
    settings.withGameOptions = true;
    settings.gameOptions = bytes;
    settings.vidqIni = vidqIni;
    return settings;
}

// What the tool left in GameOption.ini in the work directory.
std::string SavedOptions(const Installation& installation) {
    return ReadBytes(installation.InWork(L"GameOption.ini"));
}

bool HasLineStartingWith(const Lines& lines, const std::string& start) {
    for (const std::string& line : lines) {
        if (line.compare(0, start.size(), start) == 0) return true;
    }
    return false;
}

// The harness's screen (scripts/wine-exec.sh starts Xvfb at 1600 x 1200): the window sizes
// strictly smaller than it, and the one mode the display device reports at that size.
const Strings kWindowSizesForTheScreen = {L"1024 x 576", L"1280 x 720", L"1366 x 768"};
const wchar_t kScreenSize[] = L"1600 x 1200";

// --- Main dialog and tab host

TEST(MainDialog, TabHostLayoutAndPageSwitching) {
    Installation installation;
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        HWND tab = d.Tab();
        ASSERT_NE(tab, nullptr);
        wchar_t className[64] = {};
        GetClassNameW(tab, className, 64);
        EXPECT_STREQ(className, L"SysTabControl32");
        LONG style = GetWindowLongW(tab, GWL_STYLE);
        const LONG wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TCS_HOTTRACK;
        EXPECT_EQ(style & wanted, wanted);
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageW(tab, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
        EXPECT_EQ(WindowText(tab), L"");

        // The sizes are the tab host rules' (checked without windows): here the strip at the top
        // left, the four pages on one rectangle inside it, and the strip 2 pixels below them.
        RECT tabRectangle = ClientRectangleOf(tab, d.Dialog());
        EXPECT_EQ(tabRectangle.left, 2);
        EXPECT_EQ(tabRectangle.top, 0);
        RECT first = ClientRectangleOf(d.Page(kGraphicPage), d.Dialog());
        for (int i = 0; i < 4; ++i) {
            HWND page = d.Page(i);
            ASSERT_NE(page, nullptr) << i;
            EXPECT_EQ(GetAncestor(page, GA_PARENT), d.Dialog()) << i;
            RECT pageRectangle = ClientRectangleOf(page, d.Dialog());
            EXPECT_TRUE(EqualRect(&pageRectangle, &first)) << i;
            EXPECT_TRUE(pageRectangle.left > tabRectangle.left && pageRectangle.top > tabRectangle.top &&
                        pageRectangle.right < tabRectangle.right)
                << i;
            EXPECT_EQ(tabRectangle.bottom, pageRectangle.bottom + 2) << i;
        }

        EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(d.VisiblePageCount(), 1);
        EXPECT_EQ(d.VisiblePage(), kGraphicPage);
        for (int index : {1, 3, 2, 2, 0, 3}) {
            d.SelectTab(index);
            EXPECT_EQ(d.VisiblePageCount(), 1) << index;
            EXPECT_EQ(d.VisiblePage(), index);
        }
        EXPECT_NE(SendMessageW(d.Dialog(), WM_GETICON, ICON_SMALL, 0), 0);
        d.Press(IDCANCEL);
    }));
}

// Every control of a page within the page, and the pages and the tab strip above the buttons:
// at the display's resolution nothing is cut off or covered.
TEST(MainDialog, PagesHoldTheirControlsAboveTheButtons) {
    for (int language : {0, 1}) {
        InstallationSettings settings;
        settings.language = language;
        Installation installation(settings);
        EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
            EXPECT_EQ(LayoutFaults(d), "") << language;
            d.Press(IDCANCEL);
        }));
    }
}

// A move to a monitor of twice the DPI: the list made at run time takes its size and columns
// from the DPI that the message carries (the templates' controls are the platform's to scale).
TEST(MainDialog, InformationListFollowsTheDpiOfAMove) {
    Installation installation;
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        HWND list = d.Item(kInformationPage, IDC_INFORMATION_LIST);
        EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 260);
        RECT before, suggested;
        GetWindowRect(d.Dialog(), &before);
        suggested = {before.left, before.top, before.left + 2 * (before.right - before.left),
                     before.top + 2 * (before.bottom - before.top)};
        SendMessageW(d.Dialog(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
        RECT listRectangle;
        GetWindowRect(list, &listRectangle);
        EXPECT_EQ(listRectangle.right - listRectangle.left, 872);
        EXPECT_EQ(listRectangle.bottom - listRectangle.top, 612);
        EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 320);
        EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 520);
        RECT after;
        GetWindowRect(d.Dialog(), &after);
        std::printf("WM_DPICHANGED to 192: dialog %ldx%ld before, %ldx%ld after\n", before.right - before.left,
                    before.bottom - before.top, after.right - after.left, after.bottom - after.top);
        d.Press(IDCANCEL);
    }));
}

TEST(MainDialog, JapaneseTexts) {
    for (int language : {1, -1}) {  // a missing language key means Japanese
        InstallationSettings settings;
        settings.language = language;
        Installation installation(settings);
        EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
            EXPECT_EQ(WindowText(d.Dialog()), kMainCaption);
            EXPECT_EQ(DialogDriver::TabTexts(d.Tab()),
                      (Strings{L"\u30b0\u30e9\u30d5\u30a3\u30c3\u30af", L"\u5165\u529b", L"\u30b5\u30a6\u30f3\u30c9",
                               L"\u60c5\u5831"}));
            Strings modes = ComboItems(d.Item(kGraphicPage, IDC_SCREEN_MODE));
            EXPECT_EQ(modes, (Strings{L"\u30d5\u30eb\u30b9\u30af\u30ea\u30fc\u30f3", L"\u30a6\u30a4\u30f3\u30c9\u30a6",
                                      L"\u30dd\u30c3\u30d7\u30a2\u30c3\u30d7"}));
            EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_SMOKE_AMOUNT))[0], L"\u901a\u5e38");
            d.Press(IDCANCEL);
        }));
    }
}

TEST(MainDialog, EnglishTextsWithJapaneseTemplateCaptions) {
    InstallationSettings settings;  // English
    settings.withIcon = false;
    Installation installation(settings);
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        EXPECT_EQ(DialogDriver::TabTexts(d.Tab()), (Strings{L"Graphic", L"Input", L"Sound", L"Information"}));
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_SCREEN_MODE)),
                  (Strings{L"Full-Screen", L"Window", L"Pop-up"}));
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_SMOKE_AMOUNT)),
                  (Strings{L"Normal", L"x2", L"x3", L"x4"}));
        // The templates' captions are the same in both languages.
        EXPECT_EQ(WindowText(d.Dialog()), kMainCaption);
        EXPECT_EQ(WindowText(d.Button(IDOK)), L"\u8a2d\u5b9a");
        EXPECT_EQ(WindowText(d.Button(IDCANCEL)), L"\u30ad\u30e3\u30f3\u30bb\u30eb");
        EXPECT_EQ(WindowText(d.Button(IDC_INITIALIZE)), L"\u521d\u671f\u5316");
        EXPECT_EQ(WindowText(d.Button(IDC_USER_SUPPORT)), L"\u30e6\u30fc\u30b6\u30b5\u30dd\u30fc\u30c8");
        EXPECT_NE(FindWindowExW(d.Page(kGraphicPage), nullptr, L"Button", L"\u753b\u9762\u8a2d\u5b9a"), nullptr);
        EXPECT_EQ(WindowText(d.Item(kInputPage, IDC_CHANGE_JOYSTICK)),
                  L"\u30b8\u30e7\u30a4\u30b9\u30c6\u30a3\u30c3\u30af\u306e\u5909\u66f4");
        EXPECT_NE(FindWindowExW(d.Page(kSoundPage), nullptr, L"Button", L"3D\u30b5\u30a6\u30f3\u30c9"), nullptr);
        // No wingmere.ico: no icon of its own.
        EXPECT_EQ(SendMessageW(d.Dialog(), WM_GETICON, ICON_SMALL, 0), 0);
        d.Press(IDCANCEL);
    }));
}

// --- The options file

// Lay out GameOption.ini (or none), work the dialog, press OK, compare the file.
TEST(OptionsFile, WorkedAndSavedWithOk) {
    const struct {
        const char* what;
        bool separateWork;
        std::string file;  // none when empty
        std::string vidqIni;
        std::function<void(DialogDriver&)> script;
        std::string saved;
    } cases[] = {
        {"OK without a file: the defaults, into the separate work directory", true, "", "",
         [](DialogDriver& d) { d.Press(IDOK); }, OptionsFile(kDefaults)},
        {"screen modes refill the resolutions", false, "", "",
         [](DialogDriver& d) {
             HWND mode = d.Item(kGraphicPage, IDC_SCREEN_MODE);
             HWND resolution = d.Item(kGraphicPage, IDC_RESOLUTION);
             // Window sizes smaller than the screen (the first one even on a smaller screen).
             EXPECT_EQ(ComboSelection(mode), 1);
             EXPECT_EQ(ComboItems(resolution), kWindowSizesForTheScreen);
             EXPECT_EQ(ComboSelection(resolution), 0);

             d.Choose(kGraphicPage, IDC_SCREEN_MODE, 2);
             EXPECT_EQ(ComboItems(resolution), (Strings{kScreenSize}));
             EXPECT_EQ(ComboSelection(resolution), 0);
             EXPECT_FALSE(IsWindowEnabled(resolution));

             d.Choose(kGraphicPage, IDC_SCREEN_MODE, 0);
             EXPECT_TRUE(IsWindowEnabled(resolution));
             EXPECT_EQ(ComboItems(resolution), (Strings{L"1024 x 576", L"1024 x 768", L"1280 x 720", L"1280 x 1024",
                                                        L"1366 x 768", L"1600 x 900", L"1680 x 1050", L"1920 x 1080"}));
             EXPECT_EQ(ComboSelection(resolution), 7);
             d.Choose(kGraphicPage, IDC_RESOLUTION, 3);
             d.Press(IDOK);
         },
         OptionsFile({0, 1280, 1024, 1, 100, 1, 2, 2, 1, 1, 80, 80, 80, 80})},
        {"smoke, cursor, vector and levels", false, OptionsFile({1, 1024, 576, 0, 250, 0, 3, 0, 1, 1, 80, 80, 80, 80}),
         "[LEVELS]\r\nantialias=2,4,8\r\nanisotropy=2,2,4,16\r\n",
         [](DialogDriver& d) {
             HWND antialias = d.Item(kGraphicPage, IDC_ANTIALIAS);
             HWND anisotropy = d.Item(kGraphicPage, IDC_ANISOTROPY);
             EXPECT_EQ(ComboSelection(d.Item(kGraphicPage, IDC_SMOKE_AMOUNT)), 2);
             EXPECT_TRUE(IsChecked(d.Item(kGraphicPage, IDC_SOFTWARE_CURSOR)));
             EXPECT_FALSE(IsChecked(d.Item(kGraphicPage, IDC_VECTOR_MODE)));
             EXPECT_EQ(ComboItems(antialias), (Strings{L" 2x", L" 4x", L" 8x"}));
             EXPECT_EQ(ComboSelection(antialias), 0);  // 3 is not offered
             EXPECT_EQ(ComboItems(anisotropy), (Strings{L" 2x", L" 2x", L" 4x", L"16x"}));
             EXPECT_EQ(ComboSelection(anisotropy), 1);  // stored 0: the repeated level

             d.Choose(kGraphicPage, IDC_SMOKE_AMOUNT, 3);
             d.Click(kGraphicPage, IDC_SOFTWARE_CURSOR);
             d.Click(kGraphicPage, IDC_VECTOR_MODE);
             d.Choose(kGraphicPage, IDC_ANTIALIAS, 2);
             d.Choose(kGraphicPage, IDC_ANISOTROPY, 3);
             d.Press(IDOK);
         },
         OptionsFile({1, 1024, 576, 1, 400, 1, 8, 16, 1, 1, 80, 80, 80, 80})},
        {"an unchanged level that is not offered is kept", false,
         OptionsFile({1, 1024, 576, 1, 100, 1, 3, 99, 1, 1, 80, 80, 80, 80}), "",
         [](DialogDriver& d) { d.Press(IDOK); }, OptionsFile({1, 1024, 576, 1, 100, 1, 3, 99, 1, 1, 80, 80, 80, 80})},
        // The labels and track bars themselves are the Sound page unit test's; here what they store.
        {"Sound page track bars and 3D sound", false,
         OptionsFile({1, 1024, 576, 1, 100, 1, 2, 2, 1, 0, 0, 100, 80, 5}), "",
         [](DialogDriver& d) {
             d.SelectTab(kSoundPage);
             d.Slide(IDC_VOLUME_BGM, 37);
             d.Slide(IDC_VOLUME_COCKPIT, 0);
             d.Click(kSoundPage, IDC_SOFTWARE_3D_SOUND);
             d.Press(IDOK);
         },
         OptionsFile({1, 1024, 576, 1, 100, 1, 2, 2, 1, 1, 37, 100, 0, 5})},
    };
    for (const auto& c : cases) {
        InstallationSettings settings = WithOptions(c.file, c.vidqIni);
        settings.withGameOptions = !c.file.empty();
        settings.separateWork = c.separateWork;
        Installation installation(settings);
        EXPECT_EQ("", RunAndCheck(installation, c.script)) << c.what;
        EXPECT_EQ(SavedOptions(installation), c.saved) << c.what;
        EXPECT_TRUE(!c.separateWork || !FileExists(installation.InInstall(L"GameOption.ini"))) << c.what;
    }
}

TEST(OptionsFile, CancelEscapeAndCloseBoxLeaveTheFile) {
    const std::string file = "; kept as it is\r\n[DISPLAY]\r\nmode = 1\r\nwidth=1280\r\nheight=720\r\n\r\n\r\n"
                              "[EXTRA]\r\nkey=value\r\n[VOLUME]\r\nbgm=55\r\n";
    Installation installation(WithOptions(file));

    auto changeEverything = [](DialogDriver& d) {
        d.Choose(kGraphicPage, IDC_SCREEN_MODE, 0);
        d.Choose(kGraphicPage, IDC_SMOKE_AMOUNT, 3);
        d.Click(kGraphicPage, IDC_VECTOR_MODE);
        d.Click(kInputPage, IDC_SMOKE_TOGGLE);
        d.Slide(IDC_VOLUME_VOICE, 3);
    };
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        changeEverything(d);
        d.Press(IDCANCEL);
    }));
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        changeEverything(d);
        d.PressEscape();
        EXPECT_TRUE(d.WaitClosed());
    }));
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        changeEverything(d);
        d.CloseBox();
        EXPECT_TRUE(d.WaitClosed());
    }));
    EXPECT_EQ(SavedOptions(installation), file);
}

// An editor holds GameOption.ini (sharing reads only) when OK is pressed: the save fails and
// says so in a box owned by the dialog, with the file's full path; the file keeps its bytes and
// the dialog stays open with the player's values and its session of the capability library.
// OK again, once the editor has let go, saves, ends the session and closes.
TEST(OptionsFile, FailedSaveIsToldAndTheDialogStaysOpen) {
    const std::string file = OptionsFile({1, 1024, 576, 1, 100, 1, 2, 2, 1, 1, 33, 80, 80, 80});
    Installation installation(WithOptions(file));
    const std::wstring path = installation.InWork(L"GameOption.ini");
    SeenMessageBox box;
    HWND dialog = nullptr;
    std::string whileHeld;
    Lines callsWhileBox;
    bool openAfterBox = false;
    LRESULT musicAfterBox = -1;
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        dialog = d.Dialog();
        d.SelectTab(kSoundPage);
        d.Slide(IDC_VOLUME_BGM, 50);
        FileHolder editor(path, FILE_SHARE_READ);
        d.PostPress(IDOK);
        box = TakeMessageBox(d, L"Error", [&] { callsWhileBox = installation.VidqCalls(); });
        whileHeld = ReadBytes(path);
        openAfterBox = IsWindowVisible(d.Dialog()) != FALSE;
        musicAfterBox = SendMessageW(d.Item(kSoundPage, IDC_VOLUME_BGM), TBM_GETPOS, 0, 0);
        editor.Release();
        d.Press(IDOK);
    }));
    EXPECT_EQ(L"Error writing data\n[" + path + L"]", box.text);
    EXPECT_EQ(dialog, box.owner);
    EXPECT_EQ(file, whileHeld);
    EXPECT_EQ(callsWhileBox, (Lines{"start 1", "information 1 5"}));
    EXPECT_TRUE(openAfterBox);
    EXPECT_EQ(50, musicAfterBox);
    EXPECT_EQ(OptionsFile({1, 1024, 576, 1, 100, 1, 2, 2, 1, 1, 50, 80, 80, 80}), SavedOptions(installation));
    EXPECT_EQ(installation.VidqCalls(), (Lines{"start 1", "information 1 5", "end 1", "unload"}));
}

TEST(OptionsFile, InitializeThenCancelKeepsFileAndThenOkWritesFactoryValues) {
    const std::string file = OptionsFile({2, 1024, 768, 0, 300, 0, 8, 16, 0, 0, 10, 20, 30, 40});
    Installation installation(WithOptions(file, "[LEVELS]\r\nantialias=4,8\r\nanisotropy=8,16\r\n"));

    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        HWND resolution = d.Item(kGraphicPage, IDC_RESOLUTION);
        EXPECT_FALSE(IsWindowEnabled(resolution));
        EXPECT_EQ(ComboSelection(d.Item(kGraphicPage, IDC_ANTIALIAS)), 1);
        d.SelectTab(kSoundPage);
        d.Press(IDC_INITIALIZE);
        EXPECT_EQ(d.VisiblePage(), kSoundPage);  // the selected tab stays
        EXPECT_EQ(d.VisiblePageCount(), 1);

        EXPECT_EQ(ComboSelection(d.Item(kGraphicPage, IDC_SCREEN_MODE)), 1);
        EXPECT_TRUE(IsWindowEnabled(resolution));
        EXPECT_EQ(ComboItems(resolution), kWindowSizesForTheScreen);
        EXPECT_EQ(ComboSelection(resolution), 0);
        EXPECT_EQ(ComboSelection(d.Item(kGraphicPage, IDC_SMOKE_AMOUNT)), 0);
        EXPECT_FALSE(IsChecked(d.Item(kGraphicPage, IDC_SOFTWARE_CURSOR)));
        EXPECT_TRUE(IsChecked(d.Item(kGraphicPage, IDC_VECTOR_MODE)));
        EXPECT_EQ(ComboSelection(d.Item(kGraphicPage, IDC_ANTIALIAS)), 0);
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_ANTIALIAS)), (Strings{L" 4x", L" 8x"}));
        EXPECT_EQ(ComboSelection(d.Item(kGraphicPage, IDC_ANISOTROPY)), 0);
        EXPECT_TRUE(IsChecked(d.Item(kInputPage, IDC_SMOKE_TOGGLE)));
        EXPECT_TRUE(IsChecked(d.Item(kSoundPage, IDC_SOFTWARE_3D_SOUND)));
        for (int bar : {IDC_VOLUME_BGM, IDC_VOLUME_PLANE, IDC_VOLUME_COCKPIT, IDC_VOLUME_VOICE}) {
            EXPECT_EQ(SendMessageW(d.Item(kSoundPage, bar), TBM_GETPOS, 0, 0), 80) << bar;
        }
        for (int label : {IDC_LABEL_BGM, IDC_LABEL_PLANE, IDC_LABEL_COCKPIT, IDC_LABEL_VOICE}) {
            EXPECT_EQ(WindowText(d.Item(kSoundPage, label)), L" 80%") << label;
        }
        d.Press(IDCANCEL);
    }));
    EXPECT_EQ(SavedOptions(installation), file);

    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        d.Press(IDC_INITIALIZE);
        d.Press(IDC_INITIALIZE);  // any number of times
        d.Press(IDOK);
    }));
    EXPECT_EQ(SavedOptions(installation),
              OptionsFile({1, 1024, 576, 1, 100, 1, 4, 8, 1, 1, 80, 80, 80, 80}));
}

// --- Graphic page

TEST(GraphicPage, PopupTakesScreenSizeAndWindowResetsSize) {
    Installation installation(WithOptions(OptionsFile({2, 800, 600, 1, 100, 1, 2, 2, 1, 1, 80, 80, 80, 80})));
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        HWND resolution = d.Item(kGraphicPage, IDC_RESOLUTION);
        EXPECT_EQ(ComboSelection(d.Item(kGraphicPage, IDC_SCREEN_MODE)), 2);
        EXPECT_EQ(ComboItems(resolution), (Strings{kScreenSize}));
        EXPECT_FALSE(IsWindowEnabled(resolution));
        d.Press(IDOK);
    }));
    EXPECT_EQ(SavedOptions(installation),
              OptionsFile({2, 1600, 1200, 1, 100, 1, 2, 2, 1, 1, 80, 80, 80, 80}));

    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        d.Choose(kGraphicPage, IDC_SCREEN_MODE, 1);
        EXPECT_TRUE(IsWindowEnabled(d.Item(kGraphicPage, IDC_RESOLUTION)));
        d.Press(IDOK);
    }));
    EXPECT_EQ(SavedOptions(installation), OptionsFile(kDefaults));
}

// --- Input page and the joystick selector

TEST(InputPage, SelectorRunsWithDialogDisabledAndNameIsReadBack) {
    InstallationSettings settings = WithOptions(OptionsFile({1, 1024, 576, 1, 100, 1, 2, 2, 0, 1, 80, 80, 80, 80}));
    settings.separateWork = true;
    Installation installation(settings);
    std::wstring report = installation.InInstall(L"selector-report.txt");
    EnvironmentOverride choice(L"WINGMERE_JOYSTICK_CHOICE", L"Chosen Stick");
    EnvironmentOverride delay(L"WINGMERE_JOYSTICK_DELAY_MS", L"1500");
    EnvironmentOverride reportPath(L"WINGMERE_JOYSTICK_REPORT", report);

    RECT dialogRectangle = {};
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        d.SelectTab(kInputPage);
        HWND name = d.Item(kInputPage, IDC_JOYSTICK_NAME);
        EXPECT_EQ(WindowText(name), L"");  // nothing chosen yet
        EXPECT_FALSE(IsChecked(d.Item(kInputPage, IDC_SMOKE_TOGGLE)));
        d.Click(kInputPage, IDC_SMOKE_TOGGLE);
        GetWindowRect(d.Dialog(), &dialogRectangle);

        d.Post(kInputPage, IDC_CHANGE_JOYSTICK);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(d.Dialog()); }, 5000));
        // Still pumping: a message sent to the dialog is answered while the selector runs.
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutW(d.Dialog(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer), 0);
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(d.Dialog()) != FALSE; }, 15000));
        EXPECT_EQ(WindowText(name), L"Chosen Stick");
        d.Press(IDOK);
    }));
    EXPECT_TRUE(FileExists(installation.InWork(L"JoyStickUser\\SelectJoyStick.ini")));
    EXPECT_EQ(SavedOptions(installation), OptionsFile(kDefaults));

    // The selector's report: command line, list, and the position it was started at, in this order.
    Lines lines = SplitLines(ReadBytes(report));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "commandline= \"" + Utf8(installation.InInstall(L"JoyStick.ini")) + "\"");
    EXPECT_EQ(lines[2], "useposition=1");
    EXPECT_EQ(lines[3], "x=" + std::to_string(dialogRectangle.left - 105));
    EXPECT_EQ(lines[4], "y=" + std::to_string(dialogRectangle.top + 45));
}

// The selector program that this process started, opened to be ended; null while there is none.
HANDLE OpenStartedSelector() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    HANDLE process = nullptr;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !process; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() &&
            lstrcmpiW(PathFindFileNameW(entry.szExeFile), L"JoyStickSelector.exe") == 0) {
            process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return process;
}

// While the selector runs the player turns to a window of the caller; when the selector ends,
// the dialog is in front again. The selector runs until the test ends it.
TEST(InputPage, MainDialogComesBackToTheForegroundWhenTheSelectorEnds) {
    Installation installation;
    EnvironmentOverride choice(L"WINGMERE_JOYSTICK_CHOICE", L"Never Written");
    EnvironmentOverride delay(L"WINGMERE_JOYSTICK_DELAY_MS", L"600000");
    HWND callersWindow = CreateWindowExW(0, L"STATIC", L"Caller's window", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0,
                                         200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(callersWindow, nullptr);
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        ASSERT_TRUE(d.BringToFront());
        d.Post(kInputPage, IDC_CHANGE_JOYSTICK);
        HANDLE selector = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (selector = OpenStartedSelector()) != nullptr; }, 15000));
        bool waiting = WaitFor([&] { return !IsWindowEnabled(d.Dialog()); });
        SetForegroundWindow(callersWindow);
        bool turnedAway = WaitFor([&] { return GetForegroundWindow() == callersWindow; });
        TerminateProcess(selector, 0);
        WaitForSingleObject(selector, 15000);
        CloseHandle(selector);
        ASSERT_TRUE(waiting);
        ASSERT_TRUE(turnedAway);
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(d.Dialog()) != FALSE; }));
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == d.Dialog(); }));
        d.Press(IDCANCEL);
    }));
    DestroyWindow(callersWindow);
}

TEST(InputPage, QuitRequestDuringSelectorReachesTheCaller) {
    Installation installation;
    EnvironmentOverride choice(L"WINGMERE_JOYSTICK_CHOICE", L"Quit Stick");
    EnvironmentOverride delay(L"WINGMERE_JOYSTICK_DELAY_MS", L"1500");
    MSG stale;
    while (PeekMessageW(&stale, nullptr, 0, 0, PM_REMOVE)) {
    }

    DWORD callerThread = GetCurrentThreadId();
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        d.Post(kInputPage, IDC_CHANGE_JOYSTICK);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(d.Dialog()); }, 5000));
        PostThreadMessageW(callerThread, WM_QUIT, 7, 0);
        EXPECT_TRUE(d.WaitClosed(15000));
    }));
    MSG quit = {};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    // The dialog ended without OK: nothing saved, but the session was closed all the same.
    EXPECT_FALSE(FileExists(installation.InWork(L"GameOption.ini")));
    EXPECT_EQ(installation.VidqCalls(), (Lines{"start 1", "information 1 5", "end 1", "unload"}));
    installation.Unload();
    EXPECT_EQ(installation.VidqCalls().back(), "unload");  // the tool's own load was undone too
}

// --- The keyboard, through the input queue

TEST(Keyboard, EnterAndSpaceOnChangeJoystickRunTheSelector) {
    const std::string file = OptionsFile({1, 1024, 576, 0, 300, 0, 8, 16, 0, 0, 10, 20, 30, 40});
    Installation installation(WithOptions(file, "[LEVELS]\r\nantialias=4,8\r\nanisotropy=8,16\r\n"));
    EnvironmentOverride delay(L"WINGMERE_JOYSTICK_DELAY_MS", L"200");
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        ASSERT_TRUE(d.BringToFront());
        d.SelectTab(kInputPage);
        HWND button = d.Item(kInputPage, IDC_CHANGE_JOYSTICK);
        HWND name = d.Item(kInputPage, IDC_JOYSTICK_NAME);
        for (WORD key : {VK_RETURN, VK_SPACE}) {
            std::wstring stick = key == VK_RETURN ? L"Stick By Enter" : L"Stick By Space";
            EnvironmentOverride choice(L"WINGMERE_JOYSTICK_CHOICE", stick);
            ASSERT_TRUE(d.TabTo(button)) << key;
            DialogDriver::Keys({key});
            EXPECT_TRUE(WaitFor([&] { return WindowText(name) == stick; }, 15000)) << key;
            ASSERT_TRUE(IsWindow(d.Dialog())) << key;
            EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(d.Dialog()) != FALSE; })) << key;
        }
        // A 1010 that is not the dialog's own button is no Initialize either.
        SendMessageW(d.Dialog(), WM_COMMAND, MAKEWPARAM(IDC_INITIALIZE, BN_CLICKED), 0);
        d.Press(IDOK);
    }));
    EXPECT_EQ(SavedOptions(installation), file);  // neither reset nor changed

    // Enter on the dialog's own Initialize button still initialises.
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        ASSERT_TRUE(d.BringToFront());
        ASSERT_TRUE(d.TabTo(d.Button(IDC_INITIALIZE)));
        DialogDriver::Keys({VK_RETURN});
        EXPECT_TRUE(WaitFor([&] { return ComboSelection(d.Item(kGraphicPage, IDC_SMOKE_AMOUNT)) == 0; }));
        d.Press(IDOK);
    }));
    EXPECT_EQ(SavedOptions(installation), OptionsFile({1, 1024, 576, 1, 100, 1, 4, 8, 1, 1, 80, 80, 80, 80}));
}

TEST(Keyboard, TabbingAndOpeningListsChangeNoOption) {
    Installation installation(WithOptions(kUnshownOptions));
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        ASSERT_TRUE(d.BringToFront());
        HWND ok = d.Button(IDOK);
        ASSERT_TRUE(d.TabTo(ok));
        std::vector<int> visited;
        // One whole round of the tab order, opening and closing every list on the way.
        do {
            ASSERT_TRUE(d.KeysMovingFocus({VK_TAB}));
            HWND focus = d.Focus();
            if (GetParent(focus) == d.Page(kGraphicPage)) visited.push_back(GetDlgCtrlID(focus));
            wchar_t className[32] = {};
            GetClassNameW(focus, className, 32);
            if (lstrcmpiW(className, L"ComboBox") == 0) {
                DialogDriver::Keys({VK_F4});
                EXPECT_TRUE(WaitFor([&] { return SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
                DialogDriver::Keys({VK_ESCAPE});
                EXPECT_TRUE(WaitFor([&] { return SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
                DialogDriver::Keys({VK_MENU, VK_DOWN});
                EXPECT_TRUE(WaitFor([&] { return SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
                DialogDriver::Keys({VK_MENU, VK_UP});
                EXPECT_TRUE(WaitFor([&] { return SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
            }
        } while (d.Focus() != ok);
        std::sort(visited.begin(), visited.end());
        EXPECT_EQ(visited, (std::vector<int>{IDC_SCREEN_MODE, IDC_RESOLUTION, IDC_SMOKE_AMOUNT, IDC_SOFTWARE_CURSOR,
                                             IDC_ANTIALIAS, IDC_ANISOTROPY, IDC_VECTOR_MODE}));
        DialogDriver::Keys({VK_RETURN});
        EXPECT_TRUE(d.WaitClosed());
    }));
    EXPECT_EQ(SavedOptions(installation), kUnshownOptions);
}

TEST(Keyboard, PageKeysAndArrowsOnTheTabStripSwitchPages) {
    Installation installation(WithOptions(kUnshownOptions));
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        ASSERT_TRUE(d.BringToFront());
        // From a list of the page: the keys switch pages and do not reach the list, and the
        // focus goes from the hidden page to the strip.
        ASSERT_TRUE(d.TabTo(d.Item(kGraphicPage, IDC_RESOLUTION)));
        const struct {
            std::initializer_list<WORD> keys;
            int page;
        } steps[] = {
            {{VK_CONTROL, VK_NEXT}, kInputPage},         {{VK_CONTROL, VK_PRIOR}, kGraphicPage},
            {{VK_CONTROL, VK_TAB}, kInputPage},          {{VK_CONTROL, VK_TAB}, kSoundPage},
            {{VK_CONTROL, VK_TAB}, kInformationPage},    {{VK_CONTROL, VK_TAB}, kGraphicPage},
            {{VK_CONTROL, VK_SHIFT, VK_TAB}, kInformationPage}, {{VK_CONTROL, VK_PRIOR}, kSoundPage},
            {{VK_CONTROL, VK_NEXT}, kInformationPage},   {{VK_CONTROL, VK_NEXT}, kGraphicPage},
        };
        for (const auto& step : steps) {
            DialogDriver::Keys(step.keys);
            EXPECT_TRUE(WaitFor([&] {
                return d.VisiblePage() == step.page && d.VisiblePageCount() == 1 &&
                       SendMessageW(d.Tab(), TCM_GETCURSEL, 0, 0) == step.page;
            })) << step.page;
            EXPECT_EQ(d.Focus(), d.Tab()) << step.page;
        }
        // The tab strip takes the focus, and the arrow keys then switch pages.
        ASSERT_TRUE(d.TabTo(d.Button(IDOK)));
        ASSERT_TRUE(d.TabTo(d.Tab()));
        for (auto step : {std::make_pair(VK_RIGHT, kInputPage), std::make_pair(VK_RIGHT, kSoundPage),
                          std::make_pair(VK_LEFT, kInputPage)}) {
            DialogDriver::Keys({static_cast<WORD>(step.first)});
            EXPECT_TRUE(WaitFor([&] {
                return d.VisiblePage() == step.second && d.VisiblePageCount() == 1 &&
                       SendMessageW(d.Tab(), TCM_GETCURSEL, 0, 0) == step.second;
            })) << step.second;
        }
        d.Press(IDOK);
    }));
    EXPECT_EQ(SavedOptions(installation), kUnshownOptions);
}

// --- The capability library

TEST(CapabilityLibrary, OwnSessionIsEndedAndLibraryReleased) {
    Installation installation;
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_ANTIALIAS)), (Strings{L" 2x", L" 4x", L" 8x"}));
        d.Press(IDCANCEL);
    }));
    // Loaded for the call alone: it is gone once the call has returned.
    EXPECT_EQ(installation.VidqCalls(), (Lines{"start 1", "information 1 5", "end 1", "unload"}));
    EXPECT_EQ(GetModuleHandleW(installation.InInstall(L"vidq.dll").c_str()), nullptr);
}

TEST(CapabilityLibrary, SessionIsStartedOnTheMainDialog) {
    InstallationSettings settings;
    settings.vidqIni = "[LOG]\r\nwindow=1\r\n";
    Installation installation(settings);
    HWND dialog = nullptr;
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        dialog = d.Dialog();
        d.Press(IDCANCEL);
    }));
    ASSERT_NE(dialog, nullptr);
    std::string window = std::to_string(reinterpret_cast<uintptr_t>(dialog));
    EXPECT_EQ(installation.VidqCalls(), (Lines{"start 1 window " + window, "information 1 5", "end 1", "unload"}));
}

TEST(CapabilityLibrary, CallersSessionIsUsedAndNeverEnded) {
    Installation installation;
    ASSERT_TRUE(installation.Ready());
    std::wstring vidqPath = installation.InInstall(L"vidq.dll");
    HMODULE vidq = LoadLibraryExW(vidqPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(vidq, nullptr);
    HANDLE session = StartVidqSession(vidq);
    ASSERT_NE(session, nullptr);

    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_ANTIALIAS)), (Strings{L" 2x", L" 4x", L" 8x"}));
        d.Choose(kGraphicPage, IDC_SCREEN_MODE, 0);
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_RESOLUTION)).size(), 8u);
        d.Press(IDOK);
    }, session));
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) { d.Press(IDCANCEL); }, session));
    EXPECT_EQ(installation.VidqCalls(), (Lines{"start 1", "information 1 5", "information 1 5"}));
    EXPECT_EQ(EndVidqSession(vidq, session), 1);  // still open
    installation.Unload();
    FreeLibrary(vidq);
}

TEST(CapabilityLibrary, OldDirectXNeverStartsASession) {
    RegistryValueOverride directX(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\DirectX", L"Version", L"4.08.01.0881");
    ASSERT_TRUE(directX.Applied());
    Installation installation;
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_ANTIALIAS)), (Strings{L"nothing"}));
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_ANISOTROPY)), (Strings{L"nothing"}));
        // The full-screen list comes from the display device instead.
        d.Choose(kGraphicPage, IDC_SCREEN_MODE, 0);
        Strings offered = ComboItems(d.Item(kGraphicPage, IDC_RESOLUTION));
        std::sort(offered.begin(), offered.end());
        EXPECT_EQ(offered, (Strings{kScreenSize}));
        d.Press(IDC_INITIALIZE);
        d.Press(IDOK);
    }));
    // Factory values without the library: no anti-aliasing or anisotropy level.
    EXPECT_EQ(SavedOptions(installation),
              OptionsFile({1, 1024, 576, 1, 100, 1, 0, 0, 1, 1, 80, 80, 80, 80}));
    Lines calls = installation.VidqCalls();
    EXPECT_FALSE(HasLineStartingWith(calls, "start"));
    EXPECT_FALSE(HasLineStartingWith(calls, "information"));
    installation.Unload();
    EXPECT_EQ(GetModuleHandleW(installation.InInstall(L"vidq.dll").c_str()), nullptr);
    EXPECT_EQ(installation.VidqCalls(), (Lines{"unload"}));
}

TEST(CapabilityLibrary, FailedStartLeavesPagesUsable) {
    InstallationSettings settings;
    settings.vidqIni = "[SESSION]\r\nfail=1\r\n";
    Installation installation(settings);
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        EXPECT_EQ(ComboItems(d.Item(kGraphicPage, IDC_ANTIALIAS)).size(), 1u);
        d.Choose(kGraphicPage, IDC_SCREEN_MODE, 0);
        EXPECT_TRUE(ComboItems(d.Item(kGraphicPage, IDC_RESOLUTION)).empty());
        d.Choose(kGraphicPage, IDC_SCREEN_MODE, 1);
        d.SelectTab(kInformationPage);
        EXPECT_EQ(d.VisiblePage(), kInformationPage);
        d.Press(IDC_INITIALIZE);
        d.Press(IDOK);
    }));
    EXPECT_EQ(installation.VidqCalls(), (Lines{"start failed", "unload"}));
    EXPECT_EQ(SavedOptions(installation),
              OptionsFile({1, 1024, 576, 1, 100, 1, 0, 0, 1, 1, 80, 80, 80, 80}));
}

// --- The entry

ConfigDialogBoxFunction reentryEntry;
int reentryResult = -100;

void CALLBACK CallEntryAgain(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    reentryResult = reentryEntry(nullptr, nullptr, 0);
}

TEST(Entry, CalledAgainWhileOpenReturnsZero) {
    Installation installation;
    ASSERT_TRUE(installation.Load());
    reentryEntry = installation.Entry();
    reentryResult = -100;
    // The timer fires inside the dialog's own loop, on the caller's thread.
    SetTimer(nullptr, 0, 300, CallEntryAgain);
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        EXPECT_TRUE(WaitFor([] { return reentryResult != -100; }, 10000));
        EXPECT_TRUE(IsWindow(d.Dialog()));
        d.Press(IDCANCEL);
    }));
    EXPECT_EQ(reentryResult, 0);
    EXPECT_EQ(installation.VidqCalls(), (Lines{"start 1", "information 1 5", "end 1", "unload"}));

    // Once closed, the entry works again.
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) { d.Press(IDCANCEL); }));
}

// Faults raised at code addresses inside [begin, end), counted as they are raised: the system
// swallows a fault inside a hook or window procedure that it calls back, so the caller would
// carry on over a call into freed code without noticing it.
uintptr_t faultRangeBegin, faultRangeEnd;
LONG faultsInRange;

LONG CALLBACK CountFaultsInRange(EXCEPTION_POINTERS* info) {
    uintptr_t address = reinterpret_cast<uintptr_t>(info->ExceptionRecord->ExceptionAddress);
    if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && address >= faultRangeBegin &&
        address < faultRangeEnd) {
        InterlockedIncrement(&faultsInRange);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// A caller that frees the library once the call returned and carries on with a dialog of its own:
// nothing of the tool may be left to call into the freed code.
TEST(Entry, CallersOwnDialogWorksAfterTheLibraryIsFreed) {
    Installation installation;
    EXPECT_EQ("", RunAndCheck(installation, [](DialogDriver& d) {
        // The page keys work while the dialog is open: the tool's key filter is in place.
        ASSERT_TRUE(d.BringToFront());
        DialogDriver::Keys({VK_CONTROL, VK_TAB});
        EXPECT_TRUE(WaitFor([&] { return d.VisiblePage() == kInputPage; }));
        d.Press(IDCANCEL);
    }));
    std::wstring library = installation.InInstall(L"wgconf.dll");
    const BYTE* image = reinterpret_cast<const BYTE*>(installation.Module());
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    faultRangeBegin = reinterpret_cast<uintptr_t>(image);
    faultRangeEnd = faultRangeBegin + headers->OptionalHeader.SizeOfImage;
    faultsInRange = 0;
    installation.Unload();
    ASSERT_EQ(GetModuleHandleW(library.c_str()), nullptr);
    void* watch = AddVectoredExceptionHandler(1, CountFaultsInRange);

    CallerDialogRun caller = RunCallerDialog([](DialogDriver& d) {
        ASSERT_TRUE(d.BringToFront());
        HWND edit = d.Button(kCallerEditId);
        ASSERT_TRUE(WaitFor([&] { return d.Focus() == edit; }));
        DialogDriver::Keys({'O'});
        DialogDriver::Keys({'K'});
        EXPECT_TRUE(WaitFor([&] { return WindowText(edit) == L"ok"; }));
        ASSERT_TRUE(d.KeysMovingFocus({VK_TAB}));
        EXPECT_EQ(d.Focus(), d.Button(IDOK));
        DialogDriver::Keys({VK_RETURN});
        EXPECT_TRUE(d.WaitClosed());
    });
    EXPECT_TRUE(caller.dialogSeen);
    EXPECT_FALSE(caller.forcedClose);
    EXPECT_EQ(caller.result, IDOK);
    EXPECT_EQ(caller.text, L"ok");
    RemoveVectoredExceptionHandler(watch);
    EXPECT_EQ(faultsInRange, 0) << "calls into the freed library";
}

}  // namespace
