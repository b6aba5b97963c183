#include "ui_harness.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <climits>

#include "resources/resource.h"

namespace ui {

namespace {

// A control that only the given page holds, so that pages are told apart without relying on
// the order of the dialog's children.
const int kPageMarkers[4] = {IDC_SCREEN_MODE, IDC_JOYSTICK_NAME, IDC_VOLUME_BGM, IDC_INFORMATION_LIST};

}  // namespace

// --- Installation

Installation::Installation(const InstallationSettings& settings) {
    if (!MakeTempDirectory(L"ui", &root_)) return;
    install_ = root_ + L"Wingmere\\";
    work_ = settings.separateWork ? root_ + L"Save\\" : install_;
    bool ok = CreateDirectoryW(install_.c_str(), nullptr) != 0;
    if (settings.separateWork) ok = CreateDirectoryW(work_.c_str(), nullptr) && ok;

    std::wstring bin = ProgramDirectory();
    for (const std::wstring& program : settings.programs) {
        ok = CopyFileW((bin + program).c_str(), (install_ + program).c_str(), FALSE) && ok;
    }
    if (settings.withIcon) {
        ok = CopyFileW(SourcePath(L"game/install/wingmere.ico").c_str(), InInstall(L"wingmere.ico").c_str(), FALSE) && ok;
    }
    if (settings.withConfig) {
        std::string config;
        if (settings.separateWork) config += "[DIR]\r\nwork=" + Utf8(work_) + "\r\n\r\n";
        if (settings.language >= 0) config += "[SYSTEM]\r\nlanguage=" + std::to_string(settings.language) + "\r\n";
        ok = WriteBytes(InInstall(L"config.ini"), config) && ok;
    }
    if (settings.withGameOptions) ok = WriteBytes(InWork(L"GameOption.ini"), settings.gameOptions) && ok;
    if (!settings.vidqIni.empty()) ok = WriteBytes(InInstall(L"vidq.ini"), settings.vidqIni) && ok;
    if (!settings.joystickList.empty()) ok = WriteBytes(InInstall(L"JoyStick.ini"), settings.joystickList) && ok;
    ready_ = ok;
}

Installation::~Installation() {
    Unload();
    if (!root_.empty()) RemoveTree(root_);
}

bool Installation::Load() {
    if (module_) return true;
    module_ = LoadLibraryExW(InInstall(L"wgconf.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module_) return false;
    entry_ = ExportOf<ConfigDialogBoxFunction>(module_, "_WGCONF_ConfigDialogBox@12");
    return entry_ != nullptr;
}

void Installation::Unload() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    entry_ = nullptr;
}

std::vector<std::string> Installation::VidqCalls() const {
    return SplitLines(ReadBytes(InInstall(L"vidq-calls.log")));
}

// --- DialogDriver

HWND DialogDriver::Tab() const { return GetDlgItem(dialog_, IDC_TAB); }

HWND DialogDriver::Page(int index) {
    if (index < 0 || index > 3) return nullptr;
    if (pages_[index] && IsWindow(pages_[index])) return pages_[index];
    for (HWND child = FindWindowExW(dialog_, nullptr, L"#32770", nullptr); child;
         child = FindWindowExW(dialog_, child, L"#32770", nullptr)) {
        if (GetDlgItem(child, kPageMarkers[index])) return pages_[index] = child;
    }
    return nullptr;
}

int DialogDriver::VisiblePageCount() {
    int count = 0;
    for (int i = 0; i < 4; ++i) count += Page(i) && IsWindowVisible(Page(i)) ? 1 : 0;
    return count;
}

int DialogDriver::VisiblePage() {
    for (int i = 0; i < 4; ++i) {
        if (Page(i) && IsWindowVisible(Page(i))) return i;
    }
    return -1;
}

void DialogDriver::SelectTab(int index) {
    HWND tab = Tab();
    SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR header = {};
    header.hwndFrom = tab;
    header.idFrom = IDC_TAB;
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageW(dialog_, WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&header));
}

void DialogDriver::Choose(int page, int id, int item) { ChooseComboItem(Page(page), id, item); }

void DialogDriver::Click(int page, int id) { SendMessageW(Item(page, id), BM_CLICK, 0, 0); }

void DialogDriver::Press(int id) { SendMessageW(Button(id), BM_CLICK, 0, 0); }

void DialogDriver::Post(int page, int id) { PostMessageW(Item(page, id), BM_CLICK, 0, 0); }

void DialogDriver::PostPress(int id) { PostMessageW(Button(id), BM_CLICK, 0, 0); }

void DialogDriver::Slide(int id, int position) {
    HWND bar = Item(kSoundPage, id);
    SendMessageW(bar, TBM_SETPOS, TRUE, position);
    SendMessageW(Page(kSoundPage), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(bar));
    SendMessageW(Page(kSoundPage), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(bar));
}

void DialogDriver::PressEscape() {
    // Keys arrive through the dialog's message loop, addressed to the control with the focus.
    HWND target = Button(IDOK);
    PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

void DialogDriver::CloseBox() { PostMessageW(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool DialogDriver::WaitClosed(int milliseconds) {
    return WaitFor([this] { return !IsWindow(dialog_); }, milliseconds);
}

bool DialogDriver::BringToFront() {
    if (GetForegroundWindow() == dialog_) return true;
    SetForegroundWindow(dialog_);
    return WaitFor([this] { return GetForegroundWindow() == dialog_; });
}

void DialogDriver::Keys(std::initializer_list<WORD> chord) {
    std::vector<INPUT> inputs;
    for (WORD key : chord) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = chord.end(); key != chord.begin();) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND DialogDriver::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool DialogDriver::KeysMovingFocus(std::initializer_list<WORD> chord, int milliseconds) {
    HWND before = Focus();
    Keys(chord);
    return WaitFor([&] { return Focus() != before; }, milliseconds);
}

bool DialogDriver::TabTo(HWND control) {
    HWND start = Focus();
    for (int step = 0; step < 64 && Focus() != control; ++step) {
        if (!KeysMovingFocus({VK_TAB})) return false;
        if (Focus() == start) return false;  // round and round without reaching it
    }
    return Focus() == control;
}

std::vector<std::wstring> DialogDriver::TabTexts(HWND tab) {
    std::vector<std::wstring> texts(static_cast<size_t>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0)));
    for (size_t i = 0; i < texts.size(); ++i) {
        wchar_t text[256] = {};
        TCITEMW item = {TCIF_TEXT, 0, 0, text, 256, 0, 0};
        SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        texts[i] = text;
    }
    return texts;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= static_cast<DWORD>(milliseconds)) return false;
        Sleep(20);
    }
}

