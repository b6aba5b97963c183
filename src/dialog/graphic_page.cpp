// The Graphic page: screen mode and resolution, smoke, cursor, vector camera, anti-aliasing
// and anisotropic filtering. Every control change goes into the options record at once.
#include <windows.h>

#include "dialog/pages.h"
#include "entry/bounded_text.h"
#include "entry/install_paths.h"
#include "options/game_options.h"
#include "probe/capability.h"
#include "probe/display_modes.h"
#include "probe/environment.h"
#include "resources/resource.h"

const WindowSize WindowSizeTable[kWindowSizeCount] = {
    {1024, 576}, {1280, 720}, {1366, 768}, {1600, 900}, {1920, 1080},
};

HWND screenModeCombo;
HWND resolutionCombo;
HWND smokeCombo;
HWND softwareCursorCheck;
HWND antiAliasCombo;
HWND anisotropyCombo;
HWND vectorModeCheck;

enum { kSizeTextCapacity = 32 };  // a resolution item

static void AddComboText(HWND combo, const wchar_t* text) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

static void AddComboResource(HWND combo, UINT id) {
    wchar_t text[kTextCapacity];
    LoadText(id, text, kTextCapacity);
    AddComboText(combo, text);
}

static void InsertSizeItem(HWND combo, int index, uint32_t width, uint32_t height) {
    wchar_t text[kSizeTextCapacity];
    FormatBounded(text, kSizeTextCapacity, L"%d x %d", static_cast<int>(width), static_cast<int>(height));
    SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
}

int FillWindowSizeCombo(HWND combo) {
    int count = CountFittingSizes(WindowSizeTable, kWindowSizeCount, environmentSnapshot.screenWidth,
                                  environmentSnapshot.screenHeight);
    if (count == 0) count = 1;  // the smallest window is offered even on a smaller screen
    for (int i = 0; i < count; ++i) {
        InsertSizeItem(combo, i, static_cast<uint32_t>(WindowSizeTable[i].width),
                       static_cast<uint32_t>(WindowSizeTable[i].height));
    }
    return count;
}

static void FillPopupCombo(HWND combo) {
    InsertSizeItem(combo, 0, static_cast<uint32_t>(environmentSnapshot.screenWidth),
                   static_cast<uint32_t>(environmentSnapshot.screenHeight));
}

static void FillFullScreenCombo(HWND combo) {
    for (uint32_t i = 0; i < selectableModeCount; ++i) {
        InsertSizeItem(combo, static_cast<int>(i), selectableModes[i].width, selectableModes[i].height);
    }
}

// Item of the stored size among the offered window sizes, or 0.
static int StoredWindowSizeItem(int count) {
    int item = 0;
    for (int i = 0; i < count; ++i) {
        if (WindowSizeTable[i].width == gameOptions.width && WindowSizeTable[i].height == gameOptions.height) {
            item = i;
        }
    }
    return item;
}

static int StoredFullScreenItem() {
    int item = 0;
    for (uint32_t i = 0; i < selectableModeCount; ++i) {
        if (selectableModes[i].width == static_cast<uint32_t>(gameOptions.width) &&
            selectableModes[i].height == static_cast<uint32_t>(gameOptions.height)) {
            item = static_cast<int>(i);
        }
    }
    return item;
}

static const CapabilityRecord* HeldCapabilityRecord() {
    return capabilityAvailable == 1 ? capabilityRecord : nullptr;
}

static void FillLevelCombo(HWND combo, const uint32_t* levels, int capacity, int32_t stored, int anisotropy) {
    int count = levels ? CountCapabilityLevels(levels, capacity) : 0;
    if (count == 0) {
        wchar_t nothing[kLevelTextCapacity];
        LoadText(IDS_LEVEL_NOTHING, nothing, kLevelTextCapacity);
        AddComboText(combo, nothing);
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        return;
    }
    for (int i = 0; i < count; ++i) {
        wchar_t text[kLevelTextCapacity];
        FormatBounded(text, kLevelTextCapacity, L"%2dx", static_cast<int>(levels[i]));
        AddComboText(combo, text);
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(ChooseLevelItem(levels, count, stored, anisotropy)), 0);
}

