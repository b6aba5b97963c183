// The Graphic, Input and Sound pages and the Initialize command on real page windows, with
// the process-wide records set up by the test instead of by start-up.

#include <shlwapi.h>

#include <utility>

#include "dialog/pages.h"
#include "probe/display_modes.h"
#include "resources/resource.h"
#include "process_records.h"
#include "shared/test_support.h"

namespace {

CapabilityRecord fakeRecord;
ResolutionTableEntry fakeTable[8];
int fakeStartCalls;

HANDLE WINAPI FakeStart(HWND, const RECT*, int) {
    ++fakeStartCalls;
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(7));
}

HANDLE WINAPI FailingStart(HWND, const RECT*, int) {
    ++fakeStartCalls;
    return nullptr;
}

const CapabilityRecord* WINAPI FakeInformation(HANDLE, int) { return &fakeRecord; }

void SetLevels(uint32_t* list, std::initializer_list<uint32_t> levels) {
    int i = 0;
    for (uint32_t level : levels) list[i++] = level;
    list[i] = 0;
}

using Strings = std::vector<std::wstring>;

class DialogPagesTest : public RecordsTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.Made());
        SetScreen(1280, 1024);
        SetFactoryOptions(&gameOptions, nullptr);
        fakeStartCalls = 0;
        fakeRecord = CapabilityRecord{};
        EmptyDisplayCatalogue();

        owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        mainDialogWindow = owner;
    }

    void TearDown() override {
        for (HWND page : pages) DestroyWindow(page);
        DestroyWindow(owner);
        FreeDisplayCatalogue();
    }

    // A library that hands out fakeRecord, whose resolution table is given here.
    void UseFakeLibrary(const std::vector<ResolutionTableEntry>& rows) {
        int i = 0;
        fakeTable[i++] = {99, 99, 0};  // header row, never read
        for (const ResolutionTableEntry& row : rows) fakeTable[i++] = row;
        fakeTable[i] = {0, 0, 0};
        fakeRecord.resolutionTable = fakeTable;
        capabilityAvailable = 1;
        vidqStart = FakeStart;
        vidqGetInformation = FakeInformation;
    }

    // The screen the session runs on.
    static void SetScreen(int32_t width, int32_t height) {
        environmentSnapshot.screenWidth = width;
        environmentSnapshot.screenHeight = height;
    }
    static std::pair<int32_t, int32_t> StoredSize() { return {gameOptions.width, gameOptions.height}; }
    // The display mode and size read from the options file.
    static void StoreDisplay(int32_t mode, int32_t width, int32_t height) {
        gameOptions.displayMode = mode;
        gameOptions.width = width;
        gameOptions.height = height;
    }

    HWND CreatePage(WORD id, DLGPROC procedure) {
        HWND page = CreateDialogParamW(moduleHandle, MAKEINTRESOURCEW(id), owner, procedure, 0);
        pages.push_back(page);
        return page;
    }

    HWND CreateGraphicPage() { return CreatePage(IDD_GRAPHIC, GraphicPageProc); }


    // A folder of the scratch folder with its JoyStickUser folder; its path.
    std::wstring FolderWithJoystickUser(const wchar_t* folder) {
        std::wstring path = temp.MakeDirectory(folder);
        temp.MakeDirectory(std::wstring(folder) + L"\\JoyStickUser");
        return path;
    }
    void Click(HWND page, int id) { SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); }
    // Two clicks on the box store 1, then 0.
    void ExpectClicksToggle(HWND page, int id, int32_t OptionsRecord::*field) {
        for (int32_t stored : {1, 0}) {
            Click(page, id);
            EXPECT_EQ(gameOptions.*field, stored) << id;
        }
    }

    ScratchDirectory temp{L"pages"};
    HWND owner = nullptr;
    std::vector<HWND> pages;
};

TEST_F(DialogPagesTest, GraphicListsItsModesAndSmokeAmounts) {
    HWND page = CreateGraphicPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ComboItems(GetDlgItem(page, IDC_SCREEN_MODE)), (Strings{L"Full-Screen", L"Window", L"Pop-up"}));
    EXPECT_EQ(ComboItems(GetDlgItem(page, IDC_SMOKE_AMOUNT)), (Strings{L"Normal", L"x2", L"x3", L"x4"}));
}

