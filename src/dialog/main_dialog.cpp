// The main dialog: a tab control over the four pages, and the OK, Cancel, Initialize and
// User Support buttons.
#include <windows.h>
#include <commctrl.h>

#include "dialog/information_page.h"
#include "dialog/pages.h"
#include "dialog/tab_host_rules.h"
#include "entry/bounded_text.h"
#include "entry/dpi_awareness.h"
#include "entry/install_paths.h"
#include "options/game_options.h"
#include "probe/capability.h"
#include "probe/display_modes.h"
#include "resources/resource.h"
#include "support/mail_form.h"

HWND mainDialogWindow;
HWND tabControl;
HWND pageWindows[kPageCount];

enum { kLayOutAgainMessage = WM_APP + 1 };

static HICON smallIcon;  // loaded from the installation, destroyed with the dialog
static HHOOK pageKeyHook;  // the page keys, seen before the dialog manager moves the focus

static const WORD kPageTemplates[kPageCount] = {IDD_GRAPHIC, IDD_INPUT, IDD_SOUND, IDD_INFORMATION};
static const DLGPROC kPageProcedures[kPageCount] = {GraphicPageProc, InputPageProc, SoundPageProc,
                                                    InformationPageProc};

static void ShowPage(int shown) {
    for (int i = 0; i < kPageCount; ++i) ShowWindow(pageWindows[i], SW_HIDE);
    ShowWindow(pageWindows[shown], SW_SHOW);
}

// Height that a page needs: its template's, or more where a control reaches further down
// (the Information page's list has a fixed size in pixels).
static int PageContentHeight(HWND page) {
    RECT client;
    GetClientRect(page, &client);
    int height = client.bottom;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT control;
        GetWindowRect(child, &control);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&control), 2);
        if (control.bottom > height) height = control.bottom;
    }
    return height;
}

static int ButtonsTop(HWND dialog) {
    static const int kButtons[] = {IDOK, IDCANCEL, IDC_INITIALIZE, IDC_USER_SUPPORT};
    RECT client;
    GetClientRect(dialog, &client);
    int top = client.bottom;
    for (int id : kButtons) {
        RECT button;
        HWND window = GetDlgItem(dialog, id);
        if (!window) continue;
        GetWindowRect(window, &button);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
        if (button.top < top) top = button.top;
    }
    return top;
}

// The strip and the pages over the dialog's client area, at the dialog's DPI.
static void LayOutTabHost(HWND dialog) {
    RECT area;
    GetClientRect(dialog, &area);
    SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    int contentHeight = 0;
    for (int i = 0; i < kPageCount; ++i) {
        int height = PageContentHeight(pageWindows[i]);
        if (height > contentHeight) contentHeight = height;
    }
    TabHostLayout layout = ArrangeTabHost(area, contentHeight, ButtonsTop(dialog), WindowDpi(dialog));
    MoveWindow(tabControl, layout.tab.x, layout.tab.y, layout.tab.width, layout.tab.height, TRUE);
    for (int i = 0; i < kPageCount; ++i) {
        MoveWindow(pageWindows[i], layout.page.x, layout.page.y, layout.page.width, layout.page.height, TRUE);
    }
}

void BuildTabHost(HWND dialog) {
    HINSTANCE module = ResourceModule();
    // The strip takes the focus, so that the arrow keys switch pages.
    tabControl = CreateWindowExW(0, L"SysTabControl32", L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TCS_HOTTRACK,
                                 0, 0, 0, 0, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TAB)), module,
                                 nullptr);
    SendMessageW(tabControl, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);

    for (int i = 0; i < kPageCount; ++i) {
        wchar_t caption[kTextCapacity];
        LoadText(IDS_TAB_GRAPHIC + i, caption, kTextCapacity);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        SendMessageW(tabControl, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }

    // Pages are children of the dialog, not of the tab control, so that their controls talk to
    // their own page procedures. The Graphic page comes first: it opens the capability session
    // that the Information page reads.
    for (int i = 0; i < kPageCount; ++i) {
        pageWindows[i] = CreateDialogParamW(module, MAKEINTRESOURCEW(kPageTemplates[i]), dialog, kPageProcedures[i], 0);
    }

    LayOutTabHost(dialog);
    ShowPage(0);
    SendMessageW(tabControl, TCM_SETCURSEL, 0, 0);
}

// The process-wide windows of the dialog, its pages and their controls.
static void ForgetDialogWindows() {
    mainDialogWindow = nullptr;
    tabControl = nullptr;
    for (HWND& page : pageWindows) page = nullptr;
    informationList = nullptr;
    screenModeCombo = resolutionCombo = smokeCombo = antiAliasCombo = anisotropyCombo = nullptr;
    softwareCursorCheck = vectorModeCheck = nullptr;
    smokeToggleCheck = changeJoystickButton = joystickNameStatic = nullptr;
    software3DSoundCheck = nullptr;
    for (int i = 0; i < kVolumeCount; ++i) volumeTrackBars[i] = volumeLabels[i] = nullptr;
}

