// The dialog at 96, 144 and 192 DPI, for callers that declare no DPI awareness, system
// awareness or per-monitor awareness. Wine takes the DPI setting when its session starts, and a
// process cannot drop an awareness it declared, so tests/dpi_callers.sh runs each case in a
// session of its own, with WGCONF_DPI_CALLER="DPI CALLER" (CALLER: unaware, system or
// per-monitor); elsewhere the test is skipped.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <sstream>

#include "entry/dpi_awareness.h"
#include "resources/resource.h"
#include "ui_harness.h"

using namespace ui;

namespace {

using Strings = std::vector<std::wstring>;
using Lines = std::vector<std::string>;

// Pop-up at the size of the harness's screen (Xvfb at 1600 x 1200): what a player saved there.
const std::string kPopupOptions =
    "[DISPLAY]\r\nmode=2\r\nwidth=1600\r\nheight=1200\r\n\r\n[SYSTEM]\r\ncursor=1\r\nsmoke=100\r\n"
    "vectorcamera=1\r\nantialias=2\r\nanisotropy=2\r\n\r\n[INPUT]\r\nsmokebutton=1\r\n\r\n[SOUND]\r\nmode=1\r\n\r\n"
    "[VOLUME]\r\nbgm=80\r\nplane=80\r\ncockpit=80\r\nvoice=80\r\n\r\n";

// The platform's DPI functions, looked up at run time (the project's WINVER hides them).
struct DpiFunctions {
    DPI_AWARENESS_CONTEXT(WINAPI* getThreadContext)();
    DPI_AWARENESS_CONTEXT(WINAPI* setThreadContext)(DPI_AWARENESS_CONTEXT);
    DPI_AWARENESS_CONTEXT(WINAPI* getWindowContext)(HWND);
    BOOL(WINAPI* contextsEqual)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);
    BOOL(WINAPI* setProcessContext)(DPI_AWARENESS_CONTEXT);
    UINT(WINAPI* dpiForWindow)(HWND);
};

template <typename Function>
void LookUp(Function* function, const char* name) {
    *function = ExportOf<Function>(GetModuleHandleW(L"user32.dll"), name);
}

DpiFunctions Dpi() {
    DpiFunctions f;
    LookUp(&f.getThreadContext, "GetThreadDpiAwarenessContext");
    LookUp(&f.setThreadContext, "SetThreadDpiAwarenessContext");
    LookUp(&f.getWindowContext, "GetWindowDpiAwarenessContext");
    LookUp(&f.contextsEqual, "AreDpiAwarenessContextsEqual");
    LookUp(&f.setProcessContext, "SetProcessDpiAwarenessContext");
    LookUp(&f.dpiForWindow, "GetDpiForWindow");
    return f;
}

HWND MakeCallersWindow() {
    return CreateWindowExW(0, L"STATIC", L"Caller's window", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Per DPI: the Information list's columns and size, the selector's offsets from the
// dialog's corner and the small icon's side, all pixels at 96 DPI scaled to the setting.
struct Expected {
    UINT dpi;
    int captionColumn, valueColumn, listWidth, listHeight, selectorLeft, selectorTop, smallIcon;
};
const Expected kExpected[] = {
    {96, 160, 260, 436, 306, -105, 45, 16},
    {144, 240, 390, 654, 459, -158, 68, 24},
    {192, 320, 520, 872, 612, -210, 90, 32},
};

// Clicks Change Joystick and returns the selector's report once the selector has shown its
// window (the report's last line) and the dialog has come back from waiting for it.
Lines RunSelector(DialogDriver& d, const std::wstring& report) {
    DeleteFileW(report.c_str());
    d.Post(kInputPage, IDC_CHANGE_JOYSTICK);
    Lines lines;
    EXPECT_TRUE(WaitFor([&] {
        lines = SplitLines(ReadBytes(report));
        return lines.size() == 6 && lines[5].compare(0, 7, "placed=") == 0;
    }, 15000));
    // Answered only from the selector's wait or after it: the dialog was disabled by then.
    SendMessageW(d.Dialog(), WM_NULL, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(d.Dialog()) != FALSE; }, 15000));
    return lines;
}

// The selector's window from its report's last line, in the screen's own pixels.
RECT PlacedWindow(const Lines& lines) {
    RECT placed = {-1, -1, -1, -1};
    if (lines.size() != 6) return placed;
    std::istringstream numbers(lines[5].substr(lines[5].find('=') + 1));
    numbers >> placed.left >> placed.top >> placed.right >> placed.bottom;
    return placed;
}