// The Graphic page opened on a screen, with or without a library's table, over a stored mode
// and size: the mode and sizes it shows, what it stores, and what picking a size stores.
struct GraphicModeCase {
    const char* what;
    int32_t screenWidth, screenHeight;
    std::vector<ResolutionTableEntry> library;  // no library when empty
    int32_t mode, width, height;                // read from the options file
    int shownMode;
    Strings sizes;
    int shownSize;
    bool sizesEnabled;
    int32_t keptWidth, keptHeight;
    int pick;  // a size picked afterwards; -1 none
    int32_t pickedWidth, pickedHeight;
};

void PrintTo(const GraphicModeCase& c, std::ostream* out) { *out << c.what; }

class GraphicModeTest : public DialogPagesTest, public testing::WithParamInterface<GraphicModeCase> {};

TEST_P(GraphicModeTest, ShowsAndStoresTheSize) {
    const GraphicModeCase& c = GetParam();
    SetScreen(c.screenWidth, c.screenHeight);
    if (!c.library.empty()) UseFakeLibrary(c.library);
    StoreDisplay(c.mode, c.width, c.height);
    HWND page = CreateGraphicPage();
    if (!c.library.empty()) {
        EXPECT_EQ(fakeStartCalls, 1);
        EXPECT_EQ(capabilityRecord, &fakeRecord);
    }
    EXPECT_EQ(ComboSelection(screenModeCombo), c.shownMode);
    EXPECT_EQ(gameOptions.displayMode, c.shownMode);
    EXPECT_EQ(ComboItems(resolutionCombo), c.sizes);
    EXPECT_EQ(ComboSelection(resolutionCombo), c.shownSize);
    EXPECT_EQ(IsWindowEnabled(resolutionCombo) != FALSE, c.sizesEnabled);
    EXPECT_EQ(StoredSize(), std::make_pair(c.keptWidth, c.keptHeight));  // kept until the user picks
    if (c.pick < 0) return;
    ChooseComboItem(page, IDC_RESOLUTION, c.pick);
    EXPECT_EQ(StoredSize(), std::make_pair(c.pickedWidth, c.pickedHeight));
}

const GraphicModeCase kGraphicModeCases[] = {
    {"window sizes strictly smaller than the screen (1280 is not less than 1280)", 1280, 1024, {}, 1, 1024, 576, 1,
     {L"1024 x 576"}, 0, true, 1024, 576, -1, 0, 0},
    {"the stored window size selected", 1920, 1200, {}, 1, 1600, 900, 1,
     {L"1024 x 576", L"1280 x 720", L"1366 x 768", L"1600 x 900"}, 3, true, 1600, 900, -1, 0, 0},
    {"a small screen keeps an unlisted size until one is picked", 1024, 768, {}, 1, 1280, 720, 1, {L"1024 x 576"}, 0,
     true, 1280, 720, 0, 1024, 576},
    {"pop-up takes the screen size and disables the list", 1280, 800, {}, 2, 640, 480, 2, {L"1280 x 800"}, 0, false,
     1280, 800, -1, 0, 0},
    {"full screen from the library's table", 1280, 1024,
     {{800, 600, 60}, {1280, 1024, 60}, {1360, 768, 60}, {1280, 720, 60}, {1920, 1080, 60}}, 0, 1280, 720, 0,
     {L"1280 x 1024", L"1280 x 720", L"1920 x 1080"}, 1, true, 1280, 720, 0, 1280, 1024},
    {"an unknown mode shows full screen", 1280, 1024, {{1280, 1024, 60}}, 7, 333, 222, 0, {L"1280 x 1024"}, 0, true,
     333, 222, -1, 0, 0},
};
INSTANTIATE_TEST_SUITE_P(DialogPages, GraphicModeTest, testing::ValuesIn(kGraphicModeCases));

