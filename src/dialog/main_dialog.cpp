// The main dialog: a tab control over the four pages, and the OK, Cancel, Initialize and
// User Support buttons.
#include <windows.h>
#include <commctrl.h>

#include "dialog/pages.h"
#include "entry/bounded_text.h"
#include "entry/install_paths.h"
#include "options/game_options.h"
#include "probe/capability.h"
#include "probe/display_modes.h"
#include "resources/resource.h"
#include "support/mail_form.h"

HWND mainDialogWindow;
HWND tabControl;
HWND pageWindows[kPageCount];

static HICON smallIcon;  // loaded from the installation, destroyed with the dialog

static const WORD kPageTemplates[kPageCount] = {IDD_GRAPHIC, IDD_INPUT, IDD_SOUND, IDD_INFORMATION};
static const DLGPROC kPageProcedures[kPageCount] = {GraphicPageProc, InputPageProc, SoundPageProc,
                                                    InformationPageProc};

static void ShowPage(int shown) {
    for (int i = 0; i < kPageCount; ++i) ShowWindow(pageWindows[i], SW_HIDE);
    ShowWindow(pageWindows[shown], SW_SHOW);
}

void BuildTabHost(HWND dialog) {
    HINSTANCE module = ResourceModule();
    tabControl = CreateWindowExW(0, L"SysTabControl32", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_HOTTRACK,
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

    RECT area;
    GetClientRect(dialog, &area);
    SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MoveWindow(tabControl, 2, 0, area.right - 2, area.bottom - 150, TRUE);
    for (int i = 0; i < kPageCount; ++i) {
        MoveWindow(pageWindows[i], area.left + 2, area.top, area.right - area.left - 6, area.bottom - area.top - 152,
                   TRUE);
    }

    ShowPage(0);
    SendMessageW(tabControl, TCM_SETCURSEL, 0, 0);
}

static void InitialiseMainDialog(HWND dialog) {
    wchar_t iconPath[kPathCapacity];
    CopyBounded(iconPath, kPathCapacity, installDirectory);
    AppendBounded(iconPath, kPathCapacity, L"wingmere.ico");
    smallIcon = static_cast<HICON>(LoadImageW(nullptr, iconPath, IMAGE_ICON, 16, 16, LR_LOADFROMFILE));
    if (smallIcon) SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));

    mainDialogWindow = dialog;
    InitCommonControls();
    BuildTabHost(dialog);
}

// What OK and Cancel both do before the dialog ends: the tool's own session, the library it
// loaded and the display catalogue go; a caller's session stays open.
static void ReleaseStartUpResources() {
    CloseCapabilityLibrary();
    FreeDisplayCatalogue();
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
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            SaveGameOptions();
            ReleaseStartUpResources();
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            ReleaseStartUpResources();
            EndDialog(dialog, 2);
            return TRUE;
        case IDC_INITIALIZE:
            RunInitializeCommand();
            return TRUE;
        case IDC_USER_SUPPORT:
            RunUserSupport(mainDialogWindow);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_DESTROY:
        // Not handled as far as the dialog manager is concerned; only the icon is let go.
        if (smallIcon) {
            DestroyIcon(smallIcon);
            smallIcon = nullptr;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