namespace {

struct BoxSearch {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM parameter) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(parameter);
    wchar_t className[32] = {};
    wchar_t caption[64] = {};
    GetClassNameW(window, className, 32);
    GetWindowTextW(window, caption, 64);
    if (lstrcmpW(className, L"#32770") == 0 && lstrcmpW(caption, search->caption) == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForMessageBox(DialogDriver& driver, const wchar_t* caption, int milliseconds) {
    DWORD thread = GetWindowThreadProcessId(driver.Dialog(), nullptr);
    BoxSearch search = {caption, nullptr};
    if (!WaitFor([&] {
            EnumThreadWindows(thread, FindMessageBox, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        }, milliseconds)) {
        return nullptr;
    }
    WaitFor([&] { return !MessageBoxText(search.found).empty(); }, 2000);
    return search.found;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring longest;
    for (HWND child = FindWindowExW(box, nullptr, L"Static", nullptr); child;
         child = FindWindowExW(box, child, L"Static", nullptr)) {
        std::wstring text = WindowText(child);
        if (text.size() > longest.size()) longest = text;
    }
    return longest;
}

void CloseMessageBox(HWND box) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(box); });
}

SeenMessageBox TakeMessageBox(DialogDriver& driver, const wchar_t* caption, const std::function<void()>& whileShown) {
    SeenMessageBox seen;
    HWND box = WaitForMessageBox(driver, caption);
    if (!box) return seen;
    seen.text = MessageBoxText(box);
    seen.owner = GetWindow(box, GW_OWNER);
    OfferForPicture(box);
    if (whileShown) whileShown();
    CloseMessageBox(box);
    return seen;
}

void OfferForPicture(HWND window) {
    wchar_t ready[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"WGCONF_PICTURE_READY", ready, MAX_PATH) || !ready[0]) return;
    RECT area;
    GetWindowRect(window, &area);
    std::string text = std::to_string(area.left) + " " + std::to_string(area.top) + " " + std::to_string(area.right) +
                       " " + std::to_string(area.bottom) + "\n";
    if (WriteBytes(ready, text)) WaitFor([&] { return !FileExists(ready); }, 20000);
}

RECT ClientRectangleOf(HWND window, HWND client) {
    RECT rectangle;
    GetWindowRect(window, &rectangle);
    MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&rectangle), 2);
    return rectangle;
}