TEST_F(DialogPagesTest, GraphicScreenModeSwitchesRefillResolutions) {
    UseFakeLibrary({{1024, 768, 60}, {1600, 900, 60}});
    SetScreen(1600, 900);
    gameOptions.displayMode = 1;
    HWND page = CreateGraphicPage();

    ChooseComboItem(page, IDC_SCREEN_MODE, 0);
    EXPECT_EQ(gameOptions.displayMode, 0);
    EXPECT_EQ(ComboItems(resolutionCombo), (Strings{L"1024 x 768", L"1600 x 900"}));
    EXPECT_EQ(ComboSelection(resolutionCombo), 1);  // the last mode
    EXPECT_EQ(StoredSize(), std::make_pair(1600, 900));

    ChooseComboItem(page, IDC_SCREEN_MODE, 2);
    EXPECT_EQ(gameOptions.displayMode, 2);
    EXPECT_EQ(ComboItems(resolutionCombo), (Strings{L"1600 x 900"}));
    EXPECT_FALSE(IsWindowEnabled(resolutionCombo));

    ChooseComboItem(page, IDC_SCREEN_MODE, 1);
    EXPECT_EQ(gameOptions.displayMode, 1);
    EXPECT_EQ(ComboItems(resolutionCombo), (Strings{L"1024 x 576", L"1280 x 720", L"1366 x 768"}));
    EXPECT_EQ(ComboSelection(resolutionCombo), 0);
    EXPECT_TRUE(IsWindowEnabled(resolutionCombo));
    EXPECT_EQ(StoredSize(), std::make_pair(1024, 576));

    ChooseComboItem(page, IDC_RESOLUTION, 2);
    EXPECT_EQ(StoredSize(), std::make_pair(1366, 768));

    // The same mode again, or no item at all, changes nothing.
    ChooseComboItem(page, IDC_SCREEN_MODE, 1);
    EXPECT_EQ(ComboSelection(resolutionCombo), 2);
    EXPECT_EQ(gameOptions.width, 1366);
    ChooseComboItem(page, IDC_SCREEN_MODE, -1);
    EXPECT_EQ(gameOptions.displayMode, 1);
    EXPECT_EQ(ComboSelection(resolutionCombo), 2);
}

