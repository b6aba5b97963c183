// The dialog's windows are version 6 of the common controls, from the library's own activation
// context, while the calling program, which declares nothing, keeps version 5 and its own context.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "resources/resource.h"
#include "ui_harness.h"

using namespace ui;

namespace {

// BCM_GETIDEALSIZE: only version 6 of the common controls answers it (with 1 and a size).
bool AnswersIdealSize(HWND button) {
    SIZE size = {};
    return SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) == TRUE && size.cx > 0;
}

// A push button of the calling program's own, asked the same and destroyed.
bool CallersButtonAnswersIdealSize() {
    HWND button = CreateWindowExW(0, L"Button", L"OK", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    bool answers = AnswersIdealSize(button);
    DestroyWindow(button);
    return answers;
}

// The thread's active activation context (null when none), without holding a reference.
HANDLE ActiveContext() {
    HANDLE context = nullptr;
    if (!GetCurrentActCtx(&context)) return INVALID_HANDLE_VALUE;
    if (context) ReleaseActCtx(context);
    return context;
}

// The colour that the window's own WM_ERASEBKGND paints, read back from a small bitmap.
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

struct DialogButton {
    int page;  // -1: the main dialog
    int id;
};
// Push buttons and check boxes of the main dialog and of every page that has some.
const DialogButton kButtons[] = {
    {-1, IDOK},
    {-1, IDCANCEL},
    {-1, IDC_INITIALIZE},
    {-1, IDC_USER_SUPPORT},
    {kGraphicPage, IDC_SOFTWARE_CURSOR},
    {kGraphicPage, IDC_VECTOR_MODE},
    {kInputPage, IDC_SMOKE_TOGGLE},
    {kInputPage, IDC_CHANGE_JOYSTICK},
    {kSoundPage, IDC_SOFTWARE_3D_SOUND},
};

TEST(CommonControls, DialogIsVersionSixAndTheCallerKeepsVersionFiveAndItsContext) {
    ASSERT_FALSE(CallersButtonAnswersIdealSize()) << "the test program itself must get version 5";
    HANDLE callersContext = ActiveContext();
    ASSERT_NE(callersContext, INVALID_HANDLE_VALUE);

    Installation installation;
    EXPECT_EQ("", RunAndCheck(installation, [&](DialogDriver& d) {
        for (const DialogButton& b : kButtons) {
            HWND button = b.page < 0 ? d.Button(b.id) : d.Item(b.page, b.id);
            ASSERT_NE(button, nullptr) << b.id;
            EXPECT_TRUE(AnswersIdealSize(button)) << "page " << b.page << " control " << b.id;
        }
        // The pages draw on the tab's body, not on the dialog's flat colour.
        const COLORREF dialogColour = BackgroundColour(d.Dialog());
        for (int page = 0; page < 4; ++page) EXPECT_NE(BackgroundColour(d.Page(page)), dialogColour) << "page " << page;

        // A second call while the dialog is open returns at once, and leaves this thread as it found it.
        HANDLE driversContext = ActiveContext();
        EXPECT_EQ(installation.Entry()(nullptr, nullptr, 0), 0);
        EXPECT_EQ(ActiveContext(), driversContext);
        EXPECT_FALSE(CallersButtonAnswersIdealSize());
        d.Press(IDCANCEL);
    }));

    EXPECT_EQ(ActiveContext(), callersContext);
    EXPECT_FALSE(CallersButtonAnswersIdealSize());
}

}  // namespace