namespace {

// GetDpiForWindow, looked up (the project's WINVER hides it); 96 where the platform has none.
UINT DpiOfWindow(HWND window) {
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    DpiForWindow dpiForWindow = ExportOf<DpiForWindow>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The controls with a label in the templates, and the room each takes beside its text in pixels
// at 96 DPI: a check box's box and the gap after it, a button's or a group box's edges.
const struct {
    const wchar_t* className;
    DWORD typeMask, type;
    int furniture;
} kLabelKinds[] = {
    {L"Static", SS_TYPEMASK, SS_LEFT, 0},           {L"Static", SS_TYPEMASK, SS_LEFTNOWORDWRAP, 0},
    {L"Button", BS_TYPEMASK, BS_AUTOCHECKBOX, 17},  {L"Button", BS_TYPEMASK, BS_GROUPBOX, 16},
    {L"Button", BS_TYPEMASK, BS_PUSHBUTTON, 8},     {L"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, 8},
};

// A label whose text, measured with the control's own font, does not fit its control; "" when
// it fits or the control has no label.
std::string LabelFault(HWND control, UINT dpi) {
    std::wstring text = WindowText(control);
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
    int furniture = -1;
    for (const auto& kind : kLabelKinds) {
        if (lstrcmpiW(className, kind.className) == 0 && (style & kind.typeMask) == kind.type) furniture = kind.furniture;
    }
    if (furniture < 0 || text.empty()) return "";
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT room;
    GetClientRect(control, &room);
    int needed = extent.cx + MulDiv(furniture, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    if (needed <= room.right && extent.cy <= room.bottom) return "";
    return "label of control " + std::to_string(GetDlgCtrlID(control)) + " needs " + std::to_string(needed) + "x" +
           std::to_string(extent.cy) + " in " + std::to_string(room.right) + "x" + std::to_string(room.bottom) + "; ";
}

}  // namespace

std::string LayoutFaults(DialogDriver& d) {
    std::string faults;
    auto describe = [](const RECT& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    };
    const UINT dpi = DpiOfWindow(d.Dialog());
    int buttonsTop = INT_MAX;
    for (int id : {IDOK, IDCANCEL, IDC_INITIALIZE, IDC_USER_SUPPORT}) {
        buttonsTop = std::min<int>(buttonsTop, ClientRectangleOf(d.Button(id), d.Dialog()).top);
        faults += LabelFault(d.Button(id), dpi);
    }
    if (ClientRectangleOf(d.Tab(), d.Dialog()).bottom >= buttonsTop) faults += "the tab strip reaches the buttons; ";
    for (int i = 0; i < 4; ++i) {
        HWND page = d.Page(i);
        if (!page) {
            faults += "no page " + std::to_string(i) + "; ";
            continue;
        }
        if (ClientRectangleOf(page, d.Dialog()).bottom >= buttonsTop)
            faults += "page " + std::to_string(i) + " reaches the buttons; ";
        RECT inside = {};
        GetClientRect(page, &inside);
        int controls = 0;
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++controls) {
            RECT control = ClientRectangleOf(child, page);
            if (control.left < 0 || control.top < 0 || control.right > inside.right || control.bottom > inside.bottom) {
                faults += "page " + std::to_string(i) + " control " + std::to_string(GetDlgCtrlID(child)) + " at " +
                          describe(control) + " in " + describe(inside) + "; ";
            }
            faults += LabelFault(child, dpi);
        }
        if (controls == 0) faults += "page " + std::to_string(i) + " has no controls; ";
    }
    return faults;
}

// --- RunDialog

namespace {

const wchar_t kCallerCaption[] = L"Caller's own dialog";

struct DriverContext {
    DWORD dialogThread;
    int markerId;  // a control that only the dialog to drive holds
    const std::function<void(DialogDriver&)>* script;
    bool* dialogSeen;
    bool* forcedClose;
    std::atomic<bool> entryReturned{false};
};

struct DialogSearch {
    int markerId;
    HWND found;
};

BOOL CALLBACK FindDialogWithMarker(HWND window, LPARAM parameter) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(parameter);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(window) && GetDlgItem(window, search->markerId)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CancelOtherDialog(HWND window, LPARAM driven) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (window != reinterpret_cast<HWND>(driven) && lstrcmpW(className, L"#32770") == 0)
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

DWORD WINAPI DriverThread(void* parameter) {
    DriverContext* context = static_cast<DriverContext*>(parameter);
    DialogSearch search = {context->markerId, nullptr};
    WaitFor(
        [&] {
            EnumThreadWindows(context->dialogThread, FindDialogWithMarker, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || context->entryReturned.load();
        },
        30000);
    if (!search.found) return 0;
    *context->dialogSeen = true;
    DialogDriver driver(search.found);
    (*context->script)(driver);
    if (!driver.WaitClosed(3000)) {
        *context->forcedClose = true;
        // A box the script did not expect would keep its own modal loop running: it goes first.
        EnumThreadWindows(context->dialogThread, CancelOtherDialog, reinterpret_cast<LPARAM>(search.found));
        PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return 0;
}

// Calls `run` on this thread while a second thread drives the dialog that holds the marker.
template <typename Run>
void DriveWhile(int markerId, const std::function<void(DialogDriver&)>& script, bool* dialogSeen,
                bool* forcedClose, Run run) {
    DriverContext context;
    context.dialogThread = GetCurrentThreadId();
    context.markerId = markerId;
    context.script = &script;
    context.dialogSeen = dialogSeen;
    context.forcedClose = forcedClose;
    HANDLE thread = CreateThread(nullptr, 0, DriverThread, &context, 0, nullptr);
    run();
    context.entryReturned = true;
    WaitForSingleObject(thread, 60000);
    CloseHandle(thread);
}

// Template words: a DWORD is two words, low first; texts are zero-terminated UTF-16.
void PushDword(std::vector<WORD>* words, DWORD value) {
    words->push_back(LOWORD(value));
    words->push_back(HIWORD(value));
}

void PushText(std::vector<WORD>* words, const wchar_t* text) {
    do words->push_back(static_cast<WORD>(*text)); while (*text++);
}

void PushItem(std::vector<WORD>* words, DWORD style, short x, short y, short cx, short cy, WORD id,
              WORD classAtom, const wchar_t* text) {
    if (words->size() % 2) words->push_back(0);  // items start on a DWORD boundary
    PushDword(words, style | WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    PushDword(words, 0);
    for (short value : {x, y, cx, cy}) words->push_back(static_cast<WORD>(value));
    words->push_back(id);
    words->push_back(0xFFFF);
    words->push_back(classAtom);
    PushText(words, text);
    words->push_back(0);  // no creation data
}

std::vector<WORD> CallerTemplate() {
    const WORD kButtonAtom = 0x0080, kEditAtom = 0x0081;
    std::vector<WORD> words;
    PushDword(&words, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    PushDword(&words, 0);
    words.push_back(3);  // items
    for (short value : {0, 0, 160, 60}) words.push_back(static_cast<WORD>(value));
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    PushText(&words, kCallerCaption);
    PushItem(&words, ES_AUTOHSCROLL | WS_BORDER, 7, 7, 146, 14, kCallerEditId, kEditAtom, L"");
    PushItem(&words, BS_DEFPUSHBUTTON, 48, 36, 50, 14, IDOK, kButtonAtom, L"OK");
    PushItem(&words, BS_PUSHBUTTON, 103, 36, 50, 14, IDCANCEL, kButtonAtom, L"Cancel");
    return words;
}

INT_PTR CALLBACK CallerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, kCallerEditId, text, 256);
        *reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dialog, DWLP_USER)) = text;
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

DialogRun RunDialog(ConfigDialogBoxFunction entry, HANDLE session, const std::function<void(DialogDriver&)>& script,
                    HWND owner, LPARAM parameter) {
    DialogRun run;
    if (!entry) return run;
    DriveWhile(IDC_USER_SUPPORT, script, &run.dialogSeen, &run.forcedClose,
               [&] { run.result = entry(owner, session, parameter); });
    return run;
}

CallerDialogRun RunCallerDialog(const std::function<void(DialogDriver&)>& script) {
    CallerDialogRun run;
    std::vector<WORD> words = CallerTemplate();
    DriveWhile(kCallerEditId, script, &run.dialogSeen, &run.forcedClose, [&] {
        run.result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(words.data()),
                                             nullptr, CallerDialogProc, reinterpret_cast<LPARAM>(&run.text));
    });
    return run;
}

std::string RunAndCheck(Installation& installation, const std::function<void(DialogDriver&)>& script,
                        HANDLE session) {
    if (!installation.Ready()) return "the installation was not laid out";
    if (!installation.Load()) return "wgconf.dll did not load";
    DialogRun run = RunDialog(installation.Entry(), session, script);
    if (!run.dialogSeen) return "the dialog did not come up";
    if (run.forcedClose) return "the script left the dialog open";
    if (run.result != 1) return "the export returned " + std::to_string(run.result);
    return std::string();
}

}  // namespace ui