TEST_F(DialogPagesTest, GraphicEmptyFullScreenListKeepsSize) {
    StoreDisplay(1, 1024, 576);
    HWND page = CreateGraphicPage();
    ChooseComboItem(page, IDC_SCREEN_MODE, 0);
    EXPECT_EQ(gameOptions.displayMode, 0);
    EXPECT_EQ(SendMessageW(resolutionCombo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(ComboSelection(resolutionCombo), CB_ERR);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_RESOLUTION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(resolutionCombo));
    EXPECT_EQ(StoredSize(), std::make_pair(1024, 576));
}

TEST_F(DialogPagesTest, GraphicSmokeAmounts) {
    const struct {
        int32_t stored;
        int item;
        int32_t after;
    } cases[] = {{250, 2, 250}, {401, 3, 400}, {-1, 3, 400}, {0, 0, 0}, {200, 1, 200}};
    for (const auto& c : cases) {
        gameOptions.smoke = c.stored;
        HWND page = CreateGraphicPage();
        EXPECT_EQ(ComboSelection(smokeCombo), c.item) << c.stored;
        EXPECT_EQ(gameOptions.smoke, c.after) << c.stored;
        DestroyWindow(page);
        pages.clear();
    }
    HWND page = CreateGraphicPage();
    for (auto pick : {std::make_pair(1, 200), std::make_pair(3, 400), std::make_pair(0, 100)}) {
        ChooseComboItem(page, IDC_SMOKE_AMOUNT, pick.first);
        EXPECT_EQ(gameOptions.smoke, pick.second) << pick.first;
    }
}

TEST_F(DialogPagesTest, GraphicCursorAndVectorBoxes) {
    gameOptions.cursor = 0;
    gameOptions.vectorcamera = 0;
    HWND page = CreateGraphicPage();
    EXPECT_TRUE(IsChecked(softwareCursorCheck));
    EXPECT_FALSE(IsChecked(vectorModeCheck));
    ExpectClicksToggle(page, IDC_SOFTWARE_CURSOR, &OptionsRecord::cursor);
    Click(page, IDC_VECTOR_MODE);
    EXPECT_EQ(gameOptions.vectorcamera, 1);
    DestroyWindow(page);
    pages.clear();

    gameOptions.cursor = 1;
    gameOptions.vectorcamera = 1;
    CreateGraphicPage();
    EXPECT_FALSE(IsChecked(softwareCursorCheck));
    EXPECT_TRUE(IsChecked(vectorModeCheck));
}

TEST_F(DialogPagesTest, GraphicLevelsWithoutRecordOfferNothing) {
    gameOptions.antialias = 4;
    gameOptions.anisotropy = 2;
    HWND page = CreateGraphicPage();
    EXPECT_EQ(ComboItems(antiAliasCombo), (Strings{L"nothing"}));
    EXPECT_EQ(ComboItems(anisotropyCombo), (Strings{L"nothing"}));
    EXPECT_EQ(ComboSelection(antiAliasCombo), 0);
    EXPECT_EQ(gameOptions.antialias, 4);  // shown as nothing, kept until chosen
    ChooseComboItem(page, IDC_ANTIALIAS, 0);
    ChooseComboItem(page, IDC_ANISOTROPY, 0);
    EXPECT_EQ(gameOptions.antialias, 0);
    EXPECT_EQ(gameOptions.anisotropy, 0);
}

TEST_F(DialogPagesTest, GraphicLevelsFromRecord) {
    UseFakeLibrary({});
    SetLevels(fakeRecord.antiAliasLevels, {2, 4, 8});
    SetLevels(fakeRecord.anisotropyLevels, {2, 4, 8, 16});
    gameOptions.antialias = 3;
    gameOptions.anisotropy = 8;
    HWND page = CreateGraphicPage();
    EXPECT_EQ(ComboItems(antiAliasCombo), (Strings{L" 2x", L" 4x", L" 8x"}));
    EXPECT_EQ(ComboItems(anisotropyCombo), (Strings{L" 2x", L" 4x", L" 8x", L"16x"}));
    EXPECT_EQ(ComboSelection(antiAliasCombo), 0);
    EXPECT_EQ(gameOptions.antialias, 3);  // matches no level, kept
    EXPECT_EQ(ComboSelection(anisotropyCombo), 2);

    ChooseComboItem(page, IDC_ANTIALIAS, 2);
    EXPECT_EQ(gameOptions.antialias, 8);
    ChooseComboItem(page, IDC_ANISOTROPY, 3);
    EXPECT_EQ(gameOptions.anisotropy, 16);
}

TEST_F(DialogPagesTest, GraphicStoredZeroLevels) {
    UseFakeLibrary({});
    SetLevels(fakeRecord.antiAliasLevels, {2, 2, 4});
    SetLevels(fakeRecord.anisotropyLevels, {2, 2, 4});
    gameOptions.antialias = 0;
    gameOptions.anisotropy = 0;
    CreateGraphicPage();
    EXPECT_EQ(ComboSelection(antiAliasCombo), 0);
    EXPECT_EQ(ComboSelection(anisotropyCombo), 1);
}

TEST_F(DialogPagesTest, GraphicFailedSessionLeavesPageUsable) {
    UseFakeLibrary({{1280, 1024, 60}});
    vidqStart = FailingStart;
    SetLevels(fakeRecord.antiAliasLevels, {2, 4});
    gameOptions.displayMode = 0;
    HWND page = CreateGraphicPage();
    EXPECT_EQ(fakeStartCalls, 1);
    EXPECT_EQ(capabilityRecord, nullptr);
    EXPECT_EQ(SendMessageW(resolutionCombo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(ComboItems(antiAliasCombo), (Strings{L"nothing"}));
    ChooseComboItem(page, IDC_SCREEN_MODE, 1);
    EXPECT_EQ(ComboItems(resolutionCombo), (Strings{L"1024 x 576"}));
}

TEST_F(DialogPagesTest, GraphicJapaneseItems) {
    languageIndex = 1;
    CreateGraphicPage();
    EXPECT_EQ(ComboItems(screenModeCombo)[0], L"\x30D5\x30EB\x30B9\x30AF\x30EA\x30FC\x30F3");  // Full-Screen
    EXPECT_EQ(ComboItems(smokeCombo)[0], L"\x901A\x5E38");                                    // Normal
    EXPECT_EQ(ComboItems(smokeCombo)[3], L"x4");
    EXPECT_EQ(ComboItems(antiAliasCombo)[0], L"\x306A\x3057");                                // nothing
}

TEST_F(DialogPagesTest, SoundLabelsAndTrackBars) {
    gameOptions.soundMode = 0;
    gameOptions.bgm = 0;
    gameOptions.plane = 80;
    gameOptions.cockpit = 100;
    gameOptions.voice = 5;
    HWND page = CreatePage(IDD_SOUND, SoundPageProc);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_LABEL_BGM)), L"  0%");
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_LABEL_PLANE)), L" 80%");
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_LABEL_COCKPIT)), L"100%");
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_LABEL_VOICE)), L"  5%");
    HWND bgm = GetDlgItem(page, IDC_VOLUME_BGM);
    EXPECT_EQ(SendMessageW(bgm, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageW(bgm, TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(SendMessageW(GetDlgItem(page, IDC_VOLUME_PLANE), TBM_GETPOS, 0, 0), 80);
    EXPECT_EQ(SendMessageW(bgm, TBM_GETNUMTICS, 0, 0), 3);  // 0, 50 and 100
    EXPECT_FALSE(IsChecked(software3DSoundCheck));

    ExpectClicksToggle(page, IDC_SOFTWARE_3D_SOUND, &OptionsRecord::soundMode);

    SendMessageW(bgm, TBM_SETPOS, TRUE, 37);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 37), reinterpret_cast<LPARAM>(bgm));
    EXPECT_EQ(gameOptions.bgm, 37);
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_LABEL_BGM)), L" 37%");
    EXPECT_EQ(gameOptions.plane, 80);
    EXPECT_EQ(gameOptions.cockpit, 100);
    EXPECT_EQ(gameOptions.voice, 5);
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_LABEL_PLANE)), L" 80%");

    HWND voice = GetDlgItem(page, IDC_VOLUME_VOICE);
    SendMessageW(voice, TBM_SETPOS, TRUE, 100);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(voice));
    EXPECT_EQ(gameOptions.voice, 100);
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_LABEL_VOICE)), L"100%");

    // A scroll message from another window changes nothing.
    SendMessageW(bgm, TBM_SETPOS, TRUE, 90);
    SendMessageW(page, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(owner));
    SendMessageW(page, WM_HSCROLL, TB_ENDTRACK, 0);
    EXPECT_EQ(gameOptions.bgm, 37);
    EXPECT_EQ(gameOptions.voice, 100);
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_LABEL_BGM)), L" 37%");
}