void FillAntiAliasCombo(HWND combo) {
    const CapabilityRecord* record = HeldCapabilityRecord();
    FillLevelCombo(combo, record ? record->antiAliasLevels : nullptr, kCapabilityMaxAntiAliasLevels + 1,
                   gameOptions.antialias, 0);
}

void FillAnisotropyCombo(HWND combo) {
    const CapabilityRecord* record = HeldCapabilityRecord();
    FillLevelCombo(combo, record ? record->anisotropyLevels : nullptr, kCapabilityMaxAnisotropyLevels + 1,
                   gameOptions.anisotropy, 1);
}

static int SelectedItem(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

static void InitialiseGraphicPage(HWND page) {
    UseTabBodyBackground(page);
    screenModeCombo = GetDlgItem(page, IDC_SCREEN_MODE);
    resolutionCombo = GetDlgItem(page, IDC_RESOLUTION);
    smokeCombo = GetDlgItem(page, IDC_SMOKE_AMOUNT);
    softwareCursorCheck = GetDlgItem(page, IDC_SOFTWARE_CURSOR);
    antiAliasCombo = GetDlgItem(page, IDC_ANTIALIAS);
    anisotropyCombo = GetDlgItem(page, IDC_ANISOTROPY);
    vectorModeCheck = GetDlgItem(page, IDC_VECTOR_MODE);

    AddComboResource(screenModeCombo, IDS_MODE_FULL_SCREEN);
    AddComboResource(screenModeCombo, IDS_MODE_WINDOW);
    AddComboResource(screenModeCombo, IDS_MODE_POPUP);
    for (const SmokeLevel& level : kSmokeLevels) {
        if (level.textId) AddComboResource(smokeCombo, level.textId);
        else AddComboText(smokeCombo, level.fixedText);
    }

    // Opens the session when the tool loaded the library; the record's resolution table then
    // becomes the full-screen list.
    if (capabilityAvailable == 1) ObtainCapabilityRecord(mainDialogWindow);

    int resolutionItem = 0;
    if (gameOptions.displayMode == kModeWindow) {
        resolutionItem = StoredWindowSizeItem(FillWindowSizeCombo(resolutionCombo));
        SendMessageW(screenModeCombo, CB_SETCURSEL, kModeWindow, 0);
    } else if (gameOptions.displayMode == kModePopup) {
        FillPopupCombo(resolutionCombo);
        gameOptions.width = environmentSnapshot.screenWidth;
        gameOptions.height = environmentSnapshot.screenHeight;
        SendMessageW(screenModeCombo, CB_SETCURSEL, kModePopup, 0);
        EnableWindow(resolutionCombo, FALSE);
    } else {
        FillFullScreenCombo(resolutionCombo);
        resolutionItem = StoredFullScreenItem();
        gameOptions.displayMode = kModeFullScreen;
        SendMessageW(screenModeCombo, CB_SETCURSEL, kModeFullScreen, 0);
    }
    SendMessageW(resolutionCombo, CB_SETCURSEL, static_cast<WPARAM>(resolutionItem), 0);

    int smokeItem = SmokeItemForAmount(gameOptions.smoke);
    if (smokeItem == kSmokeLevelCount - 1) gameOptions.smoke = kSmokeLevels[smokeItem].upperAmount;
    SendMessageW(smokeCombo, CB_SETCURSEL, static_cast<WPARAM>(smokeItem), 0);

    SendMessageW(softwareCursorCheck, BM_SETCHECK, gameOptions.cursor != 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(vectorModeCheck, BM_SETCHECK, gameOptions.vectorcamera == 1 ? BST_CHECKED : BST_UNCHECKED, 0);

    FillAntiAliasCombo(antiAliasCombo);
    FillAnisotropyCombo(anisotropyCombo);
}

static void ChangeScreenMode() {
    int mode = SelectedItem(screenModeCombo);
    if (mode == gameOptions.displayMode) return;
    if (mode < kModeFullScreen || mode > kModePopup) return;  // no item selected
    gameOptions.displayMode = mode;
    SendMessageW(resolutionCombo, CB_RESETCONTENT, 0, 0);
    if (mode == kModeWindow) {
        FillWindowSizeCombo(resolutionCombo);
        SendMessageW(resolutionCombo, CB_SETCURSEL, 0, 0);
        EnableWindow(resolutionCombo, TRUE);
        gameOptions.width = WindowSizeTable[0].width;
        gameOptions.height = WindowSizeTable[0].height;
    } else if (mode == kModePopup) {
        FillPopupCombo(resolutionCombo);
        SendMessageW(resolutionCombo, CB_SETCURSEL, 0, 0);
        gameOptions.width = environmentSnapshot.screenWidth;
        gameOptions.height = environmentSnapshot.screenHeight;
        EnableWindow(resolutionCombo, FALSE);
    } else {
        FillFullScreenCombo(resolutionCombo);
        EnableWindow(resolutionCombo, TRUE);
        if (selectableModeCount > 0) {
            uint32_t last = selectableModeCount - 1;
            SendMessageW(resolutionCombo, CB_SETCURSEL, last, 0);
            gameOptions.width = static_cast<int32_t>(selectableModes[last].width);
            gameOptions.height = static_cast<int32_t>(selectableModes[last].height);
        }
    }
}

static void ChangeResolution() {
    int item = SelectedItem(resolutionCombo);
    if (item < 0) return;  // an empty full-screen list
    if (gameOptions.displayMode == kModeWindow) {
        if (item >= kWindowSizeCount) return;
        gameOptions.width = WindowSizeTable[item].width;
        gameOptions.height = WindowSizeTable[item].height;
    } else if (gameOptions.displayMode == kModePopup) {
        gameOptions.width = environmentSnapshot.screenWidth;
        gameOptions.height = environmentSnapshot.screenHeight;
    } else {
        if (static_cast<uint32_t>(item) >= selectableModeCount) return;
        gameOptions.width = static_cast<int32_t>(selectableModes[item].width);
        gameOptions.height = static_cast<int32_t>(selectableModes[item].height);
    }
}

static int32_t SelectedLevel(HWND combo) {
    wchar_t text[kLevelTextCapacity] = {};
    GetWindowTextW(combo, text, kLevelTextCapacity);
    return ParseLevelText(text);
}

static int IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Lists act on a pick and check boxes on a click only: the focus passing through a list, or a
// list opened and closed without a pick, leaves a stored value that no item shows alone.
INT_PTR CALLBACK GraphicPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        InitialiseGraphicPage(page);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    int picked = HIWORD(wParam) == CBN_SELCHANGE;
    int clicked = HIWORD(wParam) == BN_CLICKED;
    switch (LOWORD(wParam)) {
    case IDC_SCREEN_MODE:
        if (picked) ChangeScreenMode();
        return TRUE;
    case IDC_RESOLUTION:
        if (picked) ChangeResolution();
        return TRUE;
    case IDC_SMOKE_AMOUNT:
        if (picked) gameOptions.smoke = SmokeAmountForItem(SelectedItem(smokeCombo));
        return TRUE;
    case IDC_SOFTWARE_CURSOR:
        if (clicked) gameOptions.cursor = IsChecked(softwareCursorCheck) ? 0 : 1;
        return TRUE;
    case IDC_ANTIALIAS:
        if (picked) gameOptions.antialias = SelectedLevel(antiAliasCombo);
        return TRUE;
    case IDC_ANISOTROPY:
        if (picked) gameOptions.anisotropy = SelectedLevel(anisotropyCombo);
        return TRUE;
    case IDC_VECTOR_MODE:
        if (clicked) gameOptions.vectorcamera = IsChecked(vectorModeCheck) ? 1 : 0;
        return TRUE;
    default:
        return FALSE;
    }
}