// Switches pages as a click on the tab does. A focus inside the page that goes moves to the
// strip, which then shows where the keyboard is.
static void SwitchPageByKeyboard(int shown) {
    int current = static_cast<int>(SendMessageW(tabControl, TCM_GETCURSEL, 0, 0));
    HWND focus = GetFocus();
    if (!focus || (current >= 0 && current < kPageCount && IsChild(pageWindows[current], focus))) {
        SendMessageW(mainDialogWindow, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tabControl), TRUE);
    }
    SendMessageW(tabControl, TCM_SETCURSEL, static_cast<WPARAM>(shown), 0);
    ShowPage(shown);
}

// Ctrl+Tab and the like, seen in the dialog's loop before the dialog manager takes Tab for
// the focus or a list takes PageDown for its selection.
static LRESULT CALLBACK PageKeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message && message->message == WM_KEYDOWN && mainDialogWindow &&
        (message->hwnd == mainDialogWindow || IsChild(mainDialogWindow, message->hwnd))) {
        int current = static_cast<int>(SendMessageW(tabControl, TCM_GETCURSEL, 0, 0));
        int shown = PageAfterKey(message->wParam, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0, current,
                                 kPageCount);
        if (shown >= 0) {
            SwitchPageByKeyboard(shown);
            return 1;
        }
    }
    return CallNextHookEx(pageKeyHook, code, wParam, lParam);
}

// The page whose control sent a command: the dialog manager sends Enter on a page's push
// button to the main dialog, with the button's own id.
static HWND PageOfControl(HWND control) {
    if (!control) return nullptr;
    HWND parent = GetParent(control);
    for (int i = 0; i < kPageCount; ++i) {
        if (pageWindows[i] && parent == pageWindows[i]) return parent;
    }
    return nullptr;
}

static void InitialiseMainDialog(HWND dialog) {
    wchar_t iconPath[kPathCapacity];
    int iconSize = SmallIconSizeForDpi(WindowDpi(dialog));
    smallIcon = JoinPath(iconPath, kPathCapacity, installDirectory, L"wingmere.ico")
                    ? static_cast<HICON>(LoadImageW(nullptr, iconPath, IMAGE_ICON, iconSize, iconSize, LR_LOADFROMFILE))
                    : nullptr;
    if (smallIcon) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    mainDialogWindow = dialog;
    InitCommonControls();
    BuildTabHost(dialog);
    pageKeyHook = SetWindowsHookExW(WH_MSGFILTER, PageKeyFilter, nullptr, GetCurrentThreadId());
}

// What OK and Cancel both do before the dialog ends: the tool's own session, the library it
// loaded and the display catalogue go; a caller's session stays open.
static void ReleaseStartUpResources() {
    CloseCapabilityLibrary();
    FreeDisplayCatalogue();
}

// The save's error box, in the display language, with the full path of the file.
static void ReportSaveFailure(HWND dialog) {
    wchar_t path[kPathCapacity];
    GameOptionPath(path);
    wchar_t format[kTextCapacity];
    LoadText(IDS_ERROR_WRITING, format);
    ShowFileErrorBox(dialog, format, path);
}

// Nothing of the dialog outlives it: the caller may unload the library once the call returns,
// and a later call must not meet a window of this one.
static void ReleaseDialogHolds() {
    if (pageKeyHook) {
        UnhookWindowsHookEx(pageKeyHook);
        pageKeyHook = nullptr;
    }
    if (smallIcon) {
        DestroyIcon(smallIcon);
        smallIcon = nullptr;
    }
    ForgetDialogWindows();
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitialiseMainDialog(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->code == static_cast<UINT>(TCN_SELCHANGE)) {
            int selected = static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
            if (selected >= 0 && selected < kPageCount) ShowPage(selected);
        }
        return FALSE;
    }
    case WM_COMMAND: {
        HWND control = reinterpret_cast<HWND>(lParam);
        HWND page = PageOfControl(control);
        if (page) {
            SendMessageW(page, WM_COMMAND, wParam, lParam);
            return TRUE;
        }
        switch (LOWORD(wParam)) {
        case IDOK:
            // Only a good save ends the dialog; after a failed one the player's values stay on
            // the pages, for another OK or Cancel.
            if (!SaveGameOptions()) {
                ReportSaveFailure(dialog);
                return TRUE;
            }
            ReleaseStartUpResources();
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            ReleaseStartUpResources();
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_INITIALIZE:
            if (control != GetDlgItem(dialog, IDC_INITIALIZE)) return FALSE;  // the Input page has a 1010 too
            RunInitializeCommand();
            return TRUE;
        case IDC_USER_SUPPORT:
            RunUserSupport(mainDialogWindow);
            return TRUE;
        default:
            return FALSE;
        }
    }
    case WM_DPICHANGED:
        // The platform rescales what the templates made; the list made at run time follows
        // the DPI that the message carries, and the strip and pages are laid out again once
        // the dialog has its new size.
        FitInformationListToDpi(LOWORD(wParam));
        PostMessageW(dialog, kLayOutAgainMessage, 0, 0);
        return FALSE;
    case kLayOutAgainMessage:
        LayOutTabHost(dialog);
        return TRUE;
    case WM_DESTROY:
        // Not handled as far as the dialog manager is concerned.
        ReleaseDialogHolds();
        return FALSE;
    default:
        return FALSE;
    }
}