TEST_F(DialogPagesTest, InputJoystickFileLocation) {
    std::wstring install = FolderWithJoystickUser(L"install");
    std::wstring work = FolderWithJoystickUser(L"work");
    std::wstring installFile = temp.Write(L"install\\JoyStickUser\\SelectJoyStick.ini", "[JOYSTICK]\r\nname=Install Stick\r\n");
    std::wstring workFile = temp.Path() + L"work\\JoyStickUser\\SelectJoyStick.ini";
    wchar_t path[kPathCapacity];

    // An empty file in the work directory: the installation's copy.
    temp.Write(L"work\\JoyStickUser\\SelectJoyStick.ini", "");
    SetDirectories(install, work);
    SelectJoyStickPath(path);
    EXPECT_EQ(std::wstring(path), installFile);

    temp.Write(L"work\\JoyStickUser\\SelectJoyStick.ini", "[JOYSTICK]\r\nname=Work Stick\r\n");
    SelectJoyStickPath(path);
    EXPECT_EQ(std::wstring(path), workFile);

    // A work directory that does not exist.
    SetDirectories(install, temp.Path() + L"nowhere\\");
    SelectJoyStickPath(path);
    EXPECT_EQ(std::wstring(path), installFile);

    // The same directory for both: read from there, even when missing.
    std::wstring bare = temp.MakeDirectory(L"bare");
    SetDirectories(bare, bare);
    SelectJoyStickPath(path);
    EXPECT_EQ(std::wstring(path), bare + L"JoyStickUser\\SelectJoyStick.ini");
}