int IconWidth(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

TEST(DpiCaller, DialogSeesTheRealScreenAndTheCallerKeepsItsOwn) {
    const char* which = getenv("WGCONF_DPI_CALLER");
    if (!which) GTEST_SKIP() << "runs from tests/dpi_callers.sh, at the DPI that it sets";
    std::istringstream words(which);
    UINT dpi = 0;
    std::string caller;
    words >> dpi >> caller;
    const Expected* expected = nullptr;
    for (const Expected& e : kExpected) expected = e.dpi == dpi ? &e : expected;
    ASSERT_NE(expected, nullptr) << which;

    DpiFunctions f = Dpi();
    ASSERT_TRUE(f.getThreadContext && f.setThreadContext && f.getWindowContext && f.contextsEqual &&
                f.setProcessContext && f.dpiForWindow);
    if (caller == "system") {
        ASSERT_TRUE(SetProcessDPIAware());
    }
    if (caller == "per-monitor") {
        ASSERT_TRUE(f.setProcessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2));
    }
    DPI_AWARENESS_CONTEXT own = f.getThreadContext();
    HWND before = MakeCallersWindow();
    ASSERT_NE(before, nullptr);
    DPI_AWARENESS_CONTEXT beforeWindow = f.getWindowContext(before);

    InstallationSettings settings;
    settings.withGameOptions = true;
    settings.gameOptions = kPopupOptions;
    std::wstring report;
    for (int language : {0, 1}) {
        settings.language = language;
        Installation installation(settings);
        report = installation.InInstall(L"selector-report.txt");
        EnvironmentOverride reportPath(L"WINGMERE_JOYSTICK_REPORT", report);
        EnvironmentOverride shown(L"WINGMERE_JOYSTICK_SHOWN_MS", L"0");
        RECT dialogRectangle = {};
        Lines awareSelector, unawareSelector;
        EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
            // A call while the dialog is open returns at once, and gives this thread its own back.
            DPI_AWARENESS_CONTEXT driversOwn = f.getThreadContext();
            EXPECT_EQ(installation.Entry()(nullptr, nullptr, 0), 0);
            EXPECT_TRUE(f.contextsEqual(f.getThreadContext(), driversOwn));
            // The screen's own pixels, whatever this process declared.
            f.setThreadContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
            EXPECT_EQ(f.dpiForWindow(d.Dialog()), dpi);
            EXPECT_EQ(LayoutFaults(d), "") << "language " << language;
            if (language == 1) {
                d.Press(IDCANCEL);
                return;
            }
            EXPECT_EQ(IconWidth(reinterpret_cast<HICON>(SendMessageW(d.Dialog(), WM_GETICON, ICON_SMALL, 0))),
                      expected->smallIcon);
            HWND resolution = d.Item(kGraphicPage, IDC_RESOLUTION);
            EXPECT_EQ(ComboItems(resolution), (Strings{L"1600 x 1200"}));
            d.Choose(kGraphicPage, IDC_SCREEN_MODE, 1);
            EXPECT_EQ(ComboItems(resolution), (Strings{L"1024 x 576", L"1280 x 720", L"1366 x 768"}));
            d.Choose(kGraphicPage, IDC_SCREEN_MODE, 2);

            HWND list = d.Item(kInformationPage, IDC_INFORMATION_LIST);
            EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), expected->captionColumn);
            EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), expected->valueColumn);
            RECT listRectangle;
            GetWindowRect(list, &listRectangle);
            EXPECT_EQ(listRectangle.right - listRectangle.left, expected->listWidth);
            EXPECT_EQ(listRectangle.bottom - listRectangle.top, expected->listHeight);

            GetWindowRect(d.Dialog(), &dialogRectangle);
            awareSelector = RunSelector(d, report);
            EnvironmentOverride unaware(L"WINGMERE_JOYSTICK_DPI_UNAWARE", L"1");
            unawareSelector = RunSelector(d, report);
            d.Press(IDOK);
        }));
        if (language == 1) continue;
        EXPECT_EQ(ReadBytes(installation.InWork(L"GameOption.ini")), kPopupOptions);
        // The selector, a DPI-aware program, lands beside the dialog by the scaled offsets. One
        // that declares no awareness is laid out at 96 DPI, and Wine puts it at the screen's own
        // pixels that it was given: at the same place.
        RECT aware = PlacedWindow(awareSelector), unaware = PlacedWindow(unawareSelector);
        for (const RECT& placed : {aware, unaware}) {
            EXPECT_EQ(placed.left, dialogRectangle.left + expected->selectorLeft);
            EXPECT_EQ(placed.top, dialogRectangle.top + expected->selectorTop);
        }
        if (dpi > 96) {
            EXPECT_LT(unaware.right - unaware.left, aware.right - aware.left);
        }
    }

    // Nothing of the caller's changed: its thread, the window it made before, and one it makes now.
    EXPECT_TRUE(f.contextsEqual(f.getThreadContext(), own));
    EXPECT_TRUE(f.contextsEqual(f.getWindowContext(before), beforeWindow));
    HWND after = MakeCallersWindow();
    ASSERT_NE(after, nullptr);
    EXPECT_TRUE(f.contextsEqual(f.getWindowContext(after), beforeWindow));
    DestroyWindow(after);
    DestroyWindow(before);
}

}  // namespace
