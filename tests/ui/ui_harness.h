// Drives the real wgconf.dll the way a user would: a throw-away game installation with copies
// of the built programs, the export called on the test thread, and a second thread that finds
// the dialog and works its controls by id, or types on the keyboard through the input queue.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "shared/test_support.h"

namespace ui {

typedef int(WINAPI* ConfigDialogBoxFunction)(HWND owner, HANDLE session, LPARAM parameter);

// Page indices in tab order.
enum { kGraphicPage = 0, kInputPage = 1, kSoundPage = 2, kInformationPage = 3 };

struct InstallationSettings {
    int language = 0;             // [SYSTEM] language of config.ini; -1 leaves the key out
    bool separateWork = false;    // [DIR] work names a directory beside the installation
    bool withConfig = true;       // write config.ini at all
    bool withIcon = true;         // copy wingmere.ico
    bool withGameOptions = false; // write `gameOptions` as GameOption.ini into the work directory
    std::string gameOptions;
    std::string vidqIni;          // vidq.ini beside vidq.dll, when not empty
    std::string joystickList = "[JOYSTICKS]\r\ncount=2\r\nname1=Test Stick One\r\nname2=Test Stick Two\r\n";
    std::vector<std::wstring> programs = {L"wgconf.dll", L"vidq.dll", L"DSETUP.dll", L"JoyStickSelector.exe"};
};

// A game installation in a fresh temporary directory, removed with everything in it when the
// object goes (the library is unloaded first).
class Installation {
public:
    explicit Installation(const InstallationSettings& settings = InstallationSettings());
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    bool Ready() const { return ready_; }  // every file was laid out
    const std::wstring& Directory() const { return install_; }  // with a trailing backslash
    const std::wstring& Work() const { return work_; }          // with a trailing backslash
    std::wstring InInstall(const std::wstring& name) const { return install_ + name; }
    std::wstring InWork(const std::wstring& name) const { return work_ + name; }

    // Loads wgconf.dll from the installation (its imports come from there too).
    bool Load();
    void Unload();
    HMODULE Module() const { return module_; }
    ConfigDialogBoxFunction Entry() const { return entry_; }

    // Lines of the capability library's call log beside vidq.dll.
    std::vector<std::string> VidqCalls() const;

private:
    std::wstring root_;
    std::wstring install_;
    std::wstring work_;
    HMODULE module_ = nullptr;
    ConfigDialogBoxFunction entry_ = nullptr;
    bool ready_ = false;
};

// Works the dialog from the second thread. Messages go to the dialog's thread, which pumps
// them in its modal loop.
class DialogDriver {
public:
    explicit DialogDriver(HWND dialog) : dialog_(dialog) {}
    HWND Dialog() const { return dialog_; }
    HWND Button(int id) const { return GetDlgItem(dialog_, id); }  // a main dialog control
    HWND Tab() const;
    HWND Page(int index);                 // found by the controls each page holds
    HWND Item(int page, int id) { return GetDlgItem(Page(page), id); }
    int VisiblePageCount();
    int VisiblePage();                    // the first visible page, or -1

    void SelectTab(int index);            // as a click on the tab does
    void Choose(int page, int id, int item);  // a combo box pick
    void Click(int page, int id);         // a page button or check box, waiting for its work
    void Press(int id);                   // a main dialog button, waiting for its work
    void Post(int page, int id);          // a page button click that does not wait
    void PostPress(int id);               // a main dialog button click that does not wait
    void Slide(int id, int position);     // a Sound page track bar dragged to the position
    void PressEscape();
    void CloseBox();
    bool WaitClosed(int milliseconds = 5000);

    // Real keys (SendInput) go to the foreground window's thread, so the dialog is made the
    // foreground window first. False when it did not become so in time.
    bool BringToFront();
    // Presses the keys in order and releases them in reverse order: {VK_CONTROL, VK_TAB}.
    static void Keys(std::initializer_list<WORD> chord);
    HWND Focus() const;  // the control with the keyboard focus in the dialog's thread
    // Presses the keys and waits until the focus has left the control that held it.
    bool KeysMovingFocus(std::initializer_list<WORD> chord, int milliseconds = 5000);
    // Presses Tab until the control has the focus; false after a whole round without it.
    bool TabTo(HWND control);

    static std::vector<std::wstring> TabTexts(HWND tab);

private:
    HWND dialog_;
    HWND pages_[4] = {};
};

// The rectangle of a window in the client coordinates of another.
RECT ClientRectangleOf(HWND window, HWND client);
// What is out of place in the dialog: a control outside its page, a label that its text
// (measured with the control's font) does not fit, a page or the tab strip not above the
// buttons, a page without controls. Empty when all is in place.
std::string LayoutFaults(DialogDriver& d);

// Polls the condition every 20 ms; true when it held within the time.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 5000);

// A message box of the dialog's thread with the caption, once its text shows; null when none
// came within the time.
HWND WaitForMessageBox(DialogDriver& driver, const wchar_t* caption, int milliseconds = 5000);
// The text of a message box (the static with the longest text: its id differs between systems).
std::wstring MessageBoxText(HWND box);
// Presses the box's OK and waits until it has gone.
void CloseMessageBox(HWND box);
// What a message box showed: its text ("<no box>" when none came) and its owner.
struct SeenMessageBox {
    std::wstring text = L"<no box>";
    HWND owner = nullptr;
};
// Waits for the box with the caption, notes what it shows, offers it for a picture (below),
// runs `whileShown` when given and closes it.
SeenMessageBox TakeMessageBox(DialogDriver& driver, const wchar_t* caption,
                              const std::function<void()>& whileShown = nullptr);
// For a picture of the window: when WGCONF_PICTURE_READY names a file, writes the window's
// screen rectangle ("left top right bottom") into it and waits (at most 20 s) until the file
// has been taken away. Does nothing otherwise.
void OfferForPicture(HWND window);

struct DialogRun {
    int result = -100;       // what the export returned
    bool dialogSeen = false; // the dialog came up
    bool forcedClose = false;  // the script left it open and the harness pressed Cancel
};

// Calls the export on this thread. `script` runs on a second thread once the dialog is visible
// and is expected to close it; a dialog left open is cancelled for it.
DialogRun RunDialog(ConfigDialogBoxFunction entry, HANDLE session, const std::function<void(DialogDriver&)>& script,
                    HWND owner = nullptr, LPARAM parameter = 0);

// Loads the tool from the installation, runs its dialog with the script and checks the run.
// Says what went wrong (not laid out, not loaded, no dialog, left open, a result other than 1),
// or nothing when all is well: EXPECT_EQ("", RunAndCheck(...)).
std::string RunAndCheck(Installation& installation, const std::function<void(DialogDriver&)>& script,
                        HANDLE session = nullptr);

// A dialog of the caller's own, made from a template in memory: an edit box (kCallerEditId)
// that has the focus first, then OK (the default button) and Cancel.
enum { kCallerEditId = 100 };

struct CallerDialogRun {
    INT_PTR result = -100;     // what DialogBoxIndirectParamW returned: 1 OK, 2 Cancel
    bool dialogSeen = false;
    bool forcedClose = false;
    std::wstring text;         // the edit box's text when OK ended the dialog
};

// Runs the caller's dialog modally on this thread; `script` works it from a second thread.
CallerDialogRun RunCallerDialog(const std::function<void(DialogDriver&)>& script);


}  // namespace ui