// The two directories are one folder, spelled differently: only the same text counts as the
// same directory, so an empty file there sends the reading to the installation's spelling.
TEST_F(DialogPagesTest, InputJoystickDirectoriesComparedCaseSensitively) {
    std::wstring install = FolderWithJoystickUser(L"Game");
    temp.Write(L"Game\\JoyStickUser\\SelectJoyStick.ini", "");
    SetDirectories(install, temp.Path() + L"GAME\\");
    wchar_t path[kPathCapacity];
    SelectJoyStickPath(path);
    EXPECT_EQ(std::wstring(path), temp.Path() + L"Game\\JoyStickUser\\SelectJoyStick.ini");
}

TEST_F(DialogPagesTest, InputShowsSelectedJoystick) {
    std::wstring install = FolderWithJoystickUser(L"install");
    std::string longName(200, 'J');
    temp.Write(L"install\\JoyStickUser\\SelectJoyStick.ini", "[JOYSTICK]\r\nname=" + longName + "\r\n");
    SetDirectories(install, install);
    gameOptions.smokebutton = 0;
    HWND page = CreatePage(IDD_INPUT, InputPageProc);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_JOYSTICK_NAME)), std::wstring(127, L'J'));
    EXPECT_FALSE(IsChecked(smokeToggleCheck));
    ExpectClicksToggle(page, IDC_SMOKE_TOGGLE, &OptionsRecord::smokebutton);

    // No selector program: the dialog stays enabled and the name is read again.
    temp.Write(L"install\\JoyStickUser\\SelectJoyStick.ini", "[JOYSTICK]\r\nname=Other Stick\r\n");
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_CHANGE_JOYSTICK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(changeJoystickButton));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(WindowText(joystickNameStatic), L"Other Stick");
    EXPECT_EQ(RunSelectorAndWait((install + L"JoyStickSelector.exe").c_str(), L"\"x\""), 0);
}

// The selector and its list are in the installation directory, whole or not at all: a cut path
// would start some other program. So is the joystick file, which is then not read.
TEST_F(DialogPagesTest, InputPathsThatDoNotFitAreRefused) {
    wchar_t program[kPathCapacity], argument[kSelectorArgumentCapacity], path[kPathCapacity];
    SetDirectories(L"C:\\Games\\W\\", L"C:\\Games\\W\\");
    EXPECT_EQ(1, SelectorCommand(program, argument));
    EXPECT_STREQ(L"C:\\Games\\W\\JoyStickSelector.exe", program);
    EXPECT_STREQ(L"\"C:\\Games\\W\\JoyStick.ini\"", argument);

    // Directories of 480 to 492 units: JoyStickUser\SelectJoyStick.ini adds 31, JoyStickSelector.exe 20.
    const struct {
        size_t length;
        int selector;
        bool joystickFile;
    } cases[] = {{480, 1, true}, {481, 1, false}, {491, 1, false}, {492, 0, false}, {0, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::wstring directory = c.length ? L"C:\\" + std::wstring(c.length - 4, L'g') + L"\\" : L"";
        SetDirectories(directory, directory);
        EXPECT_EQ(c.selector, SelectorCommand(program, argument));
        EXPECT_EQ(c.selector == 1, program[0] != 0 && argument[0] != 0);
        SelectJoyStickPath(path);
        EXPECT_EQ(c.joystickFile, path[0] != 0);
    }
}

TEST_F(DialogPagesTest, InputMissingFileShowsEmptyName) {
    std::wstring install = temp.MakeDirectory(L"install");
    SetDirectories(install, install);
    gameOptions.smokebutton = 1;
    HWND page = CreatePage(IDD_INPUT, InputPageProc);
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_JOYSTICK_NAME)), L"");
    EXPECT_TRUE(IsChecked(smokeToggleCheck));
}

