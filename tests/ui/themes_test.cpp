// The dialog's windows are version 6 of the common controls, from the library's own activation
// context, while the calling program, which declares nothing, keeps version 5 and its context.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "resources/resource.h"
#include "ui_harness.h"

using namespace ui;

namespace {

// Only version 6 of the common controls answers BCM_GETIDEALSIZE (with 1 and a size).
bool AnswersIdealSize(HWND button) {
    SIZE size = {};
    return SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) == TRUE && size.cx > 0;
}

bool CallersOwnButtonAnswersIdealSize() {
    HWND button = CreateWindowExW(0, L"Button", L"OK", WS_POPUP, 0, 0, 80, 24, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    bool answers = AnswersIdealSize(button);
    DestroyWindow(button);
    return answers;
}

// The thread's active activation context (null for none), without keeping a reference.
HANDLE ActiveContext() {
    HANDLE context = INVALID_HANDLE_VALUE;
    if (GetCurrentActCtx(&context) && context) ReleaseActCtx(context);
    return context;
}

// The colour that the window's own WM_ERASEBKGND paints.
COLORREF BackgroundColour(HWND window) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    COLORREF colour = GetPixel(dc, 1, 1);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return colour;
}

TEST(CommonControls, DialogIsVersionSixAndTheCallerKeepsVersionFiveAndItsContext) {
    ASSERT_FALSE(CallersOwnButtonAnswersIdealSize()) << "the test program must get version 5";
    HANDLE callersContext = ActiveContext();
    ASSERT_NE(callersContext, INVALID_HANDLE_VALUE);
    Installation installation;
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        // The main dialog's push buttons (page -1), then each page's check boxes and push button.
        const struct { int page, id; } buttons[] = {
            {-1, IDOK}, {-1, IDCANCEL}, {-1, IDC_INITIALIZE}, {-1, IDC_USER_SUPPORT},
            {kGraphicPage, IDC_SOFTWARE_CURSOR}, {kGraphicPage, IDC_VECTOR_MODE}, {kInputPage, IDC_SMOKE_TOGGLE},
            {kInputPage, IDC_CHANGE_JOYSTICK}, {kSoundPage, IDC_SOFTWARE_3D_SOUND},
        };
        for (const auto& b : buttons) {
            EXPECT_TRUE(AnswersIdealSize(b.page < 0 ? d.Button(b.id) : d.Item(b.page, b.id))) << b.page << " " << b.id;
        }
        // The pages sit on the tab's body, not on the dialog's flat colour.
        for (int page = 0; page < 4; ++page) {
            EXPECT_NE(BackgroundColour(d.Page(page)), BackgroundColour(d.Dialog())) << "page " << page;
        }
        // A second call while the dialog is open returns at once and leaves this thread as it was.
        HANDLE driversContext = ActiveContext();
        EXPECT_EQ(installation.Entry()(nullptr, nullptr, 0), 0);
        EXPECT_EQ(ActiveContext(), driversContext);
        EXPECT_FALSE(CallersOwnButtonAnswersIdealSize());
        d.Press(IDCANCEL);
    }));
    EXPECT_EQ(ActiveContext(), callersContext);
    EXPECT_FALSE(CallersOwnButtonAnswersIdealSize());
}

}  // namespace
