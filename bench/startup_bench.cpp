// Start-up time of the configuration dialog: from the call of the export until the dialog is
// visible, against the DxDiag provider's create + Initialize timed just before each call in
// this process (the one probe that start-up cannot skip). The machines' speed swings, so the
// figure to judge is the overhead as a fraction of the DxDiag time, measured pair by pair.
//
//   startup_bench [--runs N] [--phases]
//     --runs N    N timed pairs (default 21) after one untimed warm-up pair
//     --phases    also split each start-up at the creation of the main dialog (probes before
//                 it, the dialog after it); the hook that sees the creation costs a little
//
// Prints its figures; fails only when the installation cannot be laid out, the library cannot
// be loaded or the dialog does not come up.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include <objbase.h>
#include <dxdiag.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/ui_harness.h"

using ui::ConfigDialogBoxFunction;

static const int kUserSupportButton = 1024;  // only the main dialog has it
static const DWORD kDialogTimeoutMs = 20000;

static const CLSID kDxDiagProviderClass = {
    0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
static const IID kDxDiagProviderInterface = {
    0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};

static double Milliseconds() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

static double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// --- DxDiag

// The provider's create + Initialize, as the start-up probe makes them; COM is held around it
// the way the probe holds it, so the provider's libraries are loaded afresh each time.
static double TimeDxDiag() {
    HRESULT initialised = CoInitialize(nullptr);
    double start = Milliseconds();
    IDxDiagProvider* provider = nullptr;
    HRESULT result = CoCreateInstance(kDxDiagProviderClass, nullptr, CLSCTX_INPROC_SERVER, kDxDiagProviderInterface,
                                      reinterpret_cast<void**>(&provider));
    if (SUCCEEDED(result) && provider) {
        DXDIAG_INIT_PARAMS parameters = {};
        parameters.dwSize = sizeof(parameters);
        parameters.dwDxDiagHeaderVersion = DXDIAG_DX9_SDK_VERSION;
        parameters.bAllowWHQLChecks = TRUE;
        result = provider->Initialize(&parameters);
    }
    double elapsed = Milliseconds() - start;
    if (provider) provider->Release();
    if (SUCCEEDED(initialised)) CoUninitialize();
    return SUCCEEDED(result) && provider ? elapsed : -1.0;
}

// --- Start-up

// The moment the main dialog became visible, caught on this thread without polling and
// without a hook that every window creation or message would pass through: the dialog's
// modal loop hands each message it takes to the message filter hook, and the first one it
// takes while the dialog is visible comes right after the show (the loop shows the dialog
// when its queue first runs empty).
struct Watch {
    HHOOK hook;
    HHOOK creationHook;  // only with --phases
    HWND dialog;
    double createdAt;
    double shownAt;
    bool timedOut;
};
static Watch watch;

static bool IsMainDialog(HWND window) { return GetDlgItem(window, kUserSupportButton) && !GetParent(window); }

static void Cancel(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

static LRESULT CALLBACK FilterHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX && !watch.dialog) {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        HWND window = message->hwnd ? GetAncestor(message->hwnd, GA_ROOT) : nullptr;
        if (window && IsMainDialog(window) && IsWindowVisible(window)) {
            watch.shownAt = Milliseconds();
            watch.dialog = window;
            Cancel(window);
        }
    }
    return CallNextHookEx(watch.hook, code, wParam, lParam);
}

static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && !watch.createdAt) {
        const CBT_CREATEWNDW* creation = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        // The dialog class is an atom (WC_DIALOG); COM's own windows come earlier.
        if (creation->lpcs->lpszClass == WC_DIALOG && !(creation->lpcs->style & WS_CHILD)) watch.createdAt = Milliseconds();
    }
    return CallNextHookEx(watch.creationHook, code, wParam, lParam);
}

// A dialog that never shows would hold the call forever: its modal loop dispatches this
// thread timer, which cancels it.
static BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
    if (IsMainDialog(window)) Cancel(window);
    return TRUE;
}

static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    if (watch.dialog || watch.timedOut) return;
    watch.timedOut = true;
    EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
}