// Only a pick in a list or a click on a box or button acts: the focus passing through, a
// list opened and closed, a double click leave the record and the joystick name alone, even
// where the control shows another state than the record holds.
TEST_F(DialogPagesTest, NotificationsOtherThanPickOrClickChangeNothing) {
    std::wstring install = FolderWithJoystickUser(L"install");
    temp.Write(L"install\\JoyStickUser\\SelectJoyStick.ini", "[JOYSTICK]\r\nname=First Stick\r\n");
    SetDirectories(install, install);
    UseFakeLibrary({{1280, 1024, 60}, {1920, 1080, 60}});
    SetLevels(fakeRecord.antiAliasLevels, {2, 4, 8});
    SetLevels(fakeRecord.anisotropyLevels, {2, 4});
    gameOptions = OptionsRecord{0, 1300, 1000, 1, 250, 1, 3, 0, 1, 1, 80, 80, 80, 80};
    HWND graphic = CreateGraphicPage();
    HWND input = CreatePage(IDD_INPUT, InputPageProc);
    HWND sound = CreatePage(IDD_SOUND, SoundPageProc);
    const OptionsRecord before = gameOptions;
    temp.Write(L"install\\JoyStickUser\\SelectJoyStick.ini", "[JOYSTICK]\r\nname=Second Stick\r\n");

    const int combos[] = {IDC_SCREEN_MODE, IDC_RESOLUTION, IDC_SMOKE_AMOUNT, IDC_ANTIALIAS, IDC_ANISOTROPY};
    for (int id : combos) SendMessageW(GetDlgItem(graphic, id), CB_SETCURSEL, 1, 0);
    const struct {
        HWND page;
        int id;
    } buttons[] = {{graphic, IDC_SOFTWARE_CURSOR}, {graphic, IDC_VECTOR_MODE}, {input, IDC_SMOKE_TOGGLE},
                   {input, IDC_CHANGE_JOYSTICK}, {sound, IDC_SOFTWARE_3D_SOUND}};
    for (const auto& b : buttons) {
        HWND box = GetDlgItem(b.page, b.id);
        SendMessageW(box, BM_SETCHECK, IsChecked(box) ? BST_UNCHECKED : BST_CHECKED, 0);
    }

    for (int id : combos) {
        for (WORD code : {CBN_SETFOCUS, CBN_KILLFOCUS, CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELENDOK, CBN_SELENDCANCEL,
                          CBN_DBLCLK}) {
            SendMessageW(graphic, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(graphic, id)));
        }
    }
    for (const auto& b : buttons) {
        for (WORD code : {BN_SETFOCUS, BN_KILLFOCUS, BN_DOUBLECLICKED, BN_HILITE, BN_UNHILITE}) {
            SendMessageW(b.page, WM_COMMAND, MAKEWPARAM(b.id, code), reinterpret_cast<LPARAM>(GetDlgItem(b.page, b.id)));
        }
    }
    EXPECT_EQ(memcmp(&gameOptions, &before, sizeof(before)), 0);
    EXPECT_EQ(WindowText(joystickNameStatic), L"First Stick");
}

