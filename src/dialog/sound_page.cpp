// The Sound page: software 3D sound and the four flight volumes, each a track bar with a
// percentage label.
#include <windows.h>
#include <commctrl.h>

#include "dialog/pages.h"
#include "entry/bounded_text.h"
#include "options/game_options.h"
#include "resources/resource.h"

HWND software3DSoundCheck;
HWND volumeTrackBars[kVolumeCount];
HWND volumeLabels[kVolumeCount];

void WriteVolumeLabel(HWND label, int32_t value) {
    wchar_t text[kVolumeLabelCapacity];
    FormatBounded(text, kVolumeLabelCapacity, L"%3d%s", static_cast<int>(value), L"%");
    SetWindowTextW(label, text);
}

static void InitialiseSoundPage(HWND page) {
    UseTabBodyBackground(page);
    software3DSoundCheck = GetDlgItem(page, IDC_SOFTWARE_3D_SOUND);
    for (int i = 0; i < kVolumeCount; ++i) {
        volumeTrackBars[i] = GetDlgItem(page, kVolumeOptions[i].trackBarId);
        volumeLabels[i] = GetDlgItem(page, kVolumeOptions[i].labelId);
        SendMessageW(volumeTrackBars[i], TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
        SendMessageW(volumeTrackBars[i], TBM_SETTICFREQ, 50, 0);
    }
    SendMessageW(software3DSoundCheck, BM_SETCHECK, gameOptions.soundMode == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowVolumes();
}

void ShowVolumes() {
    for (int i = 0; i < kVolumeCount; ++i) {
        SendMessageW(volumeTrackBars[i], TBM_SETPOS, TRUE, gameOptions.*kVolumeOptions[i].field);
    }
    for (int i = 0; i < kVolumeCount; ++i) WriteVolumeLabel(volumeLabels[i], gameOptions.*kVolumeOptions[i].field);
}

// The field follows the bar on every scroll code, during a drag as well as at its end.
static void FollowTrackBar(HWND trackBar) {
    for (int i = 0; i < kVolumeCount; ++i) {
        if (trackBar != volumeTrackBars[i] || !trackBar) continue;
        int32_t position = static_cast<int32_t>(SendMessageW(trackBar, TBM_GETPOS, 0, 0));
        gameOptions.*kVolumeOptions[i].field = position;
        WriteVolumeLabel(volumeLabels[i], position);
        return;
    }
}

INT_PTR CALLBACK SoundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitialiseSoundPage(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDC_SOFTWARE_3D_SOUND) return FALSE;
        if (HIWORD(wParam) == BN_CLICKED) {
            gameOptions.soundMode = SendMessageW(software3DSoundCheck, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        }
        return TRUE;
    case WM_HSCROLL:
        FollowTrackBar(reinterpret_cast<HWND>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}