// Milliseconds from the call until the dialog was visible, or -1 when it never was; with
// `created`, also until the main dialog window was created.
static double TimeStartUp(ConfigDialogBoxFunction entry, double* created) {
    watch = Watch();
    watch.hook = SetWindowsHookExW(WH_MSGFILTER, FilterHook, nullptr, GetCurrentThreadId());
    if (!watch.hook) return -1.0;
    if (created) watch.creationHook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, kDialogTimeoutMs, Watchdog);

    double start = Milliseconds();
    int result = entry(nullptr, nullptr, 0);

    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(watch.hook);
    if (watch.creationHook) UnhookWindowsHookEx(watch.creationHook);
    if (result != 1 || !watch.dialog || watch.timedOut) {
        fprintf(stderr, "the dialog did not come up (result %d%s)\n", result, watch.timedOut ? ", timed out" : "");
        return -1.0;
    }
    if (created) *created = watch.createdAt - start;
    return watch.shownAt - start;
}

struct Pair {
    double dxdiag;
    double startUp;
    double created;  // with --phases
};

static bool MeasurePair(ConfigDialogBoxFunction entry, bool phases, Pair* pair) {
    pair->dxdiag = TimeDxDiag();
    if (pair->dxdiag < 0) {
        fprintf(stderr, "the DxDiag provider could not be created and initialised\n");
        return false;
    }
    pair->created = 0;
    pair->startUp = TimeStartUp(entry, phases ? &pair->created : nullptr);
    return pair->startUp >= 0;
}

int main(int argc, char** argv) {
    int runs = 21;
    bool phases = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::max(1, atoi(argv[++i]));
        else if (strcmp(argv[i], "--phases") == 0) phases = true;
    }

    // The game's layout: the programs and the shipped files in Wingmere\, the work directory
    // beside it, the Japanese texts that the game ships with.
    ui::InstallationSettings settings;
    settings.language = 1;
    settings.separateWork = true;
    settings.vidqIni = ReadBytes(SourcePath(L"game/vidq/vidq.ini"));
    settings.joystickList = ReadBytes(SourcePath(L"game/install/JoyStick.ini"));
    ui::Installation installation(settings);
    if (!installation.Ready() || settings.vidqIni.empty() || settings.joystickList.empty()) {
        fprintf(stderr, "cannot lay out the installation\n");
        return 1;
    }
    if (!installation.Load()) {
        fprintf(stderr, "cannot load wgconf.dll or find its export\n");
        return 1;
    }
    ConfigDialogBoxFunction entry = installation.Entry();

    // The first pair loads every system library once; it is not counted.
    Pair pair;
    bool ok = MeasurePair(entry, phases, &pair);
    std::vector<double> dxdiag, startUp, overhead, probes, dialog;
    for (int run = 0; ok && run < runs; ++run) {
        ok = MeasurePair(entry, phases, &pair);
        if (!ok) break;
        dxdiag.push_back(pair.dxdiag);
        startUp.push_back(pair.startUp);
        overhead.push_back(pair.startUp - pair.dxdiag);
        probes.push_back(pair.created - pair.dxdiag);
        dialog.push_back(pair.startUp - pair.created);
        printf("  pair %2d: DxDiag %7.1f ms, start-up %7.1f ms, overhead %7.1f ms", run + 1, pair.dxdiag,
               pair.startUp, pair.startUp - pair.dxdiag);
        if (phases) printf(" (probes %+.1f ms, dialog %.1f ms)", pair.created - pair.dxdiag, pair.startUp - pair.created);
        printf("\n");
    }
    if (!ok) return 1;

    double dxdiagMedian = Median(dxdiag);
    double overheadMedian = Median(overhead);
    printf("%s build, %d pairs (DxDiag create + Initialize, then start-up until the dialog is visible)\n",
           sizeof(void*) == 4 ? "i686" : "x64", runs);
    printf("  DxDiag create + Initialize   median %8.1f ms  (min %.1f, max %.1f)\n", dxdiagMedian,
           *std::min_element(dxdiag.begin(), dxdiag.end()), *std::max_element(dxdiag.begin(), dxdiag.end()));
    printf("  start-up until visible       median %8.1f ms  (min %.1f, max %.1f)\n", Median(startUp),
           *std::min_element(startUp.begin(), startUp.end()), *std::max_element(startUp.begin(), startUp.end()));
    printf("  overhead (paired difference) median %8.1f ms  = %.3f of the DxDiag time\n", overheadMedian,
           overheadMedian / dxdiagMedian);
    if (phases) {
        printf("  of which probes beyond DxDiag median %8.1f ms, dialog creation until visible median %.1f ms\n",
               Median(probes), Median(dialog));
    }
    return 0;
}