// A later call must never meet a window of an earlier dialog.
TEST_F(DialogPagesTest, MainDialogForgetsItsWindowsWhenItEnds) {
    HWND dialog = CreateDialogParamW(moduleHandle, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    const struct {
        const char* name;
        HWND* window;
    } held[] = {
        {"mainDialogWindow", &mainDialogWindow}, {"tabControl", &tabControl},
        {"graphic page", &pageWindows[0]},       {"input page", &pageWindows[1]},
        {"sound page", &pageWindows[2]},         {"information page", &pageWindows[3]},
        {"informationList", &informationList},   {"screenModeCombo", &screenModeCombo},
        {"resolutionCombo", &resolutionCombo},   {"smokeCombo", &smokeCombo},
        {"softwareCursorCheck", &softwareCursorCheck}, {"antiAliasCombo", &antiAliasCombo},
        {"anisotropyCombo", &anisotropyCombo},   {"vectorModeCheck", &vectorModeCheck},
        {"smokeToggleCheck", &smokeToggleCheck}, {"changeJoystickButton", &changeJoystickButton},
        {"joystickNameStatic", &joystickNameStatic}, {"software3DSoundCheck", &software3DSoundCheck},
        {"bgm bar", &volumeTrackBars[0]},        {"voice bar", &volumeTrackBars[3]},
        {"bgm label", &volumeLabels[0]},         {"voice label", &volumeLabels[3]},
    };
    EXPECT_EQ(mainDialogWindow, dialog);
    for (const auto& h : held) EXPECT_TRUE(IsWindow(*h.window)) << h.name;
    DestroyWindow(dialog);
    for (const auto& h : held) EXPECT_EQ(*h.window, nullptr) << h.name;
}

TEST_F(DialogPagesTest, InitializeResetsRecordAndControls) {
    UseFakeLibrary({{1280, 1024, 60}});
    SetLevels(fakeRecord.antiAliasLevels, {2, 4, 8});
    SetLevels(fakeRecord.anisotropyLevels, {4, 8});
    SetScreen(1280, 800);
    gameOptions = OptionsRecord{2, 1280, 800, 0, 300, 0, 8, 8, 0, 0, 10, 20, 30, 40};
    HWND graphic = CreateGraphicPage();
    CreatePage(IDD_INPUT, InputPageProc);
    HWND sound = CreatePage(IDD_SOUND, SoundPageProc);
    EXPECT_FALSE(IsWindowEnabled(resolutionCombo));
    EXPECT_EQ(ComboSelection(antiAliasCombo), 2);

    RunInitializeCommand();
    const int32_t expected[14] = {1, 1024, 576, 1, 100, 1, 2, 4, 1, 1, 80, 80, 80, 80};
    EXPECT_EQ(memcmp(&gameOptions, expected, sizeof(expected)), 0);
    EXPECT_EQ(ComboSelection(screenModeCombo), 1);
    EXPECT_EQ(ComboItems(resolutionCombo), (Strings{L"1024 x 576"}));  // 1280 is not less than 1280
    EXPECT_EQ(ComboSelection(resolutionCombo), 0);
    EXPECT_TRUE(IsWindowEnabled(resolutionCombo));
    EXPECT_EQ(ComboSelection(smokeCombo), 0);
    EXPECT_FALSE(IsChecked(softwareCursorCheck));
    EXPECT_TRUE(IsChecked(vectorModeCheck));
    EXPECT_EQ(ComboSelection(antiAliasCombo), 0);
    EXPECT_EQ(ComboItems(antiAliasCombo)[0], L" 2x");
    EXPECT_EQ(SendMessageW(antiAliasCombo, CB_GETCOUNT, 0, 0), 3);  // not rebuilt
    EXPECT_EQ(ComboSelection(anisotropyCombo), 0);
    EXPECT_TRUE(IsChecked(smokeToggleCheck));
    EXPECT_TRUE(IsChecked(software3DSoundCheck));
    for (int i = 0; i < kVolumeCount; ++i) {
        EXPECT_EQ(SendMessageW(volumeTrackBars[i], TBM_GETPOS, 0, 0), 80);
        EXPECT_EQ(WindowText(volumeLabels[i]), L" 80%");
    }

    // The pages react normally afterwards: the screen mode is already Window.
    ChooseComboItem(graphic, IDC_SCREEN_MODE, 1);
    EXPECT_EQ(SendMessageW(resolutionCombo, CB_GETCOUNT, 0, 0), 1);
    (void)sound;
}

TEST_F(DialogPagesTest, InitializeWithoutLibraryAndOnSmallOrLargeScreens) {
    CreateGraphicPage();
    CreatePage(IDD_INPUT, InputPageProc);
    CreatePage(IDD_SOUND, SoundPageProc);

    SetScreen(800, 600);
    gameOptions.antialias = 8;
    RunInitializeCommand();
    EXPECT_EQ(gameOptions.antialias, 0);
    EXPECT_EQ(gameOptions.anisotropy, 0);
    EXPECT_EQ(ComboItems(resolutionCombo), (Strings{L"1024 x 576"}));

    SetScreen(1920, 1200);
    RunInitializeCommand();  // a second time: the list is rebuilt, not extended
    EXPECT_EQ(ComboItems(resolutionCombo), (Strings{L"1024 x 576", L"1280 x 720", L"1366 x 768", L"1600 x 900"}));
}

}  // namespace
